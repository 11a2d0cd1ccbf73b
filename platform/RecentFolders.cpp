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

void RecentFolders::remember(const char* kind, const QString& chosen)
{
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    // A folder the user cannot come back to later is no help; nothing is lost by not
    // noting it, so a settings file that cannot be written is passed over in silence.
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(key(kind), folder);
}

void RecentFolders::setFile(const QString& path)
{
    g_file = path;
}
