// Any bytes as a data file: the check must report, never read past the input.
#include <cstddef>
#include <cstdint>

#include "SilentUserInterface.h"
#include "flashtools/DataFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  flashtools::MemorySource source({data, size});
  SilentUserInterface ui;
  flashtools::RunDataFileCheck(source, ui);
  return 0;
}
