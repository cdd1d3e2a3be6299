#include "window/WindowPlacement.h"

namespace shell {
namespace {

int PlaceOnAxis(int stored, int edge) {
  return (stored < 0 || stored >= edge - 50) ? 0 : stored;
}

}  // namespace

Position PlaceOnDesktop(Position stored, int desktopRight, int desktopBottom) {
  return {PlaceOnAxis(stored.x, desktopRight), PlaceOnAxis(stored.y, desktopBottom)};
}

}  // namespace shell
