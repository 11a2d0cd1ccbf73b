#pragma once

#include "TitleSearch.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The titles found by a search as a spreadsheet reads them, written as "indice.csv" is
// (BloquetoIndex): UTF-8 after a byte-order mark, ';' between fields, CR LF; the grid's
// columns, the value as 1234,56.
namespace TitleCsv {
QByteArray header(); // with the byte-order mark
QByteArray line(const TitleSearch::Row& row);
// Every title of `seqs`, read a page at a time, into `path` put in place only when
// complete. Raises KvError.
void write(const QString& path, const QList<qint32>& seqs);
} // namespace TitleCsv
