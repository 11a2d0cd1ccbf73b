#include "CupsServer.h"

#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QString kSystemServerBin = QStringLiteral("/usr/lib/cups");
const QString kPdfPpd = QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");

QString findTool(const QString& name)
{
    return QStandardPaths::findExecutable(
        name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin")});
}

bool writeFile(const QString& path, const QByteArray& text, QFileDevice::Permissions perms = {})
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
        return false;
    f.close();
    return perms ? QFile::setPermissions(path, perms) : true;
}

bool answers(const QString& socketPath)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un addr{};
    if (size_t(path.size()) >= sizeof(addr.sun_path))
        return false;
    addr.sun_family = AF_UNIX;
    memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return ok;
}

// cupsd as root will not run its filters as root; any other user runs them as itself.
struct Account {
    QByteArray user;
    QByteArray group;
};
Account filterAccount()
{
    if (getuid() == 0)
        return {"lp", "lp"};
    const passwd* pw = getpwuid(getuid());
    const group* gr = getgrgid(getgid());
    return {pw ? QByteArray(pw->pw_name) : QByteArray::number(getuid()),
            gr ? QByteArray(gr->gr_name) : QByteArray::number(getgid())};
}

// The spooler's own file device writes nothing for a single raw document, so raw jobs go
// through this backend: every job lands at the end of the file that the device names.
const QByteArray kAppendBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct kvarquivo "Unknown" "Arquivo de teste"'
  exit 0
fi
out=${DEVICE_URI#kvarquivo:}
if [ -n "$6" ]; then
  n=0
  while [ "$n" -lt "${4:-1}" ]; do cat "$6" >> "$out" || exit 1; n=$((n + 1)); done
else
  cat >> "$out" || exit 1
fi
)";
} // namespace

CupsServer::CupsServer() : m_dir(QStringLiteral("/tmp/kvcups-XXXXXX"))
{
    m_hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
    m_previousServer = qgetenv("CUPS_SERVER");
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
}

CupsServer::~CupsServer()
{
    stop();
    if (m_hadServer)
        qputenv("CUPS_SERVER", m_previousServer);
    else
        qunsetenv("CUPS_SERVER");
}

QString CupsServer::missing()
{
    for (const QString& tool :
         {QStringLiteral("cupsd"), QStringLiteral("lpadmin"), QStringLiteral("lp"),
          QStringLiteral("lpstat"), QStringLiteral("cupsdisable")}) {
        if (findTool(tool).isEmpty())
            return QStringLiteral("%1 is not installed (packages cups, cups-client, cups-bsd)")
                .arg(tool);
    }
    if (!QFileInfo::exists(kSystemServerBin + QStringLiteral("/filter/pdftopdf")) ||
        !QFileInfo::exists(kPdfPpd))
        return QStringLiteral("the PDF filters of cups-filters are not installed");
    return {};
}

QString CupsServer::socketPath() const
{
    return m_dir.filePath(QStringLiteral("cups.sock"));
}

QString CupsServer::log() const
{
    QFile f(m_dir.filePath(QStringLiteral("log/error_log")));
    QString text;
    if (f.open(QIODevice::ReadOnly))
        text = QString::fromLocal8Bit(f.readAll().right(4000));
    return text + QString::fromLocal8Bit(m_cupsd.readAll());
}

bool CupsServer::writeConfiguration(QString* error)
{
    const QString base = m_dir.path();
    // Filters run under another account when the tests run as root: the folder must be
    // open to it, and the raw backend writes into out/.
    QFile::setPermissions(base, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
    QDir d(base);
    for (const QString& sub :
         {QStringLiteral("spool/tmp"), QStringLiteral("log"), QStringLiteral("cache"),
          QStringLiteral("state"), QStringLiteral("ppd"), QStringLiteral("out"),
          QStringLiteral("bin/backend")}) {
        if (!d.mkpath(sub)) {
            *error = QStringLiteral("cannot create %1 in %2").arg(sub, base);
            return false;
        }
    }
    QFile::setPermissions(d.filePath(QStringLiteral("out")), QFileDevice::Permissions(0x7777));

    // The system's filters and programs, with the backends and our appending one.
    const QStringList parts = QDir(kSystemServerBin).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& part : parts) {
        if (part != QStringLiteral("backend"))
            QFile::link(kSystemServerBin + QLatin1Char('/') + part,
                        d.filePath(QStringLiteral("bin/") + part));
    }
    const QStringList backends =
        QDir(kSystemServerBin + QStringLiteral("/backend")).entryList(QDir::Files);
    for (const QString& b : backends)
        QFile::link(kSystemServerBin + QStringLiteral("/backend/") + b,
                    d.filePath(QStringLiteral("bin/backend/") + b));
    const QFileDevice::Permissions exec = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                          QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther;

    const Account account = filterAccount();
    auto fill = [&](QByteArray text) {
        return text.replace("@BASE@", QFile::encodeName(base))
            .replace("@USER@", account.user)
            .replace("@GROUP@", account.group);
    };
    const QByteArray files = fill(R"(FileDevice Yes
ServerRoot @BASE@
ServerBin @BASE@/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
RequestRoot @BASE@/spool
TempDir @BASE@/spool/tmp
CacheDir @BASE@/cache
StateDir @BASE@/state
AccessLog @BASE@/log/access_log
ErrorLog @BASE@/log/error_log
PageLog @BASE@/log/page_log
Printcap @BASE@/printcap
User @USER@
Group @GROUP@
SystemGroup root
Sandboxing Relaxed
)");
    // Only the socket in the test's folder reaches it, so no operation asks for a
    // password. MaxCopies is low so that a test can have a job refused by the server.
    const QByteArray conf = fill(R"(Listen @BASE@/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
DefaultShared No
WebInterface No
LogLevel warn
ErrorPolicy abort-job
MaxCopies 50
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)");
    if (!writeFile(d.filePath(QStringLiteral("cups-files.conf")), files) ||
        !writeFile(d.filePath(QStringLiteral("cupsd.conf")), conf) ||
        !writeFile(d.filePath(QStringLiteral("raw.types")), "application/octet-stream\n") ||
        !writeFile(d.filePath(QStringLiteral("raw.convs")),
                   "application/octet-stream application/vnd.cups-raw 0 -\n") ||
        !writeFile(d.filePath(QStringLiteral("bin/backend/kvarquivo")), kAppendBackend, exec)) {
        *error = QStringLiteral("cannot write the configuration in %1").arg(base);
        return false;
    }
    return true;
}

