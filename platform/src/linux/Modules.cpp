// Modules loaded at run time, and the program's own path.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

namespace {

// The file names a module name stands for: "vopusb" is libvopusb.so; a name that already
// names a shared object file is used as it stands. Windows module names ignore letter case,
// so the lower-case spelling is tried as well.
std::vector<std::string> FileNames(const std::string& name) {
  if (name.find(".so") != std::string::npos) {
    return {name};
  }
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::vector<std::string> names{"lib" + name + ".so"};
  if (lower != name) {
    names.push_back("lib" + lower + ".so");
  }
  return names;
}

// The folder of the shared object (or program) that holds the code at address.
std::filesystem::path FolderOfCode(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  return std::filesystem::path(info.dli_fname).parent_path();
}

std::filesystem::path FolderOfProgram() {
  std::error_code ignored;
  return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
}

}  // namespace

ModuleHandle LinuxServices::LoadLibrary(const char* name) {
  if (name == nullptr || *name == '\0') {
    SetLastErrorCode(kErrorInvalidParameter);
    return nullptr;
  }
  const std::string given(name);
  if (given.find('/') != std::string::npos) {
    if (void* module = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) {
      return module;
    }
    SetLastErrorCode(kErrorModNotFound);
    return nullptr;
  }
  // The folder of the library that asks first (the bridge sits beside the port library),
  // then the folder of the project's libraries, then the program's folder, then the dynamic
  // loader's own search.
  const std::vector<std::filesystem::path> folders{
      FolderOfCode(__builtin_return_address(0)),
      FolderOfCode(reinterpret_cast<const void*>(&FileNames)), FolderOfProgram()};
  for (const std::string& file : FileNames(given)) {
    for (const auto& folder : folders) {
      std::error_code ignored;
      const std::filesystem::path candidate = folder / file;
      if (!folder.empty() && std::filesystem::exists(candidate, ignored)) {
        if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
          return module;
        }
      }
    }
    if (void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      return module;
    }
  }
  SetLastErrorCode(kErrorModNotFound);
  return nullptr;
}

void* LinuxServices::GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    SetLastErrorCode(kErrorInvalidHandle);
    return nullptr;
  }
  void* symbol = ::dlsym(module, name);
  if (symbol == nullptr) {
    SetLastErrorCode(kErrorProcNotFound);
  }
  return symbol;
}

bool LinuxServices::FreeLibrary(ModuleHandle module) {
  if (module == nullptr || ::dlclose(module) != 0) {
    SetLastErrorCode(kErrorInvalidHandle);
    return false;
  }
  return true;
}

std::uint32_t LinuxServices::GetModuleFileName(char* buffer, std::uint32_t size) {
  std::error_code error;
  const std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  if (error || buffer == nullptr || size == 0) {
    SetLastErrorCode(error ? kErrorFileNotFound : kErrorInsufficientBuffer);
    return 0;
  }
  // As on Windows: a path that does not fit is cut to size - 1 characters plus its end,
  // the result is size and the last error says the buffer was too small.
  if (path.size() >= size) {
    path.copy(buffer, size - 1);
    buffer[size - 1] = '\0';
    SetLastErrorCode(kErrorInsufficientBuffer);
    return size;
  }
  path.copy(buffer, path.size());
  buffer[path.size()] = '\0';
  SetLastErrorCode(kErrorSuccess);
  return static_cast<std::uint32_t>(path.size());
}

}  // namespace platform::linux_backend
