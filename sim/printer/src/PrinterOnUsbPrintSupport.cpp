#include "sim/printer/PrinterOnUsbPrintSupport.h"

namespace sim {

IoResult PrinterOnUsbPrintSupport::Open() {
  if (open_) {
    return IoResult::Failed(platform::kErrorSharingViolation);
  }
  open_ = true;
  return IoResult::Done();
}

void PrinterOnUsbPrintSupport::Close() {
  open_ = false;
}

}  // namespace sim
