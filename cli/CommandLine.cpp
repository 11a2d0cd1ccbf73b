#include "CommandLine.h"

namespace {
const QCommandLineOption* findOption(const QList<QCommandLineOption>& options, const QString& name)
{
    for (const QCommandLineOption& o : options) {
        if (o.names().contains(name))
            return &o;
    }
    return nullptr;
}

// "--dir=x" → "dir"; "-d" → "d"; not an option → empty.
QString optionName(const QString& arg)
{
    if (arg.size() < 2 || arg.front() != QLatin1Char('-') || arg == QStringLiteral("--"))
        return {};
    QString name = arg.mid(arg.startsWith(QStringLiteral("--")) ? 2 : 1);
    return name.section(QLatin1Char('='), 0, 0);
}
} // namespace

namespace CommandLine {
bool parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
           const QStringList& args, QString* error)
{
    if (parser.parse(args))
        return true;
    const QStringList unknown = parser.unknownOptionNames();
    // The parser stops at the first fault; the argument that caused it is named as the
    // user typed it.
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QStringLiteral("--"))
            break;
        const QString name = optionName(arg);
        if (name.isEmpty())
            continue;
        const QString typed = arg.section(QLatin1Char('='), 0, 0);
        if (unknown.contains(name)) {
            *error = QStringLiteral("Opção desconhecida: %1").arg(arg);
            return false;
        }
        const QCommandLineOption* o = findOption(options, name);
        if (!o)
            continue;
        const bool takesValue = !o->valueName().isEmpty();
        if (!takesValue && arg.contains(QLatin1Char('='))) {
            *error = QStringLiteral("A opção %1 não leva valor.").arg(typed);
            return false;
        }
        if (takesValue && !arg.contains(QLatin1Char('=')) && i + 1 == args.size()) {
            *error = QStringLiteral("Falta o valor de %1.").arg(typed);
            return false;
        }
    }
    *error = parser.errorText();
    return false;
}

QString synopsis(const QCommandLineOption& option)
{
    const QString name = option.names().constLast();
    QString text = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (!option.valueName().isEmpty())
        text += QLatin1Char(' ') + option.valueName();
    return text;
}

QStringList optionTable(const QList<QCommandLineOption>& options, int indent)
{
    qsizetype width = 0;
    for (const QCommandLineOption& o : options)
        width = std::max(width, synopsis(o).size());
    const QString margin(indent, QLatin1Char(' '));
    QStringList lines;
    for (const QCommandLineOption& o : options) {
        if (o.flags() & QCommandLineOption::HiddenFromHelp)
            continue;
        const QStringList text = o.description().split(QLatin1Char('\n'));
        lines << margin + synopsis(o).leftJustified(width + 3) + text.first();
        for (qsizetype i = 1; i < text.size(); ++i)
            lines << margin + QString(width + 3, QLatin1Char(' ')) + text.at(i);
    }
    return lines;
}
} // namespace CommandLine
