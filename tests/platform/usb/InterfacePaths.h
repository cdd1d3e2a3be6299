// The device interface paths a class lists, through the setup calls as the port library and
// the USB bridge make them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace usb_test {

inline std::vector<std::string> InterfacePaths(platform::Services& os,
                                               const platform::Guid& interfaceClass) {
  using namespace platform;
  std::vector<std::string> paths;
  const DeviceInfoSet set =
      os.SetupDiGetClassDevs(interfaceClass, kDigcfPresent | kDigcfDeviceInterface);
  DeviceInterfaceData data;
  data.cbSize = sizeof data;
  for (std::uint32_t i = 0; os.SetupDiEnumDeviceInterfaces(set, interfaceClass, i, &data); ++i) {
    std::uint32_t size = 0;
    EXPECT_FALSE(os.SetupDiGetDeviceInterfaceDetail(set, data, nullptr, 0, &size));
    std::vector<char> detail(size);
    const std::uint32_t sizeField = 5;
    std::memcpy(detail.data(), &sizeField, sizeof sizeField);
    EXPECT_TRUE(os.SetupDiGetDeviceInterfaceDetail(set, data, detail.data(), size, nullptr));
    paths.emplace_back(detail.data() + kDeviceInterfaceDetailHeaderSize);
  }
  EXPECT_EQ(os.GetLastError(), kErrorNoMoreItems);
  EXPECT_TRUE(os.SetupDiDestroyDeviceInfoList(set));
  return paths;
}

}  // namespace usb_test
