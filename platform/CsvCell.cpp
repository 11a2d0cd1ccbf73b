#include "CsvCell.h"

QString CsvCell::neutralised(const QString& text)
{
    if (text.isEmpty())
        return text;
    switch (text.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
        return QLatin1Char('\'') + text;
    default:
        return text;
    }
}

QByteArray CsvCell::figure(const QString& text, char separator)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    QByteArray quoted = bytes;
    quoted.replace('"', QByteArrayLiteral("\"\""));
    return '"' + quoted + '"';
}

QByteArray CsvCell::text(const QString& text, char separator)
{
    return figure(neutralised(text), separator);
}
