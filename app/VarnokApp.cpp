#include "app/VarnokApp.h"

#include "app/SingleInstance.h"
#include "app/VarnokDlg.h"

CVarnokApp::CVarnokApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Varnok"));
}

int CVarnokApp::InitInstance() {
  if (CSingleInstance::RaiseOtherInstance())
    return kExitOtherInstance;

  CVarnokDlg dialog(nullptr);
  CSingleInstance instance;
  instance.Listen(QString::fromLatin1(CVarnokDlg::kWindowTitle), [&dialog] {
    dialog.showNormal();
    dialog.raise();
    dialog.activateWindow();
  });
  dialog.exec();
  return 0;
}
