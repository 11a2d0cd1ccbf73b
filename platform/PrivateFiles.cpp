#include "PrivateFiles.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

void PrivateFiles::restrictProcess()
{
    const mode_t old = ::umask(077);
    ::umask(old | 077);
}

unsigned PrivateFiles::umaskBits()
{
    // There is no reading the mask without setting it; it goes straight back.
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mask;
}

void PrivateFiles::tighten(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || st.st_uid != ::geteuid())
        return;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return;
    const mode_t wanted = st.st_mode & 07777 & ~mode_t(umaskBits());
    if (wanted != (st.st_mode & 07777))
        ::chmod(name.constData(), wanted);
}
