#include "CommandLine.h"
#include "Database.h"
#include "Dialogs.h"
#include "KvError.h"
#include "KvVersion.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "Translations.h"
#include "Verb.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <memory>
#include <unistd.h>

Verb continuoVerb();
Verb rejeitadosVerb();
Verb folhaSoltaVerb();
Verb importarVerb();
Verb retornoVerb();
Verb liquidadosVerb();
Verb enderecosVerb();
Verb enviarVerb();
Verb senhaEmailVerb();
Verb titulosVerb();

// The verbs of the tool; each lives in a source file of its own.
QList<Verb> allVerbs()
{
    return {
        importarVerb(),   continuoVerb(), rejeitadosVerb(), folhaSoltaVerb(), retornoVerb(),
        liquidadosVerb(), titulosVerb(),  enderecosVerb(),  enviarVerb(),     senhaEmailVerb(),
    };
}

namespace {
// Without windows, notices go to standard output and errors to standard error; questions
// and dialogs have nobody to answer them and are declined.
// Messages on standard output without a caption, errors on standard error.
class CliDialogs final : public ConsoleDialogs {
public:
    void message(const QString& text, const QString&) override { printOut(text); }
    void error(const QString& text) override { printErr(text); }
};

const QString kDir = QStringLiteral("dir");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

QList<QCommandLineOption> globalOptions()
{
    return {
        {kDir,
         QStringLiteral("pasta do programa (base, KVCob002.ini, Matricial.ini,\n"
                        "kvcob.conf); por omissão, a variável KVCOB_DIR ou,\n"
                        "instalado, ~/.local/share/kvcob; compilado, a pasta\n"
                        "do executável"),
         QStringLiteral("PASTA")},
        {kHelp, QStringLiteral("mostra esta ajuda")},
        {kVersion, QStringLiteral("mostra a versão")},
    };
}

QCommandLineOption verbHelpOption()
{
    return {kHelp, QStringLiteral("mostra a ajuda deste verbo")};
}

// The verb the command line names, read before the application object exists (it
// decides which object that is); the parser reads the line again afterwards.
QString verbNamed(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!arg.startsWith(QLatin1Char('-')))
            return arg;
        const QString option = arg.mid(arg.startsWith(QStringLiteral("--")) ? 2 : 1);
        if (option == kDir)
            ++i; // its value
    }
    return {};
}

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[], const QList<Verb>& verbs)
{
    const QString name = verbNamed(argc, argv);
    for (const Verb& v : verbs) {
        if (v.name == name && !v.paints)
            return std::make_unique<QCoreApplication>(argc, argv);
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

void printVerb(const Verb& v)
{
    printOut(QStringLiteral("  %1 %2\n      %3").arg(v.name, v.usage(), v.summary));
    for (const QString& line : CommandLine::optionTable(v.options, 8))
        printOut(line);
}

void printHelp(const QList<Verb>& verbs, const QString& dir)
{
    printOut(QStringLiteral("Uso: kvcob-lote [--dir PASTA] VERBO [ARGUMENTOS]"));
    printOut(QString());
    printOut(QStringLiteral("Emissão de bloquetos sem janelas, sobre a base do programa."));
    printOut(QString());
    printOut(QStringLiteral("Verbos:"));
    for (const Verb& v : verbs)
        printVerb(v);
    printOut(QString());
    printOut(QStringLiteral("Opções:"));
    for (const QString& line : CommandLine::optionTable(globalOptions(), 2))
        printOut(line);
    printOut(QString());
    printOut(ProgramDir::describe(ProgramDir::choose(ProgramDir::inputs(dir))));
}

void badCall(const QString& why, const QString& what)
{
    printErr(why);
    printErr(QStringLiteral("Use kvcob-lote --help para ver %1.").arg(what));
}

// Parses what follows the verb and runs it. Usage faults are the verb's own errors
// (exit status 1), raised before the database is touched.
int runVerb(const Verb& v, const QStringList& args)
{
    QList<QCommandLineOption> options = v.options;
    options << verbHelpOption();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);
    QString error;
    if (!CommandLine::parse(parser, options, QStringList{v.name} + args, &error))
        v.badUsage(error);
    if (parser.isSet(kHelp)) {
        printVerb(v);
        return 0;
    }
    Regional::init();
    // The schema is upgraded by the import alone: a command that only reads leaves the
    // table as it finds it.
    return v.run(v, parser);
}
} // namespace

int main(int argc, char* argv[])
{
    // The tool never shows a window: it paints pages for PDF output only.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/kvcob-runtime-" +
                                   QByteArray::number(static_cast<qulonglong>(getuid()));
        QDir().mkpath(QString::fromLocal8Bit(runtime));
        QFile::setPermissions(QString::fromLocal8Bit(runtime), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    const QList<Verb> verbs = allVerbs();
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, verbs);
    Translations::install();
    QCoreApplication::setApplicationName(QStringLiteral("Zizorad ir Izaradu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KVCOB_VERSION));

    CliDialogs cliDialogs;
    setDialogs(&cliDialogs);

    // Options before the verb are the tool's; everything from the verb on is the verb's.
    const QList<QCommandLineOption> options = globalOptions();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOptions(options);
    QString error;
    if (!CommandLine::parse(parser, options, QCoreApplication::arguments(), &error)) {
        badCall(error, QStringLiteral("as opções"));
        return 2;
    }
    if (parser.isSet(kHelp)) {
        printHelp(verbs, parser.value(kDir));
        return 0;
    }
    if (parser.isSet(kVersion)) {
        printOut(QStringLiteral("kvcob-lote " KVCOB_VERSION));
        return 0;
    }
    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        printHelp(verbs, parser.value(kDir));
        return 2;
    }
    try {
        ProgramDir::init(ProgramDir::inputs(parser.value(kDir)));
    } catch (const KvError& e) {
        printErr(e.message());
        return 2;
    }
    const QString name = args.takeFirst();
    for (const Verb& v : verbs) {
        if (v.name != name)
            continue;
        int rc = 1;
        const bool ok = runGuarded([&] { rc = runVerb(v, args); });
        Database::closeAll();
        return ok ? rc : 1;
    }
    badCall(QStringLiteral("Verbo desconhecido: %1").arg(name), QStringLiteral("os verbos"));
    return 2;
}
