#include "RecentFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString g_file;

QString file()
{
    if (!g_file.isEmpty())
        return g_file;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kvcob/pastas.conf");
}

QString key(const char* kind)
{
    return QStringLiteral("Pastas/") + QLatin1StringView(kind);
}
} // namespace

QString RecentFolders::start(const char* kind)
{
    const QString folder = QSettings(file(), QSettings::IniFormat).value(key(kind)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QDir::homePath();
}

void RecentFolders::remember(const char* kind, const QString& chosenFile)
{
    if (!chosenFile.isEmpty())
        rememberFolder(kind, QFileInfo(chosenFile).absolutePath());
}

void RecentFolders::rememberFolder(const char* kind, const QString& chosenFolder)
{
    if (chosenFolder.isEmpty())
        return;
    // Nothing is lost by not noting a folder, so a settings file that cannot be written
    // is passed over in silence.
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(key(kind), QFileInfo(chosenFolder).absoluteFilePath());
}

void RecentFolders::setFile(const QString& path)
{
    g_file = path;
}
