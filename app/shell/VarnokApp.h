#pragma once
// CVarnokApp: the program's start. Gives way to a running instance (or a
// sibling program), otherwise runs the main window modally; the program
// ends when that window closes.

#include <QApplication>

class CVarnokApp : public QApplication {
  Q_OBJECT
 public:
  // Exit code when another instance was found and raised.
  static constexpr int kExitOtherInstance = 1;

  CVarnokApp(int& argc, char** argv);

  // Runs the program; returns the process exit code.
  int InitInstance();
};
