// The application: runs the main dialog once and ends with it.
#pragma once

#include "platform/afx.h"

class CTerminalApp : public CWinApp {
 public:
  CTerminalApp();
  ~CTerminalApp() override;

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};

extern CTerminalApp theApp;
