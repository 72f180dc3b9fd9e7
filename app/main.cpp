#include "app/shell/VarnokApp.h"

int main(int argc, char** argv) {
  CVarnokApp app(argc, argv);
  return app.InitInstance();
}
