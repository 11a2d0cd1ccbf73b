#pragma once

#include <QDateTime>
#include <QString>

// The display masks of data texts, in the notation report definitions inherited:
// numbers "#,##0.00" ('0' a digit always shown, '#' a digit shown when significant, ','
// anywhere before the point asks for thousands separators, text in quotes kept), and
// dates "dd/mm/yyyy hh:nn:ss" (d, dd, m, mm, mmm, yy, yyyy, h, hh, n, nn, s, ss; "mm"
// right after an hour means minutes). Separators are the regional ones.
namespace RpMask {
QString formatNumber(double value, const QString& mask);
QString formatDateTime(const QDateTime& value, const QString& mask);
} // namespace RpMask
