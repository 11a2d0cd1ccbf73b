#include "BankConversions.h"

#include "Cp1252.h"
#include "KvError.h"
#include "Regional.h"

#include <limits>

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text without the blanks around it.
QByteArrayView trimBlanks(QByteArrayView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == ' ')
        ++from;
    while (to > from && text[to - 1] == ' ')
        --to;
    return text.sliced(from, to - from);
}

// The text without its blanks and its sign; negative when the sign is a minus.
QByteArrayView unsignedPart(QByteArrayView text, bool* negative)
{
    QByteArrayView t = trimBlanks(text);
    *negative = !t.isEmpty() && t[0] == '-';
    if (!t.isEmpty() && (t[0] == '+' || t[0] == '-'))
        t = t.sliced(1);
    return t;
}

[[noreturn]] void notA(QByteArrayView text, const char* what)
{
    throw KvConversionError(
        QStringLiteral("'%1' não é %2").arg(BankConversions::shown(text), QString::fromUtf8(what)));
}
} // namespace

QString BankConversions::shown(QByteArrayView text)
{
    QString out = Cp1252::decode(text.data(), text.size());
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    }
    return out;
}

double BankConversions::number(QByteArrayView text)
{
    bool negative = false;
    const QByteArrayView t = unsignedPart(text, &negative);
    // The separator is one of the Latin-1 characters any locale uses for it.
    const char16_t sep = Regional::decimalSeparator().unicode();
    double whole = 0;
    double fraction = 0;
    double scale = 1;
    bool digits = false;
    bool inFraction = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (isDigit(c)) {
            digits = true;
            if (inFraction && scale < 1e18) { // further decimals are beyond a double anyway
                fraction = fraction * 10 + (c - '0');
                scale *= 10;
            } else if (!inFraction) {
                whole = whole * 10 + (c - '0');
            }
        } else if (!inFraction && static_cast<unsigned char>(c) == sep) {
            inFraction = true;
        } else {
            notA(text, "um número válido");
        }
    }
    if (!digits)
        notA(text, "um número válido");
    const double value = whole + fraction / scale;
    return negative ? -value : value;
}

QDate BankConversions::date(QByteArrayView ddmmyy)
{
    bool allDigits = ddmmyy.size() == 6;
    for (qsizetype i = 0; allDigits && i < 6; ++i)
        allDigits = isDigit(ddmmyy[i]);
    if (allDigits) {
        auto two = [&](int at) { return (ddmmyy[at] - '0') * 10 + (ddmmyy[at + 1] - '0'); };
        const QDate d(2000 + two(4), two(2), two(0));
        if (d.isValid())
            return d;
    }
    // Named as the user would have typed it: dd/mm/20yy.
    const QString text = ddmmyy.size() == 6 ? shown(ddmmyy.first(2)) + QLatin1Char('/') +
                                                  shown(ddmmyy.sliced(2, 2)) +
                                                  QStringLiteral("/20") + shown(ddmmyy.sliced(4, 2))
                                            : shown(ddmmyy);
    throw KvConversionError(QStringLiteral("'%1' não é uma data válida").arg(text));
}

qint32 BankConversions::wholeNumber(QByteArrayView text)
{
    bool negative = false;
    const QByteArrayView t = unsignedPart(text, &negative);
    if (t.isEmpty())
        notA(text, "um valor inteiro válido");
    qint64 value = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (!isDigit(t[i]))
            notA(text, "um valor inteiro válido");
        value = value * 10 + (t[i] - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            notA(text, "um valor inteiro válido");
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        notA(text, "um valor inteiro válido");
    return qint32(value);
}

char BankConversions::CalculaDigito(QByteArrayView digits)
{
    int sum = 0;
    int weight = 2;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const char c = digits[i];
        if (!isDigit(c))
            throw KvConversionError(
                QStringLiteral("'%1' não é um número válido para o dígito verificador")
                    .arg(shown(digits)));
        sum = (sum + (c - '0') * weight) % 11; // only the remainder matters
        weight = weight == 9 ? 2 : weight + 1;
    }
    const int d = 11 - sum % 11;
    return d >= 10 ? '0' : char('0' + d);
}
