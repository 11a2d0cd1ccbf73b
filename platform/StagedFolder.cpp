#include "StagedFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int lock(int fd, int operation)
{
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}
} // namespace

StagedFolder::StagedFolder(const QString& folder, const QString& suffix)
{
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return; // nothing there to clean; the writing itself will say what is wrong
    if (lock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : names) {
            if (!isLeftover(name, suffix))
                continue;
            const QByteArray path = QFile::encodeName(QDir(folder).filePath(name));
            struct stat st {};
            if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_uid == ::geteuid() && ::unlink(path.constData()) == 0)
                ++m_removed;
        }
    }
    // Shared from here on: other runs may write beside this one, none may clean.
    lock(m_fd, LOCK_SH);
}

StagedFolder::~StagedFolder()
{
    if (m_fd >= 0)
        ::close(m_fd); // and with it the lock
}

bool StagedFolder::isLeftover(const QString& name, const QString& suffix)
{
    // "." + at least one character + suffix + "." + six letters or digits
    const qsizetype fixed = 1 + suffix.size() + 1 + 6;
    if (name.size() <= fixed || !name.startsWith(QLatin1Char('.')))
        return false;
    const qsizetype dot = name.size() - 7;
    if (name.at(dot) != QLatin1Char('.') ||
        QStringView(name).sliced(dot - suffix.size(), suffix.size()) != suffix)
        return false;
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}
