#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The lines of "indice.csv", the index of a folder of per-title PDF files that a mail
// merge or a spreadsheet reads: UTF-8 after a byte-order mark (so that a spreadsheet
// keeps the accents), ';' between fields, one header line, lines ended by CR LF. A field
// holding ';', '"' or a line break is quoted and its quotes doubled (RFC 4180); a field of
// outside text that a spreadsheet would take as a formula is written as text (CsvCell).
namespace BloquetoIndex {

struct Line {
    QString arquivo; // the file's name, without its folder
    QString seuNumero;
    QString nossoNumero;
    QString sacado;
    QString cpfCnpjSacado;
    QDate vencimento;       // null: the field is left empty
    qint64 cents = 0;       // written as 1234,56
    QString linhaDigitavel; // as the page prints it
};

// The byte-order mark and the header line.
QByteArray header();
QByteArray line(const Line& line);
// One field of outside text as the file carries it.
QByteArray field(const QString& text);
// An amount as the file writes it: 1234,56, a minus sign before a negative one.
QString amount(qint64 cents);

} // namespace BloquetoIndex
