#pragma once

#include <QIcon>

// The program's own icon, the bank's monogram, for the frame, its child windows and the
// report previews, so that none of them shows the toolkit's generic window icon.
namespace ProgramIcon {
QIcon icon();
} // namespace ProgramIcon
