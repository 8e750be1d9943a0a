#pragma once

// The option "Grande police (projection)" of the menu "Options": the application's font,
// that of the menus, the message boxes, the file choosers and the other windows, at
// `pointsProjection` points, to be read on a projector from the back of a classroom; or
// the system's font again. The main form's own controls keep their fonts (they grow with
// the window).
inline constexpr double pointsProjection = 14;

void appliquegrandepolice(bool grande);
bool grandepoliceappliquee();
