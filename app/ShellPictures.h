#pragma once

#include <QImage>

// The pictures of the application shell, stored in the program as a resource.
namespace ShellPictures {
// The main window's wallpaper: the bank's mark on white, 600 x 400, 256 colours.
QImage wallpaper();
// The About box picture, 495 x 263, decoded by the JPEG reader.
QImage aboutPicture();
} // namespace ShellPictures
