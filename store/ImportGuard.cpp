#include "ImportGuard.h"

#include "Database.h"
#include "KvError.h"
#include "PgImportLock.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
struct Held {
    int fd = -1;
    int count = 0;
};

// Locks held by this process, by lock file. flock conflicts between two descriptors of one
// process as well, so a nested guard must reuse the descriptor it already holds.
QHash<QString, Held>& held()
{
    static QHash<QString, Held> locks;
    return locks;
}

QString lockFileOf(const QSqlDatabase& db, ImportGuard::Load load)
{
    switch (load) {
    case ImportGuard::Load::ReturnFile:
        return QDir::cleanPath(db.databaseName()) + QStringLiteral("-retorno");
    case ImportGuard::Load::Mailing:
        return QDir::cleanPath(db.databaseName()) + QStringLiteral("-envio");
    case ImportGuard::Load::BankFile:
        break;
    }
    return QDir::cleanPath(db.databaseName()) + QStringLiteral("-carga");
}
} // namespace

QString ImportGuard::busyMessage()
{
    return QStringLiteral("Outra carga em andamento; tente novamente quando ela terminar.");
}

QString ImportGuard::returnBusyMessage()
{
    return QStringLiteral("Outro arquivo de retorno está sendo processado; tente novamente "
                          "quando ele terminar.");
}

QString ImportGuard::busyMessage(Load load)
{
    switch (load) {
    case Load::ReturnFile:
        return returnBusyMessage();
    case Load::Mailing:
        return QStringLiteral("Outro envio de bloquetos por e-mail está em andamento; tente "
                              "novamente quando ele terminar.");
    case Load::BankFile:
        break;
    }
    return busyMessage();
}

ImportGuard::ImportGuard(const QString& alias, Load load)
{
    const QString busy = busyMessage(load);
    const QSqlDatabase db = Database::connection(alias);
    if (db.driverName() == QStringLiteral("QPSQL")) {
        // Taken again by a nested guard of the same session: the server counts them.
        m_server = std::make_unique<PgImportLock>(db, load);
        return;
    }
    if (db.driverName() != QStringLiteral("QSQLITE"))
        return;
    if (db.databaseName().isEmpty() || db.databaseName() == QStringLiteral(":memory:"))
        return; // a private database has no other program to meet
    const QString path = lockFileOf(db, load);
    auto& locks = held();
    if (auto it = locks.find(path); it != locks.end()) {
        ++it->count;
        m_key = path;
        return;
    }
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0664);
    if (fd < 0) {
        const int err = errno;
        throw KvError(
            QStringLiteral("Não foi possível criar o arquivo de controle da carga %1: "
                           "%2. Verifique se a pasta do banco de dados permite "
                           "gravação.")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(err))));
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            throw KvError(busy);
        throw KvError(
            QStringLiteral("Não foi possível reservar o banco de dados para a carga "
                           "(%1): %2")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(err))));
    }
    locks.insert(path, Held{fd, 1});
    m_key = path;
}

ImportGuard::~ImportGuard()
{
    if (m_key.isEmpty())
        return;
    auto& locks = held();
    auto it = locks.find(m_key);
    if (it == locks.end() || --it->count > 0)
        return;
    // Closing the descriptor releases the lock; the file stays, empty, for the next import.
    ::close(it->fd);
    locks.erase(it);
}
