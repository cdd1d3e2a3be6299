// The virtual printer as the system's USB printing support presents it: as the parallel-port
// driver device does (writes go to the printer, reads fetch its replies, the
// device-identification request returns its IEEE 1284 identification string), but one handle
// at a time: a second open finds it in use.
#pragma once

#include <memory>

#include "sim/printer/PrinterOnLptDriver.h"

namespace sim {

class PrinterOnUsbPrintSupport : public PrinterOnLptDriver {
 public:
  using PrinterOnLptDriver::PrinterOnLptDriver;

  IoResult Open() override;
  void Close() override;

 private:
  bool open_ = false;
};

}  // namespace sim
