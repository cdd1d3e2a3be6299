#include "CliUserInterface.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>

#include "channel/FailureExplanation.h"
#include "zarnik/Strings.h"

namespace cli {
namespace {

// A caption is printed in front of the text unless it is blank or only repeats what the
// stream already says ("Result" on standard output); a text of several lines starts below
// its caption.
void Print(std::ostream& stream, std::string_view caption, std::string_view text) {
  const bool blank = std::all_of(caption.begin(), caption.end(), [](char c) {
    return std::isspace(static_cast<unsigned char>(c));
  });
  if (!blank && caption != zarnik::text::kResult) {
    const auto lineBreak = text.find('\n');
    const bool severalLines = lineBreak != std::string_view::npos && lineBreak + 1 < text.size();
    stream << caption << (severalLines ? ":\n" : ": ");
  }
  stream << text;
  if (text.empty() || text.back() != '\n') {
    stream << '\n';
  }
  stream.flush();
}

}  // namespace

CliUserInterface CliUserInterface::OnStandardStreams() {
  return {std::cout, std::cerr, std::cin, ::isatty(STDIN_FILENO) == 1};
}

void CliUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon /*icon*/) {
  if (!channel::IsFailureCaption(caption)) {
    Print(out_, caption, text);
    return;
  }
  // Taken now, right after the port call that failed and before the next one: what the port
  // library said and why, in plain words, under the tool's own text.
  const std::string detail = channel::PortFailureDetail(text);
  Print(err_, caption, text);
  if (!detail.empty()) {
    Print(err_, "", detail);
  }
}

bool CliUserInterface::Confirm(std::string_view text, std::string_view caption,
                               flashtools::MessageIcon /*icon*/) {
  if (!caption.empty()) {
    err_ << caption << ": ";
  }
  err_ << text << " [y/N] " << std::flush;
  std::string answer;
  std::getline(in_, answer);
  if (!answersEchoed_) {
    err_ << answer << '\n' << std::flush;
  }
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return answer == "y" || answer == "yes";
}

}  // namespace cli
