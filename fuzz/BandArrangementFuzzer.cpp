// Any bytes as a print-data stream: the arrangement must refuse or arrange, never touch
// memory it does not own, and never write more than the input plus what it rewrites.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "flashtools/BandArranger.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  flashtools::MemorySource source({data, size});
  flashtools::MemorySink sink;
  const flashtools::ArrangeOutcome outcome = flashtools::BandArranger().Run(source, sink);
  // Merging only drops Send Band frames, so the output never outgrows the input.
  if (sink.Bytes().size() > size) {
    std::abort();
  }
  if (!outcome.Succeeded() && flashtools::DescribeArrangeFailure(outcome).empty()) {
    std::abort();
  }
  return 0;
}
