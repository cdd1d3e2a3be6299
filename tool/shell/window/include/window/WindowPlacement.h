// Where the main window goes at start-up from the stored "XPos"/"YPos".
#pragma once

namespace shell {

struct Position {
  int x = 0;
  int y = 0;
  bool operator==(const Position&) const = default;
};

// A negative coordinate becomes 0, and so does one within 50 pixels of the desktop's right
// (bottom) edge or beyond it, so the window never starts out of reach.
Position PlaceOnDesktop(Position stored, int desktopRight, int desktopBottom);

}  // namespace shell