bool CupsServer::start(QString* error)
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    if (!m_configured && !writeConfiguration(error))
        return false;
    m_configured = true;
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    m_cupsd.start(findTool(QStringLiteral("cupsd")),
                  {QStringLiteral("-f"), QStringLiteral("-c"),
                   m_dir.filePath(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                   m_dir.filePath(QStringLiteral("cups-files.conf"))});
    if (!m_cupsd.waitForStarted()) {
        *error = QStringLiteral("cupsd did not start: %1").arg(m_cupsd.errorString());
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (answers(socketPath()))
            return true;
        // Also the pause between two tries: a configuration it refuses ends it at once.
        if (m_cupsd.waitForFinished(50)) {
            *error = QStringLiteral("cupsd ended at once:\n%1").arg(log());
            return false;
        }
    }
    *error = QStringLiteral("cupsd did not answer within 20 s:\n%1").arg(log());
    stop();
    return false;
}

void CupsServer::stop()
{
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(10000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }
}

bool CupsServer::isRunning() const
{
    return m_cupsd.state() == QProcess::Running;
}

bool CupsServer::addQueue(const QString& name, Kind kind, QString* error)
{
    QStringList args{QStringLiteral("-p"), name, QStringLiteral("-E")};
    if (kind == Kind::Raw)
        args << QStringLiteral("-v") << QStringLiteral("kvarquivo:") + outputPath(name)
             << QStringLiteral("-m") << QStringLiteral("raw");
    else
        args << QStringLiteral("-v") << QStringLiteral("file://") + outputPath(name)
             << QStringLiteral("-P") << kPdfPpd << QStringLiteral("-o")
             << QStringLiteral("PageSize=A4");
    QString out;
    QString err;
    if (tool(QStringLiteral("lpadmin"), args, &out, &err) != 0) {
        *error = QStringLiteral("lpadmin %1: %2%3").arg(args.join(QLatin1Char(' ')), out, err);
        return false;
    }
    return true;
}

bool CupsServer::startOrSkip(const QList<Queue>& queues, const QStringList& programs)
{
    QString why = missing();
    for (const QString& program : programs) {
        if (why.isEmpty() && !TestSupport::haveProgram(program))
            why = QStringLiteral("%1 is not installed").arg(program);
    }
    if (!why.isEmpty()) {
        TestSupport::skipOrFail(why, __FILE__, __LINE__);
        return false;
    }
    QString error;
    bool ok = start(&error);
    for (const Queue& q : queues) {
        if (ok)
            ok = addQueue(q.name, q.kind, &error);
    }
    if (!ok)
        QTest::qFail(qPrintable(QStringLiteral("CUPS is installed but did not serve: ") + error),
                     __FILE__, __LINE__);
    return ok;
}

QString CupsServer::outputPath(const QString& queue) const
{
    return m_dir.filePath(QStringLiteral("out/%1.out").arg(queue));
}

QByteArray CupsServer::output(const QString& queue) const
{
    QFile f(outputPath(queue));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void CupsServer::clearOutput(const QString& queue)
{
    QFile::remove(outputPath(queue));
}

bool CupsServer::waitForJobs(const QString& queue, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QString out;
        if (tool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}, &out) == 0 &&
            out.trimmed().isEmpty())
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

int CupsServer::jobCount(const QString& queue) const
{
    QString out;
    tool(QStringLiteral("lpstat"),
         {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue}, &out);
    return int(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

int CupsServer::tool(const QString& program, const QStringList& args, QString* output,
                     QString* errors) const
{
    QProcess p;
    p.start(findTool(program), args);
    if (!p.waitForStarted() || !p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
