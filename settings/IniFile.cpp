#include "IniFile.h"

#include "Cp1252.h"
#include "FileAdvice.h"
#include "KvError.h"
#include "PrivateFiles.h"
#include "ProgramDir.h"

#include <QFile>
#include <QSaveFile>

namespace {
struct Line {
    QByteArray text; // without its line end
    QByteArray end;  // "\r\n", "\n", "\r" or empty for the last line
};

QList<Line> splitLines(const QByteArray& data)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && data[i] != '\n' && data[i] != '\r')
            ++i;
        Line line{data.mid(start, i - start), {}};
        if (i < n) {
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') {
                line.end = "\r\n";
                i += 2;
            } else {
                line.end = QByteArray(1, data[i]);
                i += 1;
            }
        }
        lines.append(line);
        start = i;
    }
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return {};
    const qsizetype close = t.indexOf(']');
    const QByteArray name = close < 0 ? t.mid(1) : t.mid(1, close - 1);
    QString s = Cp1252::decode(name.trimmed());
    if (s.isNull())
        s = QStringLiteral("");
    return s;
}

bool keyMatches(const QByteArray& line, const QString& key, qsizetype* eq)
{
    *eq = line.indexOf('=');
    if (*eq < 0)
        return false;
    const QString name = Cp1252::decode(line.left(*eq).trimmed());
    return name.compare(key.trimmed(), Qt::CaseInsensitive) == 0;
}

// Section and key names and values live on one line: line breaks cannot be stored.
QByteArray oneLine(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Cp1252::encode(t);
}

[[noreturn]] void cannotWrite(const QString& path)
{
    throw KvError(QStringLiteral("Unable to write to %1").arg(path), FileAdvice::cannotWrite(path));
}
} // namespace

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return defaultValue;
    const QList<Line> lines = splitLines(f.readAll());
    f.close();
    bool inSection = false;
    for (const Line& line : lines) {
        const QString sec = sectionOf(line.text);
        if (!sec.isNull()) {
            inSection = sec.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        qsizetype eq = -1;
        if (inSection && keyMatches(line.text, key, &eq))
            return Cp1252::decode(line.text.mid(eq + 1).left(kMaxValue));
    }
    return defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const
{
    QByteArray data;
    {
        QFile f(m_path);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly))
                cannotWrite(m_path);
            data = f.readAll();
        }
    }
    QList<Line> lines = splitLines(data);
    const QByteArray newLine = "\r\n";
    const QByteArray keyLine = oneLine(key) + '=' + oneLine(value);

    qsizetype sectionAt = -1;
    qsizetype lastContent = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString sec = sectionOf(lines[i].text);
        if (!sec.isNull()) {
            if (sectionAt >= 0)
                break;
            if (sec.compare(section.trimmed(), Qt::CaseInsensitive) == 0) {
                sectionAt = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            lastContent = i;
        qsizetype eq = -1;
        if (keyMatches(lines[i].text, key, &eq)) {
            keyAt = i;
            break;
        }
    }

    if (keyAt >= 0) {
        // Keep the key exactly as written in the file, replace what follows "=".
        const qsizetype eq = lines[keyAt].text.indexOf('=');
        lines[keyAt].text = lines[keyAt].text.left(eq + 1) + oneLine(value);
    } else if (sectionAt >= 0) {
        if (lines[lastContent].end.isEmpty())
            lines[lastContent].end = newLine;
        lines.insert(lastContent + 1, Line{keyLine, newLine});
    } else {
        if (!lines.isEmpty() && lines.last().end.isEmpty())
            lines.last().end = newLine;
        lines.append(Line{'[' + oneLine(section) + ']', newLine});
        lines.append(Line{keyLine, newLine});
    }

    QByteArray out;
    out.reserve(data.size() + keyLine.size() + 64);
    for (const Line& line : std::as_const(lines))
        out += line.text + line.end;

    PrivateFiles::tighten(m_path); // the new file takes the old one's permissions
    QSaveFile save(m_path);
    if (!save.open(QIODevice::WriteOnly))
        cannotWrite(m_path);
    if (save.write(out) != out.size() || !save.commit())
        cannotWrite(m_path);
}

QString KvSettings::path()
{
    return ProgramDir::file(QStringLiteral("KVCob002.ini"));
}
