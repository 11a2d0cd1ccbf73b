#include "RetFileWriter.h"

#include "Cp1252.h"
#include "RetLayout.h"

using RetLayout::Field;

namespace {
QByteArray blankLine(int length)
{
    return QByteArray(length, ' ');
}

void put(QByteArray& line, Field f, const QByteArray& bytes)
{
    const QByteArray v = bytes.left(f.width()).leftJustified(f.width(), ' ');
    line.replace(f.first - 1, f.width(), v);
}

void putText(QByteArray& line, Field f, const QString& text)
{
    put(line, f, Cp1252::encode(text));
}

void putNumber(QByteArray& line, Field f, qint64 n)
{
    put(line, f, QByteArray::number(n).rightJustified(f.width(), '0'));
}

void putDigits(QByteArray& line, Field f, const QString& digits)
{
    put(line, f, digits.toLatin1().right(f.width()).rightJustified(f.width(), '0'));
}

void putDate(QByteArray& line, Field f, const QDate& d)
{
    if (!d.isValid()) {
        put(line, f, QByteArray(f.width(), '0'));
        return;
    }
    const QString text = f.width() == 6 ? d.toString(QStringLiteral("ddMMyy"))
                                        : d.toString(QStringLiteral("ddMMyyyy"));
    put(line, f, text.toLatin1());
}

// What both layouts give of the title, the bank's collecting agency always the same.
void putTitle(QByteArray& line, const RetLayout::TitleFields& f, const RetOccurrence& o)
{
    putText(line, f.ourNumber, o.nosNum);
    put(line, f.portfolio, "1");
    putText(line, f.yourNumber, o.seuNum);
    putDate(line, f.dueDate, o.datVen);
    putNumber(line, f.titleValue, o.titVal);
    put(line, f.collectingBank, "842");
    put(line, f.collectingAgency, "00001");
    putNumber(line, f.fee, o.valTar);
    putText(line, f.reasons, o.motRej);
}

void putPayment(QByteArray& line, const RetLayout::PaymentFields& f, const RetOccurrence& o)
{
    putNumber(line, f.charges, o.valEnc);
    putNumber(line, f.discount, o.valDst);
    putNumber(line, f.rebate, o.valAbt);
    putNumber(line, f.paid, o.valPag);
    putDate(line, f.occurrenceDate, o.datOco);
    putDate(line, f.creditDate, o.datCre);
}
} // namespace

RetFileWriter::RetFileWriter(RetFile::Format format, const QDate& fileDate,
                             const QString& beneficiary)
    : m_format(format), m_fileDate(fileDate), m_beneficiary(beneficiary)
{
}

RetFileWriter& RetFileWriter::add(const RetOccurrence& o)
{
    m_occurrences << o;
    return *this;
}

QList<QByteArray> RetFileWriter::lines() const
{
    return m_format == RetFile::Format::Cnab400 ? lines400() : lines240();
}

QByteArray RetFileWriter::join(const QList<QByteArray>& lines, const QByteArray& end)
{
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + end;
    return out;
}

RetOccurrence RetFileWriter::settlement(const QString& age, const QString& ctr, const QString& nos,
                                        qint64 value, const QDate& day)
{
    RetOccurrence o;
    o.ageCod = age;
    o.ctrCod = ctr;
    o.nosNum = nos;
    o.codOco = QStringLiteral("06");
    o.titVal = value;
    o.valPag = value;
    o.datOco = day;
    o.datCre = day.addDays(1);
    o.datVen = day;
    return o;
}

QList<QByteArray> RetFileWriter::lines400() const
{
    namespace L = RetLayout::Cnab400;
    QList<QByteArray> out;
    QByteArray h = blankLine(L::kLineLength);
    put(h, L::kType, "0");
    put(h, L::kOperation, "2");
    put(h, L::kLiteral, "RETORNO");
    put(h, L::kService, "01");
    put(h, L::kServiceName, "COBRANCA");
    if (!m_occurrences.isEmpty()) {
        putDigits(h, L::kHeaderAgency, m_occurrences.first().ageCod);
        putDigits(h, L::kHeaderContract, m_occurrences.first().ctrCod);
    }
    putText(h, L::kBeneficiary, m_beneficiary);
    put(h, L::kBankCode, "842");
    putDate(h, L::kFileDate, m_fileDate);
    out << h;
    qint64 sum = 0;
    for (const RetOccurrence& o : m_occurrences) {
        QByteArray d = blankLine(L::kLineLength);
        put(d, L::kType, "1");
        put(d, L::kPayerKind, "01");
        putText(d, L::kAgency, o.ageCod);
        putText(d, L::kContract, o.ctrCod);
        putText(d, L::kOccurrence, o.codOco);
        putTitle(d, L::kTitle, o);
        putPayment(d, L::kPayment, o);
        putNumber(d, L::kOtherCredits, 0);
        out << d;
        sum += o.valPag;
    }
    QByteArray t = blankLine(L::kLineLength);
    put(t, L::kType, "9");
    put(t, L::kTrailerOperation, "2");
    putNumber(t, L::kTrailerCount, m_occurrences.size());
    putNumber(t, L::kTrailerSum, sum);
    out << t;
    for (qsizetype i = 0; i < out.size(); ++i)
        putNumber(out[i], L::kSequence, i + 1);
    return out;
}

QList<QByteArray> RetFileWriter::lines240() const
{
    namespace L = RetLayout::Cnab240;
    auto line = [](char type, int batch) {
        QByteArray l = blankLine(L::kLineLength);
        put(l, L::kBankCode, "842");
        putNumber(l, L::kBatch, batch);
        put(l, L::kType, QByteArray(1, type));
        return l;
    };
    QList<QByteArray> out;
    QByteArray h = line('0', 0);
    putText(h, L::kBeneficiary, m_beneficiary);
    put(h, L::kOperation, "2");
    putDate(h, L::kFileDate, m_fileDate);
    out << h;
    out << line('1', 1);
    int number = 0;
    for (const RetOccurrence& o : m_occurrences) {
        QByteArray t = line('3', 1);
        putNumber(t, {9, 13}, ++number);
        put(t, L::kSegment, "T");
        putText(t, L::kOccurrence, o.codOco);
        putDigits(t, L::kAgency, o.ageCod);
        putDigits(t, L::kContract, o.ctrCod.left(o.ctrCod.size() - 1));
        putText(t, L::kContractDigit, o.ctrCod.right(1));
        putTitle(t, L::kTitle, o);
        put(t, L::kPayerKind, "1");
        putNumber(t, L::kPayerId, 12345678909);
        putText(t, L::kPayerName, o.payerName);
        QByteArray u = line('3', 1);
        putNumber(u, {9, 13}, ++number);
        put(u, L::kSegment, "U");
        putText(u, L::kOccurrence, o.codOco);
        putPayment(u, L::kPayment, o);
        out << t << u;
    }
    QByteArray bt = line('5', 1);
    putNumber(bt, L::kBatchLines, out.size()); // header and trailer of the batch included
    out << bt;
    QByteArray ft = line('9', 9999);
    putNumber(ft, L::kFileBatches, 1);
    putNumber(ft, L::kFileLines, out.size() + 1);
    out << ft;
    return out;
}
