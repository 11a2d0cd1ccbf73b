#include "DotMatrixText.h"

#include "Regional.h"

namespace {
bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}
} // namespace

QString DotMatrixText::CompletaString(const QString& text, int width, const QString& fill,
                                      const QString& side)
{
    width = qMax(width, 0);
    QString result = text;
    if (text.size() > width)
        result = side == QStringLiteral("L") ? text.right(width) : text.left(width);
    if (text.size() < width) {
        const QString pad = fill.repeated(width - text.size());
        result = side == QStringLiteral("R") ? result + pad : pad + result;
    }
    return result;
}

QString DotMatrixText::Espacos(int count)
{
    return count > 0 ? QString(count, QLatin1Char(' ')) : QString();
}

QString DotMatrixText::money(qint64 cents)
{
    return Regional::formatCents(cents);
}

QString DotMatrixText::date(const QDate& value, int blanks)
{
    const QString text = Regional::shortDate(value);
    return text.size() == 10 ? text : Espacos(blanks);
}

QString DotMatrixText::trimmed(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString DotMatrixText::printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (isControl(c))
            c = QLatin1Char(' ');
    }
    return out;
}
