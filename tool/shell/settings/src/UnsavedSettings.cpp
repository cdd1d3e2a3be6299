#include "settings/UnsavedSettings.h"

#include <set>

#include "zarnik/FilledText.h"
#include "zarnik/Strings.h"

namespace settings {
namespace {

struct Notice {
  std::optional<ProfileFailure> waiting;
  std::set<std::filesystem::path> told;
};

Notice& TheNotice() {
  static Notice notice;
  return notice;
}

}  // namespace

void NoteUnsavedSettings(const ProfileFailure& failure) {
  Notice& notice = TheNotice();
  if (!notice.waiting && notice.told.count(failure.path) == 0) {
    notice.waiting = failure;
  }
}

std::optional<ProfileFailure> TakeUntoldUnsavedSettings() {
  Notice& notice = TheNotice();
  auto failure = std::move(notice.waiting);
  notice.waiting.reset();
  if (failure) {
    notice.told.insert(failure->path);
  }
  return failure;
}

std::string DescribeUnsavedSettings(const ProfileFailure& failure) {
  return zarnik::FilledText(zarnik::text::kSettingsNotSavedFormat,
                            {failure.path.string(), failure.reason});
}

std::string DescribeUnreadableSettings(const ProfileFailure& failure) {
  return zarnik::FilledText(zarnik::text::kSettingsNotReadFormat,
                            {failure.path.string(), failure.reason});
}

}  // namespace settings
