#include "MailAddress.h"

#include <QRegularExpression>

namespace MailAddress {

bool isValid(const QString& address)
{
    // Local part: the dot-atom of RFC 5322; domain: labels of letters, digits and '-'
    // with at least one dot, or a name the office's own server knows ("localhost" is
    // left out on purpose: nobody pays a bloqueto there).
    static const QRegularExpression re(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*@"
        "[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}"
        "[A-Za-z0-9])?)+$"));
    return address.size() <= 254 && re.match(address).hasMatch();
}

Named parseNamed(const QString& text)
{
    Named n;
    const QString t = text.trimmed();
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n')))
        return n;
    const qsizetype open = t.lastIndexOf(QLatin1Char('<'));
    if (open >= 0) {
        if (!t.endsWith(QLatin1Char('>')))
            return n;
        const QString address = t.mid(open + 1, t.size() - open - 2).trimmed();
        QString name = t.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) &&
            name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2);
        if (!isValid(address) || name.contains(QLatin1Char('<')) || name.contains(QLatin1Char('>')))
            return n;
        n.name = name;
        n.address = address;
        return n;
    }
    if (isValid(t))
        n.address = t;
    return n;
}

QStringList split(const QString& list, QStringList* bad)
{
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    QStringList good;
    for (const QString& item : list.split(separators, Qt::SkipEmptyParts)) {
        const QString a = item.trimmed();
        if (a.isEmpty())
            continue;
        if (isValid(a)) {
            if (!good.contains(a, Qt::CaseInsensitive))
                good << a;
        } else if (bad) {
            *bad << a;
        }
    }
    return good;
}

QByteArray encodeWord(const QString& text)
{
    bool plain = true;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            plain = false;
    }
    if (plain)
        return text.toLatin1();
    // Each word at most 75 characters: 45 bytes of UTF-8 give 60 of base64, never
    // splitting a character.
    QByteArray out;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one = text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            one += text.at(++i);
        const QByteArray bytes = one.toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            out += (out.isEmpty() ? "" : " ") + QByteArray("=?UTF-8?B?") + chunk.toBase64() + "?=";
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        out += (out.isEmpty() ? "" : " ") + QByteArray("=?UTF-8?B?") + chunk.toBase64() + "?=";
    return out;
}

QString Named::toString() const
{
    return name.isEmpty() ? address : QStringLiteral("%1 <%2>").arg(name, address);
}

QByteArray Named::header() const
{
    if (name.isEmpty())
        return address.toLatin1();
    QByteArray shown = encodeWord(name);
    // A plain name with specials goes in quotes.
    if (shown == name.toLatin1()) {
        static const QRegularExpression specials(QStringLiteral("[()<>\\[\\]:;@\\\\,.\"]"));
        if (name.contains(specials)) {
            QString q = name;
            q.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
            q.replace(QLatin1Char('"'), QStringLiteral("\\\""));
            shown = '"' + q.toLatin1() + '"';
        }
    }
    return shown + " <" + address.toLatin1() + '>';
}

} // namespace MailAddress
