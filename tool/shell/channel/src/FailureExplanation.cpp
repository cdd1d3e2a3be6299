#include "channel/FailureExplanation.h"

#include <string_view>

#include "channel/PortChannel.h"
#include "zarnik/FilledText.h"
#include "zarnik/Strings.h"

namespace channel {
namespace {

std::string_view TemplateOf(platform::FailureKind kind) {
  using platform::FailureKind;
  switch (kind) {
    case FailureKind::kPermissionDenied:
      return zarnik::text::kReasonPermissionDenied;
    case FailureKind::kInUse:
      return zarnik::text::kReasonInUse;
    case FailureKind::kNotFound:
      return zarnik::text::kReasonNotFound;
    case FailureKind::kDeviceGone:
      return zarnik::text::kReasonDeviceGone;
    case FailureKind::kPrintQueue:
      return zarnik::text::kReasonPrintQueue;
    case FailureKind::kNotAnswering:
      return zarnik::text::kReasonNotAnswering;
    case FailureKind::kAccessMethod:
      return zarnik::text::kReasonAccessMethod;
    case FailureKind::kAmbiguous:
      return zarnik::text::kReasonAmbiguous;
    case FailureKind::kNone:
      break;
  }
  return {};
}

}  // namespace

std::string ExplainFailure(const platform::FailureReason& reason) {
  const std::string_view pattern = TemplateOf(reason.kind);
  if (pattern.empty()) {
    return {};
  }
  std::string text =
      zarnik::FilledText(pattern, {reason.device.empty() ? "The device" : reason.device});
  if (!reason.detail.empty()) {
    text.append("\n").append(reason.detail);
  }
  return text;
}

std::string ExplainLastFailure() {
  return ExplainFailure(platform::LastFailureReason());
}

std::string PortFailureDetail(std::string_view shownText) {
  // The port library was not asked anything it could answer: its message would be a stale one.
  if (LastCallFailed() && LastCallNamedNoPort()) {
    return std::string(zarnik::text::kReasonNoPort);
  }
  std::string detail;
  if (LastCallFailed()) {
    std::string message = PortChannel().LastMessage();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
      message.pop_back();
    }
    if (!message.empty() && shownText.find(message) == std::string_view::npos) {
      detail = "Port library: " + message;
    }
  }
  const std::string reason = ExplainLastFailure();
  if (!reason.empty()) {
    detail.append(detail.empty() ? "" : "\n").append(reason);
  }
  return detail;
}

bool IsFailureCaption(std::string_view caption) {
  return caption == zarnik::text::kError || caption == zarnik::text::kTimeoutError ||
         caption == zarnik::LoadString(zarnik::StringId::kErrorCaption);
}

}  // namespace channel
