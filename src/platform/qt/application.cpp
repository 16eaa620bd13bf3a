#include "qt/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "qt/dialog_font.h"
#include "qt/input_translation.h"
#include "qt/message_queue.h"

namespace morvek::qt {
namespace {

// Every event passes here first, before Qt delivers it: input bound for a
// dialog is translated into window messages for PreTranslateMessage.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override {
    if (TranslateInput(receiver, event)) return true;
    return QApplication::notify(receiver, event);
  }
};

Application* g_application = nullptr;

// Qt's own texts (the file dialog's, its buttons') in Japanese, like the rest
// of the window, whatever the system's language.
void LoadJapaneseQtTexts() {
  auto* translator = new QTranslator(g_application);
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace

void StartApplication(int& argc, char** argv) {
  if (QCoreApplication::instance()) return;
  g_application = new Application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(DefaultUiFont());
  LoadJapaneseQtTexts();
  StartMessageQueue();
}

void StopApplication() {
  delete g_application;
  g_application = nullptr;
}

}  // namespace morvek::qt
