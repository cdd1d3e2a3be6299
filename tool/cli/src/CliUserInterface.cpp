#include "CliUserInterface.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <string>

#include "zarnik/Strings.h"

namespace cli {
namespace {

// A caption is printed in front of the text unless it is blank or only repeats what the
// stream already says ("Result" on standard output).
void Print(std::ostream& stream, std::string_view caption, std::string_view text) {
  const bool blank = std::all_of(caption.begin(), caption.end(), [](char c) {
    return std::isspace(static_cast<unsigned char>(c));
  });
  if (!blank && caption != zarnik::text::kResult) {
    stream << caption << ": ";
  }
  stream << text;
  if (text.empty() || text.back() != '\n') {
    stream << '\n';
  }
  stream.flush();
}

}  // namespace

void CliUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon /*icon*/) {
  Print(caption == zarnik::text::kError ? err_ : out_, caption, text);
}

bool CliUserInterface::Confirm(std::string_view text, std::string_view caption,
                               flashtools::MessageIcon /*icon*/) {
  if (!caption.empty()) {
    err_ << caption << ": ";
  }
  err_ << text << " [y/N] " << std::flush;
  std::string answer;
  std::getline(in_, answer);
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return answer == "y" || answer == "yes";
}

}  // namespace cli
