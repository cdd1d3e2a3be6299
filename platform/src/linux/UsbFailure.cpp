#include "linux/UsbFailure.h"

#include <grp.h>
#include <sys/stat.h>

#include <vector>

#include "linux/ErrorCodes.h"
#include "linux/FailureNotes.h"
#include "platform/FailureReason.h"

namespace platform::linux_backend {

namespace {

// "It belongs to group lp." when the node's group has a name and its members may read and
// write the node; when they may not, that joining the group would not help.
std::string GroupOf(const std::string& node) {
  struct stat info {};
  if (::stat(node.c_str(), &info) != 0) {
    return {};
  }
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(4096);
  if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr) {
    return {};
  }
  const std::string name = found->gr_name;
  if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
    return "Its group " + name + " may not open it either, so joining that group does not help.";
  }
  return "It belongs to group " + name + ".";
}

}  // namespace

void NoteUsbOpenFailure(std::uint32_t error, const std::string& node) {
  NoteOpenFailure(error, node, error == kErrorAccessDenied ? GroupOf(node) : std::string());
}

void NoteUsbTransferFailure(const std::string& device) {
  const std::uint32_t error = LastError();
  if (error == kErrorDeviceNotConnected) {
    NoteFailureReason({FailureKind::kDeviceGone, device, ""});
  } else if (error == kErrorSemTimeout) {
    NoteFailureReason({FailureKind::kNotAnswering, device, ""});
  }
}

}  // namespace platform::linux_backend
