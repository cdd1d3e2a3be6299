// A person who reads every message and answers every confirmation the same way.
#pragma once

#include <string>
#include <vector>

#include "flashtools/UserInterface.h"

namespace flashjobs::test {

struct Message {
  std::string text;
  std::string caption;
  flashtools::MessageIcon icon = flashtools::MessageIcon::kNone;
  bool confirmation = false;
  friend bool operator==(const Message&, const Message&) = default;
};

inline Message Shown(std::string text, std::string caption,
                     flashtools::MessageIcon icon = flashtools::MessageIcon::kExclamation) {
  return {std::move(text), std::move(caption), icon, false};
}

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << (m.confirmation ? "confirm " : "message ") << '"' << m.text << "\" (" << m.caption
             << ")" << (m.icon == flashtools::MessageIcon::kExclamation ? " !" : "");
}

class RecordingUi : public flashtools::UserInterface {
 public:
  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override {
    messages.push_back({std::string(text), std::string(caption), icon, false});
  }
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override {
    messages.push_back({std::string(text), std::string(caption), icon, true});
    return answer;
  }

  bool answer = true;
  std::vector<Message> messages;
};

}  // namespace flashjobs::test
