// CFileDialog on Qt's own (non-native) file dialog.
#include <QDir>
#include <QFileDialog>
#include <QStringList>
#include <filesystem>
#include <optional>

#include "afx_misc.h"
#include "qt/modal_dialog.h"
#include "qt/qt_text.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::qt {
namespace {

// The scripted answer of the next file dialog, when a test has armed one.
std::optional<std::optional<std::string>>& ScriptedAnswer() {
  static std::optional<std::optional<std::string>> answer;
  return answer;
}

// "text|pattern|text|pattern||" as Qt name filters, "text (patterns)". A
// pattern list "*.txt;*.log" becomes "*.txt *.log"; "*.*" matches every file.
QStringList NameFilters(std::string_view filter) {
  QStringList parts = FromCp932(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    filters.append(parts[i] + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')'));
  }
  return filters;
}

QString InitialFolder(LPCSTR folder) {
  QString path = FromCp932(folder ? folder : "");
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path.isEmpty() ? QDir::currentPath() : QDir(path).absolutePath();
}

}  // namespace
}  // namespace morvek::qt

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog), m_defExt(lpszDefExt), m_fileName(lpszFileName), m_filter(lpszFilter) {
  m_ofn.Flags = dwFlags;
  m_ofn.nFilterIndex = 1;
}

INT_PTR CFileDialog::DoModal() {
  using namespace morvek::qt;
  if (ScriptedAnswer()) {
    std::optional<std::string> answer = *std::exchange(ScriptedAnswer(), std::nullopt);
    if (!answer) return IDCANCEL;
    m_path = CString(std::string_view(std::filesystem::absolute(*answer).string()));
    return IDOK;
  }
  WindowRecord* owner = FindWindowRecord(ActiveModalDialog());
  QFileDialog dialog(owner ? owner->widget.data() : nullptr);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // A typed name need not exist unless the program asks for it.
  dialog.setFileMode((m_ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters = NameFilters(m_filter.View());
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    qsizetype wanted = static_cast<qsizetype>(m_ofn.nFilterIndex);
    qsizetype index = wanted >= 1 && wanted <= filters.size() ? wanted - 1 : 0;
    dialog.selectNameFilter(filters[index]);
  }
  dialog.setDirectory(InitialFolder(m_ofn.lpstrInitialDir));
  QString name = FromCp932(m_fileName.View());
  if (!name.isEmpty() && !name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) dialog.selectFile(name);
  if (!m_defExt.IsEmpty()) dialog.setDefaultSuffix(FromCp932(m_defExt.View()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return IDCANCEL;
  m_path = CString(std::string_view(ToCp932(dialog.selectedFiles().first())));
  return IDOK;
}

CString CFileDialog::GetPathName() const { return m_path; }

namespace morvek::testing {

void ScriptFileDialog(std::optional<std::string> path) { qt::ScriptedAnswer() = std::move(path); }

}  // namespace morvek::testing
