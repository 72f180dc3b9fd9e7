#include "device/ProductFactory.h"

#include "device/STM32Dev.h"
#include "device/STM32DevNew.h"
#include "device/STM32DevOmnix.h"

CUsbDevInterface* CProductFactory::CreateDevice(int type) {
  switch (type) {
    case kToolClassic: return new CSTM32Dev();
    case kToolNew: return new CSTM32DevNew();
    case kToolProgrammer: return new CSTM32DevOmnix();
    default: return nullptr;
  }
}
