// Settings that could not be saved are told to the user once per settings file, not lost in
// silence: every failed write notes its failure here, and the window and the command line
// take the first one not yet told when they can show it.
#pragma once

#include <optional>
#include <string>

#include "settings/ProfileFile.h"

namespace settings {

// Keeps the failure unless one is waiting already or its file was told about before.
void NoteUnsavedSettings(const ProfileFailure& failure);

// The failure waiting to be told, now counted as told; nothing when none waits.
std::optional<ProfileFailure> TakeUntoldUnsavedSettings();

// The texts the user sees: settings that cannot be saved, and a settings file that cannot
// be read.
std::string DescribeUnsavedSettings(const ProfileFailure& failure);
std::string DescribeUnreadableSettings(const ProfileFailure& failure);

}  // namespace settings
