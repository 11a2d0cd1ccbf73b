#pragma once

#include <QByteArray>
#include <QColor>
#include <QJsonValue>
#include <QString>

class TRpReport;

// Reads a report definition (JSON, see Report.h) into a report. Every key is checked:
// an unknown key, a wrong type or an unknown value raises KvError naming the file, the
// element and the key.
namespace RpDefinitionReader {
void read(const QByteArray& json, const QString& origin, const QString& baseDir, TRpReport& report);
// A colour as definitions write it: "clWhite" and friends, the original's colour number
// (0x00BBGGRR), or "#rrggbb". Invalid QColor when unknown.
QColor parseColor(const QJsonValue& value);
} // namespace RpDefinitionReader
