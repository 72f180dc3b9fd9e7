// Test main of the GUI tests: one QApplication for the process, on the
// offscreen platform unless the caller chose another.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
#ifdef _WIN32
  // Under Wine the fonts are the Linux ones (scripts/test-windows-gui):
  // Courier New, the print face, is there as its metric twin, as
  // fontconfig makes it on Linux.
  if (!QFontDatabase::hasFamily(QStringLiteral("Courier New")))
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
