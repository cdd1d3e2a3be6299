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

// The captions of failures: the tools' own, the port's ("Tessik Error Message") and the
// time-out of a write.
bool IsFailureCaption(std::string_view caption) {
  return caption == zarnik::text::kError || caption == zarnik::text::kTimeoutError ||
         caption == zarnik::LoadString(zarnik::StringId::kErrorCaption);
}

}  // namespace

void CliUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon /*icon*/) {
  shown_.append(text).push_back('\n');
  Print(IsFailureCaption(caption) ? err_ : out_, caption, text);
}

bool CliUserInterface::HasShown(std::string_view text) const {
  return shown_.find(text) != std::string::npos;
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
