#pragma once
// CProductFactory: makes the device object of a tool class.

#include <memory>

#include "device/UsbDevInterface.h"

// Tool classes (USBType in device.xml).
constexpr int kToolClassic = 0;
constexpr int kToolNew = 1;
constexpr int kToolProgrammer = 2;

class CProductFactory {
 public:
  virtual ~CProductFactory() = default;
  // 0 CSTM32Dev, 1 CSTM32DevNew, 2 CSTM32DevOmnix; any other type: null.
  // The caller owns the result.
  CUsbDevInterface* CreateDevice(int type);
  std::unique_ptr<CUsbDevInterface> Create(int type) {
    return std::unique_ptr<CUsbDevInterface>(CreateDevice(type));
  }
};
