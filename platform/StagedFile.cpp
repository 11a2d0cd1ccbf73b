#include "StagedFile.h"

#include "FileAdvice.h"
#include "KvError.h"
#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
// Attempts at a free temporary name before giving up.
constexpr int kNameAttempts = 100;

QString randomSuffix()
{
    static const char digits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString out;
    for (int i = 0; i < 6; ++i)
        out += QLatin1Char(digits[QRandomGenerator::global()->bounded(int(sizeof digits) - 1)]);
    return out;
}

QString advice(const QString& finalPath, int errorNumber)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(finalPath).absolutePath());
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("O disco da pasta %1 está cheio: libere espaço e grave de novo.")
            .arg(folder);
    case EFBIG:
        return QStringLiteral("O arquivo passou do tamanho que o sistema permite gravar; "
                              "verifique o limite de tamanho de arquivo da sessão.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("A pasta %1 não existe mais; crie a pasta ou escolha outra e "
                              "grave de novo.")
            .arg(folder);
    default:
        return FileAdvice::cannotWrite(finalPath);
    }
}
} // namespace

// Writes straight to the file descriptor and keeps the system's reason of the first
// failure, which a file device turns into text.
class StagedFile::Device final : public QIODevice {
public:
    explicit Device(int fd) : m_fd(fd) { QIODevice::open(WriteOnly | Unbuffered); }
    ~Device() override { closeFd(); }

    int failure() const { return m_errno; }
    // Closes the descriptor; false (and the reason kept) when the system reports a
    // failure there, as a file system that writes late may.
    bool closeFd()
    {
        if (m_fd < 0)
            return true;
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0 && m_errno == 0 && errno != EINTR)
            m_errno = errno;
        return m_errno == 0;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_errno != 0 || m_fd < 0)
            return -1;
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_errno = n < 0 ? errno : EIO;
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int m_fd;
    int m_errno = 0;
};

StagedFile::StagedFile(QString finalPath) : m_final(std::move(finalPath)) {}

StagedFile::~StagedFile()
{
    discard();
}

void StagedFile::raise(const QString& finalPath, int errorNumber)
{
    throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                      .arg(QDir::toNativeSeparators(finalPath),
                           QString::fromLocal8Bit(std::strerror(errorNumber))),
                  advice(finalPath, errorNumber));
}

QIODevice& StagedFile::open()
{
    discard();
    const QFileInfo info(m_final);
    const QString stem =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.');
    int fd = -1;
    QString staged;
    for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
        staged = stem + randomSuffix();
        // 0666 as any new file: the process's umask takes what it takes off (PrivateFiles).
        fd = ::open(QFile::encodeName(staged).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            raise(m_final, errno);
    }
    if (fd < 0)
        raise(m_final, EEXIST);
    struct stat old {};
    if (::stat(QFile::encodeName(m_final).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777 & ~mode_t(PrivateFiles::umaskBits()));
    m_staged = staged;
    m_device = std::make_unique<Device>(fd);
    return *m_device;
}

void StagedFile::commit()
{
    if (m_staged.isEmpty() || !m_device)
        raise(m_final, EBADF);
    if (!m_device->closeFd()) {
        const int error = m_device->failure();
        discard();
        raise(m_final, error);
    }
    if (::rename(QFile::encodeName(m_staged).constData(), QFile::encodeName(m_final).constData()) !=
        0) {
        const int error = errno;
        discard();
        raise(m_final, error);
    }
    m_staged.clear();
}

int StagedFile::failure() const
{
    return m_device ? m_device->failure() : 0;
}

void StagedFile::discard() noexcept
{
    m_device.reset();
    if (!m_staged.isEmpty()) {
        ::unlink(QFile::encodeName(m_staged).constData());
        m_staged.clear();
    }
}

bool StagedFile::syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
#ifdef __linux__
    const bool ok = ::syncfs(fd) == 0;
#else
    ::sync();
    const bool ok = true;
#endif
    ::close(fd);
    return ok;
}
