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
  // answersEchoed: the input is a terminal, which shows the answer as it is typed.
  CliUserInterface(std::ostream& out, std::ostream& err, std::istream& in, bool answersEchoed)
      : out_(out), err_(err), in_(in), answersEchoed_(answersEchoed) {}
  // On standard output, standard error and standard input.
  static CliUserInterface OnStandardStreams();

  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;
  // Asks on standard error and reads the answer from standard input; only "y" or "yes"
  // goes on. An answer nobody typed (a pipe, a file) is shown after the question, so what
  // follows starts on a line of its own.
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  bool answersEchoed_;
};

}  // namespace cli
