// The modules the platform loads on first use: each loads with the system library it carries
// and offers its entry point, which answers sensibly where there is nothing to ask.
#include <dlfcn.h>

#include <cstddef>

#include <gtest/gtest.h>

namespace {

void* Entry(const char* module, const char* name) {
  void* handle = ::dlopen(module, RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(handle, nullptr) << ::dlerror();
  return handle != nullptr ? ::dlsym(handle, name) : nullptr;
}

TEST(PlatformModules, LoadAndAnswer) {
  using ReadDeviceId = long (*)(int, char*, std::size_t);
  const auto readDeviceId =
      reinterpret_cast<ReadDeviceId>(Entry(ZARNIK_IEEE1284_MODULE, "ZarnikIeee1284DeviceId"));
  ASSERT_NE(readDeviceId, nullptr);
  char raw[64];
  EXPECT_LT(readDeviceId(4096, raw, sizeof raw), 0);  // no such port
  EXPECT_NE(Entry(ZARNIK_CUPS_MODULE, "ZarnikCupsListQueues"), nullptr);
}

}  // namespace
