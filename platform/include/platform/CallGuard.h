// For the libraries' C exports: an exception the library did not foresee (memory or a thread
// that could not be had) must not leave through a C interface, where no caller can catch it
// and a job in progress would end in a crash. It becomes the export's failure result instead.
#pragma once

#include <exception>
#include <utility>

namespace platform {

// call's result; failed when it throws, after tell(text of the exception) if tell is given.
template <typename Result, typename Call, typename Tell>
Result FailureOnThrow(Result failed, Call&& call, Tell&& tell) noexcept {
  try {
    return call();
  } catch (const std::exception& error) {
    tell(error.what());
  } catch (...) {
    tell("unknown exception");
  }
  return failed;
}

template <typename Result, typename Call>
Result FailureOnThrow(Result failed, Call&& call) noexcept {
  return FailureOnThrow(failed, std::forward<Call>(call), [](const char*) {});
}

}  // namespace platform
