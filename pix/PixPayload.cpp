#include "PixPayload.h"

#include "PixCrc.h"

#include <array>

namespace {
const QLatin1StringView kGui("br.gov.bcb.pix");

void appendTwoDigits(QString& out, qsizetype n)
{
    out += QChar(u'0' + char16_t(n / 10 % 10));
    out += QChar(u'0' + char16_t(n % 10));
}

// Appends a field: its id, the length of its value in two digits, the value.
template <typename Value> void appendField(QString& out, QLatin1StringView id, const Value& value)
{
    out += id;
    appendTwoDigits(out, value.size());
    out += value;
}

// The head of a field whose value is `length` characters of fields appended after it.
void appendTemplate(QString& out, QLatin1StringView id, qsizetype length)
{
    out += id;
    appendTwoDigits(out, length);
}

QString amount(qint64 cents)
{
    QString out = QString::number(cents / 100);
    out += u'.';
    appendTwoDigits(out, cents % 100);
    return out;
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

QString foldAnew(QStringView text, int width)
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
} // namespace

QString PixPayload::fold(QStringView text, int width)
{
    // Every title of a beneficiary folds the same name and city: the last few are kept.
    struct Folded {
        QString text;
        int width;
        QString out;
    };
    thread_local std::array<Folded, 4> kept;
    thread_local size_t next = 0;
    for (const Folded& f : kept) {
        if (f.width == width && f.text == text && !f.text.isNull())
            return f.out;
    }
    QString out = foldAnew(text, width);
    kept[next] = {text.toString(), width, out};
    next = (next + 1) % kept.size();
    return out;
}

QString PixPayload::build(const Static& in)
{
    const QString txid = in.txid.trimmed().isEmpty() ? QStringLiteral("***") : in.txid.trimmed();
    QString p;
    p.reserve(256);
    appendField(p, QLatin1StringView("00"), QLatin1StringView("01"));
    appendTemplate(p, QLatin1StringView("26"), 4 + kGui.size() + 4 + in.key.size());
    appendField(p, QLatin1StringView("00"), kGui);
    appendField(p, QLatin1StringView("01"), in.key);
    appendField(p, QLatin1StringView("52"), QLatin1StringView("0000"));
    appendField(p, QLatin1StringView("53"), QLatin1StringView("986"));
    appendField(p, QLatin1StringView("54"), amount(in.cents));
    appendField(p, QLatin1StringView("58"), QLatin1StringView("BR"));
    appendField(p, QLatin1StringView("59"), fold(in.name, PixPayload::kNameWidth));
    appendField(p, QLatin1StringView("60"), fold(in.city, PixPayload::kCityWidth));
    appendTemplate(p, QLatin1StringView("62"), 4 + txid.size());
    appendField(p, QLatin1StringView("05"), txid);
    p += QLatin1StringView("6304");
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
