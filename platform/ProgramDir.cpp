#include "ProgramDir.h"

#include "KvError.h"
#include "PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <unistd.h>

#ifndef KVCOB_SYSCONFDIR
#define KVCOB_SYSCONFDIR "/etc"
#endif

namespace {
QString g_dir;
ProgramDir::Choice g_choice;
bool g_chosen = false;
bool g_installed = false;
QString g_systemConf;

const QString kConfName = QStringLiteral("kvcob.conf");

QString sourceText(ProgramDir::Source source)
{
    switch (source) {
    case ProgramDir::Source::Option:
        return QStringLiteral("indicada com --dir");
    case ProgramDir::Source::Environment:
        return QStringLiteral("indicada pela variável KVCOB_DIR");
    case ProgramDir::Source::UserData:
        return QStringLiteral("pasta de dados do usuário");
    case ProgramDir::Source::BuildFolder:
        break;
    }
    return QStringLiteral("pasta dos executáveis");
}

QString absolute(const QString& dir)
{
    return QDir::cleanPath(QDir(dir).absolutePath());
}

// An administrator's file that cannot be read as settings must stop the program: carrying
// on without it would quietly put the database somewhere the administrator did not mean.
void checkSystemConf(const QString& path, const QString& programDir)
{
    const auto damaged = [&](const QString& why) {
        return KvError(QStringLiteral("O arquivo de configuração %1 está danificado (%2). Peça ao "
                                      "administrador que o corrija, ou ponha um kvcob.conf "
                                      "próprio na pasta %3.")
                           .arg(path, why, programDir));
    };
    const QFileInfo info(path);
    if (!info.isFile())
        throw damaged(QStringLiteral("não é um arquivo"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw damaged(QStringLiteral("não pode ser lido: %1").arg(f.errorString()));
    f.close();
    QSettings conf(path, QSettings::IniFormat);
    conf.childGroups(); // makes it read the file
    if (conf.status() != QSettings::NoError)
        throw damaged(QStringLiteral("formato inválido"));
}

QString confFileFor(const QString& dir, bool installed)
{
    const QString own = dir + QLatin1Char('/') + kConfName;
    if (!installed || QFileInfo::exists(own))
        return own;
    const QString system = ProgramDir::systemConfFile();
    if (!QFileInfo::exists(system))
        return own;
    checkSystemConf(system, dir);
    return system;
}

QString whatToDo()
{
    return QStringLiteral(
        "Indique outra pasta com --dir (kvcob-lote) ou com a variável KVCOB_DIR.");
}
} // namespace

QString ProgramDir::path()
{
    if (!g_dir.isEmpty())
        return g_dir;
    return QCoreApplication::applicationDirPath();
}

QString ProgramDir::file(const QString& name)
{
    return path() + QLatin1Char('/') + name;
}

void ProgramDir::set(const QString& dir)
{
    g_dir = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
    g_chosen = false;
    g_installed = false;
}

ProgramDir::Choice ProgramDir::choose(const Inputs& in)
{
    if (!in.option.isEmpty())
        return {absolute(in.option), Source::Option};
    if (!in.environment.isEmpty())
        return {absolute(in.environment), Source::Environment};
    if (in.installed)
        return {in.userData.isEmpty() ? QString() : absolute(in.userData), Source::UserData};
    return {absolute(in.executableDir), Source::BuildFolder};
}

ProgramDir::Inputs ProgramDir::inputs(const QString& option)
{
    Inputs in;
    in.option = option;
    in.environment = qEnvironmentVariable("KVCOB_DIR");
    in.installed = isInstalled();
    in.executableDir = QCoreApplication::applicationDirPath();
    // Not AppDataLocation: that folder is named after the application title, a long
    // Portuguese phrase, where users and administrators look for "kvcob".
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        in.userData = data + QStringLiteral("/kvcob");
    return in;
}

void ProgramDir::init(const Inputs& in)
{
    // Before any file is made: the database, the PDFs and the rest hold payers' data.
    PrivateFiles::restrictProcess();
    const Choice choice = choose(in);
    const QString why = sourceText(choice.source);
    if (choice.path.isEmpty()) {
        throw KvError(QStringLiteral("Não foi possível determinar a pasta de dados do usuário: "
                                     "a pasta pessoal não é conhecida. ") +
                      whatToDo());
    }
    if (choice.source == Source::UserData && !QFileInfo(choice.path).isDir() &&
        !QDir().mkpath(choice.path)) {
        throw KvError(QStringLiteral("Não foi possível criar a pasta de dados do usuário %1. "
                                     "Verifique se a pasta pessoal permite gravação. ")
                          .arg(choice.path) +
                      whatToDo());
    }
    // The user's data folder is the program's own: private, even when an older version
    // made it open to other accounts. A folder named with --dir or KVCOB_DIR is the
    // user's choice and keeps its permissions.
    if (choice.source == Source::UserData)
        PrivateFiles::tighten(choice.path);
    const QFileInfo info(choice.path);
    if (!info.exists())
        throw KvError(
            QStringLiteral("Pasta do programa não encontrada: %1 (%2). ").arg(choice.path, why) +
            whatToDo());
    if (!info.isDir())
        throw KvError(
            QStringLiteral("A pasta do programa %1 (%2) não é uma pasta. ").arg(choice.path, why) +
            whatToDo());
    // The database writes its journal beside itself, so the folder itself must take new
    // files; a read-only folder would fail later, halfway through an import.
    if (::access(QFile::encodeName(choice.path).constData(), W_OK | X_OK) != 0)
        throw KvError(QStringLiteral("A pasta do programa %1 (%2) não permite gravação. ")
                          .arg(choice.path, why) +
                      whatToDo());
    confFileFor(choice.path, in.installed);

    g_dir = choice.path;
    g_choice = choice;
    g_chosen = true;
    g_installed = in.installed;
}

QString ProgramDir::describe(const Choice& choice)
{
    return QStringLiteral("Pasta do programa: %1 (%2)").arg(choice.path, sourceText(choice.source));
}

QString ProgramDir::describeCurrent()
{
    if (g_chosen)
        return describe(g_choice);
    return QStringLiteral("Pasta do programa: %1").arg(path());
}

bool ProgramDir::isInstalled()
{
    return !QFileInfo::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                              QLatin1StringView(kBuildMarker));
}

QString ProgramDir::confFile()
{
    return confFileFor(path(), g_installed);
}

QString ProgramDir::systemConfFile()
{
    if (!g_systemConf.isEmpty())
        return g_systemConf;
    return QStringLiteral(KVCOB_SYSCONFDIR "/kvcob/kvcob.conf");
}

void ProgramDir::setSystemConfFile(const QString& path)
{
    g_systemConf = path;
}
