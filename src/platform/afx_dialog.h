// Dialogs and the control wrappers.
#pragma once

#include "afx_wnd.h"

// A dialog made from a template in the program's resources (res/).
//
// DoModal creates the window and its controls from the template, calls
// OnInitDialog before the window is first shown (which may itself run modal
// dialogs and message boxes, and may call EndDialog: DoModal then returns without
// showing), runs a nested message loop until EndDialog, destroys the window and
// returns EndDialog's result (-1 when the template is missing).
//
// Routing: button 1 and Return on the default button give the IDOK command,
// which calls OnOK; button 2, the close box, the system menu's Close, Alt+F4 and
// Escape give IDCANCEL, which calls OnCancel. The owner window is disabled while
// the dialog runs.
class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();  // runs UpdateData(FALSE); TRUE puts the focus on the first tab stop
  virtual void OnOK();          // UpdateData(TRUE), then EndDialog(IDOK)
  virtual void OnCancel();      // EndDialog(IDCANCEL)

  // The dialog's keyboard handling: Tab moves the focus, Return presses the
  // focused button (or the default button), Escape cancels.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  UINT GetTemplateId() const { return m_nIDTemplate; }

 protected:
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()
};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int nCheck);
};

class CComboBox : public CWnd {
 public:
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int nSelect);  // -1 clears the selection
  int InsertString(int nIndex, LPCSTR lpszString);  // -1 appends; the sort style is ignored for explicit positions
  void ResetContent();
  // Selects the first entry after nStartAfter (-1: from the start) that begins
  // with the text, compared without regard to ASCII case; with no match clears
  // nothing and returns CB_ERR.
  int SelectString(int nStartAfter, LPCSTR lpszString);
  int GetLBText(int nIndex, LPSTR lpszText) const;
  void GetLBText(int nIndex, CString& rString) const;
};


class CStatic : public CWnd {};
