// The person at a terminal: results go to standard output, failures (captions "Error",
// "Tessik Error Message", "Timeout Error") to standard error, each prefixed by its caption
// when it has one worth reading, and followed by what the port library said about the port
// call that failed and why, in plain words.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "flashtools/UserInterface.h"

namespace cli {

class CliUserInterface final : public flashtools::UserInterface {
 public:
  CliUserInterface(std::ostream& out, std::ostream& err, std::istream& in)
      : out_(out), err_(err), in_(in) {}

  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;
  // Asks on standard error and reads the answer from standard input; only "y" or "yes"
  // goes on.
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
};

}  // namespace cli
