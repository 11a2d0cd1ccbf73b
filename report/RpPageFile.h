#pragma once

#include <QByteArray>
#include <QString>

class TRpPrinter;

// The saved-report file (".kvr"): our own versioned binary format. Reading checks the
// magic, the version and every count and length against what is left of the file, so a
// damaged or foreign file raises KvError with a clear message instead of crashing.
namespace RpPageFile {
QByteArray write(const TRpPrinter& store);
// Replaces the store's content with the file's; on error the store is untouched.
void read(const QByteArray& bytes, TRpPrinter& store);
} // namespace RpPageFile
