// The dialog framework the program is written against, on one include.
#pragma once

#include "afx_app.h"
#include "afx_dialog.h"
#include "afx_misc.h"
#include "afx_string.h"
#include "afx_wnd.h"
#include "win32.h"
