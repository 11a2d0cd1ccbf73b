#include "PixKey.h"

#include <QRegularExpression>

namespace {
constexpr int kEmailMax = 77; // what fits the merchant account template of a payload

bool allDigits(QStringView s)
{
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !s.isEmpty();
}

// A number made of one repeated digit passes the arithmetic of both check digits but is
// never issued.
bool oneRepeatedDigit(QStringView s)
{
    return s.count(s.front()) == s.size();
}

int digit(QChar c)
{
    return c.unicode() - u'0';
}

// The modulo-11 check digit of the Receita over the given weights.
int mod11Digit(QStringView digits, const int* weights)
{
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += digit(digits[i]) * weights[i];
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

// Removes the characters in `allowed` and answers the rest, or a null string when
// anything else is left among the digits.
QString withoutPunctuation(QStringView text, QStringView allowed)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            out += c;
        else if (!allowed.contains(c))
            return {};
    }
    return out;
}
} // namespace

bool PixKey::cpfDigitsValid(QStringView d)
{
    static const int w1[] = {10, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int w2[] = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    if (d.size() != 11 || !allDigits(d) || oneRepeatedDigit(d))
        return false;
    return mod11Digit(d.first(9), w1) == digit(d[9]) && mod11Digit(d.first(10), w2) == digit(d[10]);
}

bool PixKey::cnpjDigitsValid(QStringView d)
{
    static const int w1[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int w2[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    if (d.size() != 14 || !allDigits(d) || oneRepeatedDigit(d))
        return false;
    return mod11Digit(d.first(12), w1) == digit(d[12]) &&
           mod11Digit(d.first(13), w2) == digit(d[13]);
}

std::optional<PixKey> PixKey::parse(QStringView typed)
{
    const QStringView text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;

    if (text.contains(u'@')) {
        // One "@" between a local part and a dotted domain, printable ASCII, no blanks.
        static const QRegularExpression email(
            QStringLiteral("^[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+$"));
        if (text.size() > kEmailMax || !email.match(text.toString()).hasMatch())
            return std::nullopt;
        return PixKey(Type::Email, text.toString().toLower());
    }

    if (text.startsWith(u'+')) {
        if (!text.startsWith(u"+55"))
            return std::nullopt;
        const QString digits = withoutPunctuation(text.mid(3), u" ()-.");
        if (digits.size() != 10 && digits.size() != 11)
            return std::nullopt;
        return PixKey(Type::Phone, QStringLiteral("+55") + digits);
    }

    static const QRegularExpression uuid(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (uuid.match(text.toString()).hasMatch())
        return PixKey(Type::Random, text.toString().toLower());

    const QString digits = withoutPunctuation(text, u" .-/");
    if (cpfDigitsValid(digits))
        return PixKey(Type::Cpf, digits);
    if (cnpjDigitsValid(digits))
        return PixKey(Type::Cnpj, digits);
    return std::nullopt;
}
