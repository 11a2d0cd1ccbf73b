#include "Verb.h"

#include "CommandLine.h"
#include "DbTable.h"
#include "KvError.h"
#include "Regional.h"

#include <cstdio>

QString Verb::usage() const
{
    QStringList parts;
    for (const QCommandLineOption& o : options) {
        if (o.flags() & QCommandLineOption::HiddenFromHelp)
            continue;
        const QString text = CommandLine::synopsis(o);
        parts << (required.contains(o.names().constFirst())
                      ? text
                      : QLatin1Char('[') + text + QLatin1Char(']'));
    }
    if (!arguments.isEmpty())
        parts << arguments;
    return parts.join(QLatin1Char(' '));
}

void Verb::badUsage(const QString& why) const
{
    const QString line = QStringLiteral("Uso: kvcob-lote %1 %2").arg(name, usage());
    throw KvError(why.isEmpty() ? line : why + QLatin1Char('\n') + line);
}

QDate Verb::dateOption(const QCommandLineParser& args, const QString& name, bool alsoIso) const
{
    if (!args.isSet(name))
        return {};
    const QString text = args.value(name).trimmed();
    QDate d = Regional::parseShortDate(text);
    if (!d.isValid() && alsoIso)
        d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid())
        badUsage(QStringLiteral("Data inválida em --%1: %2 (use dd/mm/aaaa).")
                     .arg(name, args.value(name)));
    return d;
}

void requireTitles()
{
    DbTable table;
    table.open();
    if (table.rowCount() == 0)
        throw KvError(QStringLiteral("Não há Dados na Base"));
}

void printOut(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void printErr(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}
