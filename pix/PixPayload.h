#pragma once

#include <QString>

// The PIX "copia e cola" text (EMV format: fields of a two-digit id, a two-digit length
// and the value, closed by the CRC field "63").
namespace PixPayload {

// What a static payload of one title is made of.
struct Static {
    QString key;  // already checked and normalised (PixKey)
    qint64 cents; // the title value in centavos, more than zero
    QString name; // the beneficiary's name as stored
    QString city; // the beneficiary's city as configured
    QString txid; // the title's nosso número
};

// Folds to the letters a payer's bank accepts: accents dropped (NFKD), anything left
// that is not printable ASCII dropped, upper case, blanks at both ends removed, cut to
// `width` characters.
QString fold(QStringView text, int width);
// The widths of the beneficiary's name and city in a payload.
inline constexpr int kNameWidth = 25;
inline constexpr int kCityWidth = 15;

// The static payload of a title: id 00 "01", 26 {00 "br.gov.bcb.pix", 01 key}, 52 "0000",
// 53 "986", 54 value ("1234.56"), 58 "BR", 59 name (folded, 25), 60 city (folded, 15),
// 62 {05 txid}, then "6304" and the CRC. A blank txid becomes "***", the one the
// central bank reserves for "none".
QString build(const Static& in);

// The checks an imported payload passes before it is printed: it begins with "000201",
// its fields follow each other to the end (each id and length two digits), one merchant
// account template (ids 26 to 51) holds "br.gov.bcb.pix" (any letter case) as its
// identifier, and the last field is "6304" with the CRC of everything before its four
// hex digits, in upper case.
bool isValid(QStringView payload);

} // namespace PixPayload
