#pragma once

#include <QString>

class TRpPrinter;

// Writes a finished page store as PDF: all its pages in one file, or, for a live report
// that offers it, the report produced again as one file per record.
namespace RpPdfExport {
// Writes the pages as PDF at Rp::kOutputDpi, atomically. Raises KvError.
void write(const TRpPrinter& store, const QString& path);
// Produces the store's report again as one file per record into `folder`, once the store
// is finished; answers the files written. Raises KvError.
int perRecord(const TRpPrinter& store, const QString& folder);
} // namespace RpPdfExport
