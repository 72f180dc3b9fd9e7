#include <QGuiApplication>

#include "app/shell/VarnokApp.h"

int main(int argc, char** argv) {
  // Follow the system's scale exactly, 125 % and 150 % included, as Windows
  // scales; the skin is drawn for whatever ratio that gives.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  CVarnokApp app(argc, argv);
  return app.InitInstance();
}
