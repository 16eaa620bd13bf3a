// The wait cursor: the application's override cursor, which nests.
#include <QCursor>
#include <QGuiApplication>

#include "afx_wnd.h"

namespace {

void BeginWait() {
  if (QCoreApplication::instance()) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWait() {
  if (QCoreApplication::instance() && QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

}  // namespace

void CCmdTarget::BeginWaitCursor() { BeginWait(); }

void CCmdTarget::EndWaitCursor() { EndWait(); }
