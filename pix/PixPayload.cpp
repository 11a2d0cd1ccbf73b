#include "PixPayload.h"

#include "PixCrc.h"

namespace {
constexpr int kNameWidth = 25;
constexpr int kCityWidth = 15;
const QLatin1StringView kGui("br.gov.bcb.pix");

QString field(QLatin1StringView id, const QString& value)
{
    return id + QStringLiteral("%1").arg(value.size(), 2, 10, QLatin1Char('0')) + value;
}

QString amount(qint64 cents)
{
    return QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

bool twoDigits(QStringView s, qsizetype at, int& value)
{
    if (at + 2 > s.size())
        return false;
    const QChar a = s[at];
    const QChar b = s[at + 1];
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
        return false;
    value = (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    return true;
}

// Walks a run of fields; calls `visit(id, value)` for each. False when the run does not
// tile the text exactly.
template <typename Visit> bool walk(QStringView s, Visit visit)
{
    qsizetype at = 0;
    while (at < s.size()) {
        int id = 0;
        int length = 0;
        if (!twoDigits(s, at, id) || !twoDigits(s, at + 2, length))
            return false;
        if (at + 4 + length > s.size())
            return false;
        visit(id, s.mid(at + 4, length));
        at += 4 + length;
    }
    return true;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
} // namespace

QString PixPayload::fold(QStringView text, int width)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c.toUpper();
    }
    // Cut after the blanks at the front are gone, so the name keeps its 25 letters, and
    // trim again so that a cut never leaves a blank at the end.
    return out.trimmed().left(width).trimmed();
}

QString PixPayload::build(const Static& in)
{
    const QString txid = in.txid.trimmed().isEmpty() ? QStringLiteral("***") : in.txid.trimmed();
    QString p;
    p.reserve(200);
    p += field(QLatin1StringView("00"), QStringLiteral("01"));
    p += field(QLatin1StringView("26"),
               field(QLatin1StringView("00"), kGui) + field(QLatin1StringView("01"), in.key));
    p += field(QLatin1StringView("52"), QStringLiteral("0000"));
    p += field(QLatin1StringView("53"), QStringLiteral("986"));
    p += field(QLatin1StringView("54"), amount(in.cents));
    p += field(QLatin1StringView("58"), QStringLiteral("BR"));
    p += field(QLatin1StringView("59"), fold(in.name, kNameWidth));
    p += field(QLatin1StringView("60"), fold(in.city, kCityWidth));
    p += field(QLatin1StringView("62"), field(QLatin1StringView("05"), txid));
    p += QStringLiteral("6304");
    p += PixCrc::hex(p);
    return p;
}

bool PixPayload::isValid(QStringView s)
{
    if (!s.startsWith(u"000201") || s.size() < 14)
        return false;
    const QStringView crcField = s.last(8);
    if (!crcField.startsWith(u"6304"))
        return false;
    for (QChar c : crcField.sliced(4)) {
        if (!isHexDigit(c))
            return false;
    }
    // In upper case, as the standard writes it: a payer's app may compare the text.
    if (crcField.sliced(4) != PixCrc::hex(s.chopped(4)))
        return false;

    // Everything before the CRC field is a run of whole fields, one of them the PIX
    // merchant account template.
    bool pix = false;
    const bool tiled = walk(s.chopped(8), [&](int id, QStringView value) {
        if (id < 26 || id > 51)
            return;
        bool gui = false;
        const bool whole = walk(value, [&](int sub, QStringView v) {
            if (sub == 0 && v.compare(kGui, Qt::CaseInsensitive) == 0)
                gui = true;
        });
        pix = pix || (whole && gui);
    });
    return tiled && pix;
}
