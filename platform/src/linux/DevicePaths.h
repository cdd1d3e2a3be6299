// What a path given to CreateFile names on Linux. Ordinary paths are files; the Windows
// device namespace ("\\.\NAME") is mapped to Linux devices, each mapping overridable by an
// environment variable so that a USB serial adapter or a pseudo-terminal can stand in.
#pragma once

#include <string>

namespace platform::linux_backend {

struct ResolvedPath {
  enum class Kind {
    kFile,            // an ordinary path, used as it stands
    kSerialLine,      // "\\.\COMn": a tty
    kParallelPort,    // "\\.\LPTn": a printer port device (or a stand-in for one)
    kUsbInterface,    // "\\?\usb#vid_...#...#{class}": a USB device interface (UsbDeviceTree.h)
    kUsbPrinterNode,  // /dev/usb/lpN: the kernel's USB printer node, named directly
    kUnknownDevice,   // a device name this backend does not map (fails as "not found")
  };
  Kind kind = Kind::kFile;
  std::string path;
};

// "\\.\COMn" (n from 1, any letter case) opens the tty named by the environment variable
// ZARNIK_COM<n> when it is set and not empty, else /dev/ttyS<n-1>.
// "\\.\LPTn" likewise opens the device named by ZARNIK_LPT<n>, else /dev/lp<n-1>.
ResolvedPath ResolvePath(const char* path);

// The n of the LPTn whose device is the given path (/dev/lp<n-1>, or the device ZARNIK_LPT<n>
// names), looking at n = 1 to 9; 0 when it is none of them.
unsigned LptNumberOfDevice(const std::string& devicePath);

}  // namespace platform::linux_backend
