#include "TracingDevice.h"

namespace simulate {

void PrinterTrace::Record(std::span<const std::uint8_t> taken) {
  if (file_ && !taken.empty()) {
    file_->write(reinterpret_cast<const char*>(taken.data()),
                 static_cast<std::streamsize>(taken.size()));
    file_->flush();
    ok_ = ok_ && file_->good();
  }
}

}  // namespace simulate
