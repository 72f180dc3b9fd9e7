#include "app/shell/VarnokApp.h"

#include <QFont>

#include "app/shell/SingleInstance.h"
#include "app/shell/VarnokDlg.h"

CVarnokApp::CVarnokApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Varnok"));
  // The widgets use the skin's font family (fonts-liberation) so that the
  // boxes and lists match the painted face on every machine.
  QFont face = font();
  face.setFamily(QStringLiteral("Liberation Sans"));
  setFont(face);
}

int CVarnokApp::InitInstance() {
  if (CSingleInstance::RaiseOtherInstance())
    return kExitOtherInstance;

  CVarnokDlg dialog(nullptr);
  CSingleInstance instance;
  AnswerUnderTitle(dialog, instance);
  dialog.exec();
  return 0;
}

bool CVarnokApp::AnswerUnderTitle(CVarnokDlg& dialog, CSingleInstance& instance) {
  const QString title = dialog.windowTitle();
  if (title.isEmpty())
    return false;
  return instance.Listen(title, [&dialog] {
    dialog.showNormal();
    dialog.raise();
    dialog.activateWindow();
  });
}
