#pragma once

#include <QString>

// Portuguese advice for a file the program could not write: which file or folder, why as
// far as can be seen from here, and what the user can do about it.
namespace FileAdvice {
QString cannotWrite(const QString& filePath);
} // namespace FileAdvice
