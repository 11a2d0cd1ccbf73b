#include "PortChannel.h"

#include "CupsQueues.h"
#include "FileAdvice.h"
#include "KvError.h"
#include "ProgramDir.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr int kLpTimeoutMs = 120000;

QString configuredTarget(const QString& name, bool* found)
{
    *found = false;
    const QString confPath = ProgramDir::confFile();
    if (!QFileInfo::exists(confPath))
        return {};
    QSettings conf(confPath, QSettings::IniFormat);
    const QStringList groups = conf.childGroups();
    for (const QString& group : groups) {
        if (group.compare(QStringLiteral("Portas"), Qt::CaseInsensitive) != 0)
            continue;
        conf.beginGroup(group);
        const QStringList keys = conf.childKeys();
        for (const QString& key : keys) {
            if (key.compare(name.trimmed(), Qt::CaseInsensitive) != 0)
                continue;
            const QVariant v = conf.value(key);
            *found = true;
            // QSettings splits a value at its commas; a path may hold one.
            return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                        : v.toString();
        }
        conf.endGroup();
    }
    return {};
}

[[noreturn]] void raiseErrno(int errorNumber, const QString& advice = QString())
{
    throw KvError(PortChannel::ioErrorText(errorNumber), advice);
}
} // namespace

PortChannel::PortChannel(QString name) : m_name(std::move(name)), m_target(resolve(m_name)) {}

PortChannel::~PortChannel()
{
    close();
}

PortChannel::Target PortChannel::resolve(const QString& name)
{
    const QString cups = QStringLiteral("cups:");
    bool found = false;
    QString target = configuredTarget(name, &found);
    if (!found) {
        if (name.trimmed().compare(QStringLiteral("LPT1"), Qt::CaseInsensitive) == 0)
            return {Target::Kind::Device, QStringLiteral("/dev/lp0")};
        // kvcob-lote names a queue as the configuration does.
        if (name.startsWith(cups, Qt::CaseInsensitive))
            return {Target::Kind::CupsQueue, name.mid(cups.size()).trimmed()};
        return {Target::Kind::File, name};
    }
    target = target.trimmed();
    if (target.startsWith(cups, Qt::CaseInsensitive))
        return {Target::Kind::CupsQueue, target.mid(cups.size()).trimmed()};
    return {Target::Kind::Device, target};
}

QString PortChannel::ioErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENOTDIR:
    case ENAMETOOLONG:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(errorNumber);
    }
}

