// The USB bridge library while the bridge path holds it: its module and the five entry points
// the port library uses, all null when it is not loaded.
#pragma once

#include "VopUsb.h"
#include "platform/WinApi.h"

namespace vopp2 {

struct BridgeModule {
  platform::ModuleHandle module = nullptr;
  VopUsbOpenFn VopUsb_Open = nullptr;
  VopUsbCloseFn VopUsb_Close = nullptr;
  VopUsbOpenPipeFn VopUsb_OpenPipe = nullptr;
  VopUsbResetPipeFn VopUsb_ResetPipe = nullptr;
  VopUsbRequestFn VopUsb_ClassRequest = nullptr;
};

}  // namespace vopp2
