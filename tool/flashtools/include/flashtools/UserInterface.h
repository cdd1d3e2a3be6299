// How a tool procedure talks to the person running it. The window shows message boxes, the
// command line prints, the tests record; the procedures themselves know none of them.
#pragma once

#include <string_view>

namespace flashtools {

enum class MessageIcon { kNone, kExclamation };

class UserInterface {
 public:
  UserInterface() = default;
  UserInterface(const UserInterface&) = delete;
  UserInterface& operator=(const UserInterface&) = delete;
  virtual ~UserInterface() = default;

  // A message box with an OK button: the text, its caption and its icon.
  virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // A confirmation before an irreversible step. The window shows the text with an OK button
  // and goes on; other front ends may let the person decline, which stops the procedure.
  virtual bool Confirm(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
};

}  // namespace flashtools
