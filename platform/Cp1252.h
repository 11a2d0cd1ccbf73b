#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of bank files, profile files and the dot-matrix stream.
// Decoding never fails: the five unassigned bytes map to the C1 controls of the same value.
// Encoding replaces a character outside the code page by '?'.
namespace Cp1252 {
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}
QByteArray encode(QStringView text);
char encodeChar(QChar c);
} // namespace Cp1252
