#include "PgTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::unique_ptr<PgTestServer> g_server;
bool g_tried = false;
bool g_durable = false;
QString g_why;

// The server binaries: KVCOB_PG_BIN, else the newest of Debian's versioned folders.
QString findBinaries()
{
    const QString env = qEnvironmentVariable("KVCOB_PG_BIN");
    if (!env.isEmpty())
        return QFileInfo::exists(env + QStringLiteral("/initdb")) ? env : QString();
    QDir base(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = base.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = base.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo::exists(bin + QStringLiteral("/initdb")) &&
            QFileInfo::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

// A TCP port nobody listens on now. The server itself listens only on its private socket
// (named after the port), so a port taken meanwhile cannot clash either.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof(addr);
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(s);
    return port;
}

bool userExists(const char* name)
{
    return ::getpwnam(name) != nullptr;
}

QString fixtureBase()
{
    // Under root the folder must be reachable by the server's account: /tmp, never a
    // private temporary folder of root's.
    return ::geteuid() == 0 ? QStringLiteral("/tmp") : QDir::tempPath();
}
} // namespace

QString PgTestServer::missing()
{
    if (findBinaries().isEmpty())
        return QStringLiteral("PostgreSQL não está instalado (initdb/pg_ctl não encontrados): "
                              "só os casos do servidor foram pulados");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("O driver QPSQL do Qt não está instalado (libqt6sql6-psql): "
                              "só os casos do servidor foram pulados");
    return {};
}

PgTestServer* PgTestServer::instance()
{
    if (!g_tried) {
        g_tried = true;
        std::unique_ptr<PgTestServer> server(new PgTestServer);
        if (server->create(&g_why)) {
            g_server = std::move(server);
            qAddPostRoutine(&PgTestServer::shutdown);
        }
    }
    return g_server.get();
}

QString PgTestServer::skipReason()
{
    return g_why;
}

void PgTestServer::setDurable(bool durable)
{
    g_durable = durable;
}

void PgTestServer::shutdown()
{
    g_server.reset();
}

PgTestServer::~PgTestServer()
{
    stop();
}

QByteArray PgTestServer::confSection(const QByteArray& section) const
{
    return "[" + section + "]\nDriver=QPSQL\nHost=" + socketDir().toUtf8() +
           "\nPort=" + QByteArray::number(m_port) + "\nDatabase=" + database().toUtf8() +
           "\nUser=" + user().toUtf8() + "\n";
}

bool PgTestServer::runAsOwner(const QString& program, const QStringList& args, QString* output,
                              int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // The server's own tools must not pick up the caller's settings or language.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys()) {
        if (key.startsWith(QStringLiteral("PG")))
            env.remove(key);
    }
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    if (m_dir)
        p.setWorkingDirectory(m_dir->path());
    if (m_owner.isEmpty())
        p.start(program, args);
    else
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), m_owner, QStringLiteral("--"), program} + args);
    const bool finished = p.waitForStarted() && p.waitForFinished(timeoutMs);
    if (!finished)
        p.kill();
    if (output)
        *output = QString::fromLocal8Bit(p.readAll()).trimmed();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgTestServer::create(QString* why)
{
    *why = missing();
    if (!why->isEmpty())
        return false;
    m_bin = findBinaries();
    const bool root = ::geteuid() == 0;
    if (root) {
        // The server refuses to run as root: use the server's own account, or a test one.
        if (userExists("postgres")) {
            m_owner = QStringLiteral("postgres");
        } else {
            if (!userExists("kvcobtest"))
                QProcess::execute(QStringLiteral("useradd"),
                                  {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                   QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                   QStringLiteral("kvcobtest")});
            if (!userExists("kvcobtest")) {
                *why = QStringLiteral("não foi possível criar o usuário kvcobtest para o servidor");
                return false;
            }
            m_owner = QStringLiteral("kvcobtest");
        }
    }
    removeOrphans();
    m_dir = std::make_unique<QTemporaryDir>(fixtureBase() + QStringLiteral("/kvcob-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        *why = QStringLiteral("não foi possível criar a pasta temporária do servidor");
        return false;
    }
    QDir(m_dir->path()).mkdir(QStringLiteral("sock"));
    QFile owner(m_dir->filePath(QStringLiteral("tester.pid")));
    if (owner.open(QIODevice::WriteOnly))
        owner.write(QByteArray::number(QCoreApplication::applicationPid()));
    owner.close();
    if (root) {
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"), m_owner + QLatin1Char(':'), m_dir->path()});
    }
    QString out;
    if (!runAsOwner(m_bin + QStringLiteral("/initdb"),
                    {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), user(),
                     QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                     QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("-N")},
                    &out)) {
        *why = QStringLiteral("initdb falhou: ") + out.right(400);
        return false;
    }
    m_port = freePort();
    QFile conf(dataDir() + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append)) {
        *why = QStringLiteral("não foi possível configurar o servidor de teste");
        return false;
    }
    conf.write("\nport = " + QByteArray::number(m_port) + "\nunix_socket_directories = '" +
               socketDir().toUtf8() +
               "'\nlisten_addresses = ''\nmax_connections = 30\nlog_min_messages = warning\n");
    // A throwaway server: durability is not wanted, speed is.
    if (!g_durable)
        conf.write("fsync = off\nsynchronous_commit = off\nfull_page_writes = off\n");
    conf.close();
    if (!start()) {
        QFile log(m_dir->filePath(QStringLiteral("server.log")));
        log.open(QIODevice::ReadOnly);
        *why = QStringLiteral("o servidor de teste não iniciou: ") +
               QString::fromLocal8Bit(log.readAll()).right(400);
        return false;
    }
    if (!runAsOwner(m_bin + QStringLiteral("/createdb"),
                    {QStringLiteral("-h"), socketDir(), QStringLiteral("-p"),
                     QString::number(m_port), QStringLiteral("-U"), user(), database()},
                    &out)) {
        *why = QStringLiteral("createdb falhou: ") + out.right(400);
        stop();
        return false;
    }
    return true;
}

void PgTestServer::removeOrphans()
{
    // A test executable that crashed could not stop its server: the next one does, once the
    // process that started it is gone.
    QDir base(fixtureBase());
    for (const QString& name :
         base.entryList({QStringLiteral("kvcob-pg-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile pidFile(base.filePath(name + QStringLiteral("/tester.pid")));
        if (!pidFile.open(QIODevice::ReadOnly))
            continue;
        const qint64 pid = pidFile.readAll().trimmed().toLongLong();
        if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QString data = base.filePath(name + QStringLiteral("/data"));
        QString out;
        if (QFileInfo::exists(data + QStringLiteral("/postmaster.pid"))) {
            runAsOwner(m_bin + QStringLiteral("/pg_ctl"),
                       {QStringLiteral("-D"), data, QStringLiteral("-m"),
                        QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
                       &out);
        }
        QDir(base.filePath(name)).removeRecursively();
    }
}

bool PgTestServer::start()
{
    if (m_running)
        return true;
    QString out;
    m_running = runAsOwner(m_bin + QStringLiteral("/pg_ctl"),
                           {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                            m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                            QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                           &out);
    return m_running;
}

bool PgTestServer::stop()
{
    if (!m_running)
        return true;
    QString out;
    const bool stopped =
        runAsOwner(m_bin + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("fast"),
                    QStringLiteral("-w"), QStringLiteral("stop")},
                   &out);
    if (stopped)
        m_running = false;
    return stopped;
}
