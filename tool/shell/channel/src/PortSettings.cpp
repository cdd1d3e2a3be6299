#include "channel/PortSettings.h"

namespace channel {

PortSettings& ProcessPortSettings() {
  static PortSettings record;
  return record;
}

}  // namespace channel
