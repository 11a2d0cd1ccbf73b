#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_dir;
}

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
}
