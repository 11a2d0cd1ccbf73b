#pragma once

#include "RetOccurrence.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// Writes return files of bank 842 in either layout, for the tests, the fuzz corpus and the
// benchmarks: header, the occurrences given, the trailers with their counts and sums. A
// test that wants a broken file takes lines(), spoils them and joins them again.
class RetFileWriter {
public:
    explicit RetFileWriter(RetFile::Format format, const QDate& fileDate = QDate(2026, 12, 1),
                           const QString& beneficiary = QStringLiteral("CEDENTE DE TESTE"));

    RetFileWriter& add(const RetOccurrence& o);
    // Lines without their ends; for 240 a segment T and its U are two lines.
    QList<QByteArray> lines() const;
    QByteArray bytes() const { return join(lines()); }
    static QByteArray join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n");

    // A settlement of a title, paid in full on `day` and credited the day after.
    static RetOccurrence settlement(const QString& age, const QString& ctr, const QString& nos,
                                    qint64 value, const QDate& day);

private:
    QList<QByteArray> lines400() const;
    QList<QByteArray> lines240() const;

    RetFile::Format m_format;
    QDate m_fileDate;
    QString m_beneficiary;
    QList<RetOccurrence> m_occurrences;
};
