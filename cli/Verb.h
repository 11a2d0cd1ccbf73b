#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One command of kvcob-lote. A verb prints its messages on standard output, raises
// KvError on failure (printed on standard error, exit status 1) and returns its exit code.
//
// Its options are declared once, one line each, and both the parser and --help read them:
//   {QStringLiteral("forcar"), QStringLiteral("importa mesmo assim")}          a switch
//   {QStringLiteral("contrato"), QStringLiteral("só este contrato"), QStringLiteral("A/C")}
// They may stand anywhere after the verb, as "--name value" or "--name=value"; the verb
// reads them with args.isSet(name) and args.value(name).
struct Verb {
    Verb() = default;
    using Run = std::function<int(const Verb& verb, const QCommandLineParser& args)>;
    enum class Pages { Made, None };

    Verb(const QString& name, const QString& arguments, const QString& summary, Run run = nullptr,
         Pages pages = Pages::Made)
        : name(name), arguments(arguments), summary(summary), run(std::move(run)),
          paints(pages == Pages::Made)
    {
    }

    QString name;
    QString arguments; // what follows the options in the synopsis ("SAIDA.pdf")
    QString summary;   // one line, for --help
    QList<QCommandLineOption> options;
    // Options the synopsis shows without brackets. The verb checks them itself, to say
    // in its own words what is missing.
    QStringList required;
    Run run;
    // A verb that makes no pages runs without the toolkit's fonts, whose loading and
    // unloading would cost it more than a tenth of a second.
    bool paints = true;

    // The synopsis after the verb: "--modelo pequeno|grande [--contrato AGÊNCIA/CONTRATO] SAIDA".
    QString usage() const;
    // Raises KvError with `why` (when given) and then "Uso: kvcob-lote VERB …".
    [[noreturn]] void badUsage(const QString& why = QString()) const;
    // The date of option `name` as dd/mm/aaaa (or, with `alsoIso`, aaaa-mm-dd); an invalid
    // date is bad usage. Null when the option is not given.
    QDate dateOption(const QCommandLineParser& args, const QString& name,
                     bool alsoIso = false) const;
};

// Raises "Não há Dados na Base" when the bloqueto table holds no titles, as the window does
// before any report.
void requireTitles();

// Writes a line of text to standard output / standard error in the locale's encoding.
void printOut(const QString& line);
void printErr(const QString& line);
