#pragma once
// CVarnokApp: the program's start. Gives way to a running instance (or a
// sibling program), otherwise runs the main window modally; the program
// ends when that window closes.

#include <QApplication>

class CSingleInstance;
class CVarnokDlg;

class CVarnokApp : public QApplication {
  Q_OBJECT
 public:
  // Exit code when another instance was found and raised.
  static constexpr int kExitOtherInstance = 1;

  CVarnokApp(int& argc, char** argv);

  // Runs the program; returns the process exit code.
  int InitInstance();

  // Makes `instance` answer a new start under the window's title and raise
  // the window. A window without a title (the blank one left when
  // device.xml could not be read) answers to nothing. True when answering.
  static bool AnswerUnderTitle(CVarnokDlg& dialog, CSingleInstance& instance);
};
