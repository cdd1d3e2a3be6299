// What a path given to CreateFile names on Linux. Ordinary paths are files; the Windows
// device namespace ("\\.\NAME") is mapped to Linux devices, each mapping overridable by an
// environment variable so that a USB serial adapter or a pseudo-terminal can stand in.
#pragma once

#include <string>

namespace platform::linux_backend {

struct ResolvedPath {
  enum class Kind {
    kFile,           // an ordinary path, used as it stands
    kSerialLine,     // "\\.\COMn": a tty
    kUnknownDevice,  // a device name this backend does not map (fails as "not found")
  };
  Kind kind = Kind::kFile;
  std::string path;
};

// "\\.\COMn" (n from 1, any letter case) opens the tty named by the environment variable
// ZARNIK_COM<n> when it is set and not empty, else /dev/ttyS<n-1>.
ResolvedPath ResolvePath(const char* path);

}  // namespace platform::linux_backend
