// The pictures of the program, drawn in code: the start-up picture and the program icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace shell {

QPixmap SplashPicture();
QIcon ProgramIcon();

}  // namespace shell
