#include "BlqSearchText.h"

namespace {
// Between the fields: a control character, which no folded search holds, so that a word of
// the search never runs from one field into the next.
constexpr QChar kSeparator = u'\x1f';

void appendFolded(QChar c, QString& out)
{
    if (c.unicode() < 0x80) {
        const char16_t u = c.unicode();
        out += QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
        return;
    }
    switch (c.unicode()) {
    case u'ß':
        out += QStringLiteral("ss");
        return;
    case u'Æ':
    case u'æ':
        out += QStringLiteral("ae");
        return;
    case u'Ø':
    case u'ø':
        out += u'o';
        return;
    case u'º':
        out += u'o';
        return;
    case u'ª':
        out += u'a';
        return;
    default:
        break;
    }
    // "É" decomposes into "E" and a combining accent: the base letter is kept.
    const QString parts = c.decomposition();
    const QChar base = parts.isEmpty() ? c : parts.at(0);
    if (base.category() == QChar::Mark_NonSpacing)
        return;
    out += base.toLower();
}

bool isDocumentWord(QStringView word)
{
    bool digit = false;
    for (QChar c : word) {
        if (c.isDigit())
            digit = true;
        else if (c != u'.' && c != u'-' && c != u'/')
            return false;
    }
    return digit;
}

QString digitsOf(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            out += c;
    }
    return out;
}
} // namespace

QString BlqSearchText::fold(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += u' ';
        blank = false;
        appendFolded(c, out);
    }
    return out;
}

QString BlqSearchText::of(const BlqTitle& t)
{
    return of(t.sacNom, t.cpfCgcSac, t.nosNum, t.seuNum, t.nomCed);
}

QString BlqSearchText::of(const QString& sacNom, const QString& cpfCgcSac, const QString& nosNum,
                          const QString& seuNum, const QString& nomCed)
{
    QString out = fold(sacNom);
    out += kSeparator;
    out += digitsOf(cpfCgcSac);
    out += kSeparator;
    out += fold(nosNum);
    out += kSeparator;
    out += fold(seuNum);
    out += kSeparator;
    out += fold(nomCed);
    return out;
}

QStringList BlqSearchText::patterns(const QString& search)
{
    QStringList out;
    const QStringList words = fold(search).split(u' ', Qt::SkipEmptyParts);
    for (const QString& w : words) {
        const QString word = isDocumentWord(w) ? digitsOf(w) : w;
        QString p = QStringLiteral("%");
        for (QChar c : word) {
            if (c == u'%' || c == u'_' || c == u'\\')
                p += u'\\';
            p += c;
        }
        p += u'%';
        if (!out.contains(p))
            out << p;
    }
    return out;
}
