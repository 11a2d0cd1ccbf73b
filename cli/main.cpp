#include "BlqUpgrade.h"
#include "Database.h"
#include "Dialogs.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "Translations.h"
#include "Verb.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

Verb continuoVerb();
Verb rejeitadosVerb();
Verb folhaSoltaVerb();
Verb importarVerb();

// The verbs of the tool; each lives in a source file of its own.
QList<Verb> allVerbs()
{
    return {
        importarVerb(),
        continuoVerb(),
        rejeitadosVerb(),
        folhaSoltaVerb(),
    };
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

namespace {
// Without windows, notices go to standard output and errors to standard error; questions
// and dialogs have nobody to answer them and are declined.
class CliDialogs final : public Dialogs {
public:
    void message(const QString& text, const QString&) override { printOut(text); }
    Answer question(const QString&, const QString&, Buttons) override { return Answer::Cancel; }
    void error(const QString& text) override { printErr(text); }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString openPicture(const QString&, const QString&) override { return {}; }
    bool choosePrinter(QPrinter*) override { return false; }
};

void printHelp(const QList<Verb>& verbs)
{
    printOut(QStringLiteral("Uso: kvcob-lote [--dir PASTA] VERBO [ARGUMENTOS]"));
    printOut(QString());
    printOut(QStringLiteral("Emissão de bloquetos sem janelas, sobre a base do programa."));
    printOut(QString());
    printOut(QStringLiteral("Verbos:"));
    for (const Verb& v : verbs)
        printOut(QStringLiteral("  %1 %2\n      %3").arg(v.name, v.usage, v.summary));
    printOut(QString());
    printOut(QStringLiteral("Opções:"));
    printOut(
        QStringLiteral("  --dir PASTA   pasta do programa (base, KVCob002.ini, Matricial.ini,"));
    printOut(QStringLiteral("                kvcob.conf); por omissão, a pasta do executável"));
    printOut(QStringLiteral("  --help        mostra esta ajuda"));
    printOut(QStringLiteral("  --version     mostra a versão"));
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
    QGuiApplication app(argc, argv);
    Translations::install();
    QCoreApplication::setApplicationName(QStringLiteral("Zizorad ir Izaradu"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.1"));

    CliDialogs cliDialogs;
    setDialogs(&cliDialogs);
    const QList<Verb> verbs = allVerbs();
    QStringList args = QCoreApplication::arguments().mid(1);
    QString dir;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QStringLiteral("--help")) {
            printHelp(verbs);
            return 0;
        }
        if (opt == QStringLiteral("--version")) {
            printOut(QStringLiteral("kvcob-lote 1.1.1"));
            return 0;
        }
        if (opt == QStringLiteral("--dir") && !args.isEmpty()) {
            dir = args.takeFirst();
            continue;
        }
        if (opt.startsWith(QStringLiteral("--dir="))) {
            dir = opt.mid(6);
            continue;
        }
        printErr(QStringLiteral("Opção desconhecida: %1").arg(opt));
        printErr(QStringLiteral("Use kvcob-lote --help para ver as opções."));
        return 2;
    }
    if (args.isEmpty()) {
        printHelp(verbs);
        return 2;
    }
    if (!dir.isEmpty()) {
        if (!QDir(dir).exists()) {
            printErr(QStringLiteral("Pasta do programa não encontrada: %1").arg(dir));
            return 2;
        }
        ProgramDir::set(dir);
    }
    const QString name = args.takeFirst();
    for (const Verb& v : verbs) {
        if (v.name != name)
            continue;
        int rc = 1;
        const bool ok = runGuarded([&] {
            Regional::init();
            BlqUpgrade::upgradeIfNeeded();
            rc = v.run(args);
        });
        Database::closeAll();
        return ok ? rc : 1;
    }
    printErr(QStringLiteral("Verbo desconhecido: %1").arg(name));
    printErr(QStringLiteral("Use kvcob-lote --help para ver os verbos."));
    return 2;
}