void PortChannel::open()
{
    close();
    if (m_target.path.isEmpty()) {
        throw KvError(QStringLiteral("A porta %1 não está configurada corretamente em kvcob.conf")
                          .arg(m_name));
    }
    if (m_target.kind == Target::Kind::CupsQueue) {
        if (QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
            throw KvError(ioErrorText(ENOENT) + QStringLiteral(" (lp)"));
        // The run waits on the user between forms: a queue that would hold or refuse the
        // first one is said before anything is composed.
        m_target.path = CupsQueues::checkReady(m_target.path).name;
        m_cupsOpen = true;
        return;
    }
    if (m_target.kind == Target::Kind::File) {
        const QFileInfo info(m_target.path);
        if (!info.exists() || info.isFile()) {
            // Through a link to the file it names, which keeps the link.
            openStaged(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
            return;
        }
    }
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_TRUNC;
    const QByteArray path = QFile::encodeName(m_target.path);
    int fd = -1;
    do {
        fd = ::open(path.constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        raiseErrno(error, advice(error, false));
    }
    m_fd = fd;
}

QString PortChannel::advice(int errorNumber, bool writing) const
{
    const QString target = m_target.path;
    if (m_target.kind == Target::Kind::File)
        return FileAdvice::cannotWrite(target);
    const QString conf = QStringLiteral("ajuste [Portas] em kvcob.conf (%1)")
                             .arg(ProgramDir::file(QStringLiteral("kvcob.conf")));
    if (!writing && (errorNumber == ENOENT || errorNumber == ENXIO || errorNumber == ENODEV))
        return QStringLiteral("A porta %1 aponta para %2, que não existe; ligue a impressora "
                              "ou %3.")
            .arg(m_name, target, conf);
    if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
        return QStringLiteral("Sem permissão para gravar na porta %1 (%2); peça acesso à "
                              "impressora ou %3.")
            .arg(m_name, target, conf);
    return QStringLiteral("A impressora da porta %1 (%2) não aceitou os dados; verifique se "
                          "está ligada, com papel e sem erro, e imprima de novo.")
        .arg(m_name, target);
}

void PortChannel::openStaged(const QString& finalPath)
{
    const QFileInfo info(finalPath);
    QByteArray templ = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                         info.fileName() + QStringLiteral(".XXXXXX"));
    int fd = -1;
    do {
        fd = ::mkostemp(templ.data(), O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        raiseErrno(error, FileAdvice::cannotWrite(finalPath));
    }
    // The permissions a new file would get, or those of the file it replaces.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(QFile::encodeName(finalPath).constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd, mode);
    m_fd = fd;
    m_stagedPath = QFile::decodeName(templ);
    m_finalPath = finalPath;
}

void PortChannel::finish()
{
    if (m_stagedPath.isEmpty() || m_fd < 0)
        return;
    // On the disk before it takes the old file's place, or a crash could leave neither.
    if (::fsync(m_fd) != 0)
        raiseErrno(errno);
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(QFile::encodeName(std::exchange(m_stagedPath, QString())).constData());
        raiseErrno(err);
    }
    if (::rename(QFile::encodeName(m_stagedPath).constData(),
                 QFile::encodeName(m_finalPath).constData()) != 0) {
        const int err = errno;
        ::unlink(QFile::encodeName(m_stagedPath).constData());
        m_stagedPath.clear();
        raiseErrno(err);
    }
    m_stagedPath.clear();
}

void PortChannel::writeAll(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            raiseErrno(error, advice(error, true));
        }
        data += n;
        left -= n;
    }
}

void PortChannel::writeLine(const QByteArray& bytes)
{
    if (!isOpen())
        raiseErrno(EBADF);
    const QByteArray line = bytes + "\r\n";
    if (m_cupsOpen)
        m_pending += line;
    else
        writeAll(line);
}

void PortChannel::deliver()
{
    if (!isOpen())
        raiseErrno(EBADF);
    if (m_cupsOpen && !m_pending.isEmpty())
        submitJob();
}

void PortChannel::submitJob()
{
    const QByteArray job = std::exchange(m_pending, QByteArray());
    QProcess lp;
    lp.start(QStringLiteral("lp"),
             {QStringLiteral("-d"), m_target.path, QStringLiteral("-o"), QStringLiteral("raw")});
    if (!lp.waitForStarted())
        throw KvError(ioErrorText(ENOENT) + QStringLiteral(" (lp)"));
    lp.write(job);
    lp.closeWriteChannel();
    if (!lp.waitForFinished(kLpTimeoutMs)) {
        lp.kill();
        lp.waitForFinished();
        throw KvError(ioErrorText(ETIMEDOUT) + QStringLiteral(" (lp)"));
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        const QString detail = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
        throw KvError(ioErrorText(EIO) + (detail.isEmpty() ? QStringLiteral(" (lp)")
                                                           : QStringLiteral(" (%1)").arg(detail)),
                      QStringLiteral("A fila %1 recusou a impressão: nenhum bloqueto deste envio "
                                     "foi impresso. Verifique a fila e imprima de novo a partir "
                                     "do bloqueto marcado.")
                          .arg(m_target.path));
    }
}

void PortChannel::close() noexcept
{
    if (m_fd >= 0) {
        // Lines already went out one by one; a failure reported here changes nothing.
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_stagedPath.isEmpty()) {
        // A run that did not finish: the file of before stays as it was.
        ::unlink(QFile::encodeName(m_stagedPath).constData());
        m_stagedPath.clear();
    }
    m_cupsOpen = false;
    m_pending.clear();
}
