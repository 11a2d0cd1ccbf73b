#include "SmallDisk.h"

#include <QFile>

#include <sys/mount.h>

SmallDisk::SmallDisk(const QString& size)
{
    const QByteArray options = "size=" + size.toLatin1();
    m_mounted = m_dir.isValid() && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(),
                                           "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill() const
{
    QFile f(m_dir.filePath(QStringLiteral("enchimento")));
    if (!f.open(QIODevice::WriteOnly))
        return;
    const QByteArray chunk(4096, 'x');
    while (f.write(chunk) == chunk.size() && f.flush()) {
    }
}

QString SmallDisk::notMounted()
{
    return QStringLiteral("mounting a small filesystem is not permitted here (needs root)");
}
