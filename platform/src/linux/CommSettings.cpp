#include "linux/CommSettings.h"

#include <array>
#include <utility>

namespace platform::linux_backend {

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 31> kSpeeds{{
    {50, B50},
    {75, B75},
    {110, B110},
    {134, B134},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
    {2000000, B2000000},
    {2500000, B2500000},
    {3000000, B3000000},
    {3500000, B3500000},
    {4000000, B4000000},
    {0, B0},
}};

bool SpeedOf(std::uint32_t baud, speed_t& speed) {
  for (const auto& [rate, constant] : kSpeeds) {
    if (rate == baud && rate != 0) {
      speed = constant;
      return true;
    }
  }
  return false;
}

std::uint32_t BaudOf(speed_t speed) {
  for (const auto& [rate, constant] : kSpeeds) {
    if (constant == speed) {
      return rate;
    }
  }
  return 0;
}

tcflag_t SizeFlag(std::uint8_t byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

std::uint8_t ByteSizeOf(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

constexpr std::uint8_t kNoParity = 0;
constexpr std::uint8_t kOddParity = 1;
constexpr std::uint8_t kEvenParity = 2;
constexpr std::uint8_t kMarkParity = 3;
constexpr std::uint8_t kSpaceParity = 4;
constexpr std::uint8_t kOneStopBit = 0;
constexpr std::uint8_t kOneAndHalfStopBits = 1;
constexpr std::uint8_t kTwoStopBits = 2;

tcflag_t ParityFlags(std::uint8_t parity) {
  switch (parity) {
    case kOddParity:
      return PARENB | PARODD;
    case kEvenParity:
      return PARENB;
    case kMarkParity:
      return PARENB | CMSPAR | PARODD;
    case kSpaceParity:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

std::uint8_t ParityOf(tcflag_t cflag) {
  if ((cflag & PARENB) == 0) {
    return kNoParity;
  }
  const bool odd = (cflag & PARODD) != 0;
  if ((cflag & CMSPAR) != 0) {
    return odd ? kMarkParity : kSpaceParity;
  }
  return odd ? kOddParity : kEvenParity;
}

}  // namespace

void MakeRawLine(termios& settings) {
  settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                             ICRNL | IUCLC | IMAXBEL | IXON | IXOFF | IXANY);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag |= CREAD | CLOCAL;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
}

std::uint32_t ApplyCommState(const CommState& state, termios& settings) {
  speed_t speed = B0;
  if (!SpeedOf(state.BaudRate, speed) || state.ByteSize < 5 || state.ByteSize > 8 ||
      state.Parity > kSpaceParity || state.StopBits > kTwoStopBits ||
      (state.StopBits == kOneAndHalfStopBits && state.ByteSize != 5) ||
      state.fRtsControl == kRtsControlToggle) {
    return kErrorInvalidParameter;
  }
  termios next = settings;
  cfsetispeed(&next, speed);
  cfsetospeed(&next, speed);
  next.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  next.c_cflag |= SizeFlag(state.ByteSize) | ParityFlags(state.Parity);
  if (state.StopBits != kOneStopBit) {
    next.c_cflag |= CSTOPB;  // with 5 data bits the UART sends 1.5 stop bits for it
  }
  if (state.fOutxCtsFlow != 0 || state.fRtsControl == kRtsControlHandshake) {
    next.c_cflag |= CRTSCTS;
  }
  next.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | IXON | IXOFF | IXANY);
  if (state.fParity != 0) {
    next.c_iflag |= INPCK;
  }
  if (state.fOutX != 0) {
    next.c_iflag |= IXON;
  }
  if (state.fInX != 0) {
    next.c_iflag |= IXOFF;
  }
  next.c_cc[VSTART] = static_cast<cc_t>(state.XonChar);
  next.c_cc[VSTOP] = static_cast<cc_t>(state.XoffChar);
  settings = next;
  return kErrorSuccess;
}

void ReadCommState(const termios& settings, CommState& state) {
  state.BaudRate = BaudOf(cfgetospeed(&settings));
  state.ByteSize = ByteSizeOf(settings.c_cflag);
  state.Parity = ParityOf(settings.c_cflag);
  if ((settings.c_cflag & CSTOPB) == 0) {
    state.StopBits = kOneStopBit;
  } else {
    state.StopBits = state.ByteSize == 5 ? kOneAndHalfStopBits : kTwoStopBits;
  }
  state.fBinary = 1;  // a Linux tty in raw mode passes every byte, as binary mode does
  state.fParity = (settings.c_iflag & INPCK) != 0 ? 1 : 0;
  const bool hardwareFlow = (settings.c_cflag & CRTSCTS) != 0;
  state.fOutxCtsFlow = hardwareFlow ? 1 : 0;
  if (hardwareFlow) {
    state.fRtsControl = kRtsControlHandshake;
  } else if (state.fRtsControl == kRtsControlHandshake) {
    state.fRtsControl = kRtsControlEnable;
  }
  state.fOutX = (settings.c_iflag & IXON) != 0 ? 1 : 0;
  state.fInX = (settings.c_iflag & IXOFF) != 0 ? 1 : 0;
  state.XonChar = static_cast<char>(settings.c_cc[VSTART]);
  state.XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
}

}  // namespace platform::linux_backend
