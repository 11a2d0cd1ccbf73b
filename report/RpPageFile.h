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

// Writes the pages as a ".kvr" file; only a finished store writes. The file is replaced
// atomically: a failed write leaves an existing file as it was. Raises KvError.
void save(const TRpPrinter& store, const QString& path);
// Replaces the pages with those of a ".kvr" file. A missing, damaged or foreign file
// raises KvError and leaves the store as it was. Cancels a production still going on.
void load(const QString& path, TRpPrinter& store);
// The save-dialog filter of the store's own file type.
QString saveFilter();
} // namespace RpPageFile
