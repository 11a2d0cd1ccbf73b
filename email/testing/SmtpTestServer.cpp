#include "SmtpTestServer.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {
// Debian's own interpreter, where its python3-aiosmtpd is (a user's other Python may not
// have it).
QString python()
{
    if (QFile::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}
} // namespace

SmtpTestServer::SmtpTestServer()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("spool"));
}

SmtpTestServer::~SmtpTestServer()
{
    stop();
}

QString SmtpTestServer::missing()
{
    static const QString why = [] {
        const QString py = python();
        if (py.isEmpty())
            return QStringLiteral("python3 não está instalado");
        int rc = -1;
        TestSupport::run(py, {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")}, &rc);
        if (rc != 0)
            return QStringLiteral("o servidor de e-mail dos testes precisa do pacote "
                                  "python3-aiosmtpd");
        if (!TestSupport::haveProgram(QStringLiteral("openssl")))
            return QStringLiteral("o programa openssl não está instalado");
        return QString();
    }();
    return why;
}

bool SmtpTestServer::makeCertificate(QString* why)
{
    if (QFile::exists(caFile()))
        return true;
    int rc = -1;
    TestSupport::run(QStringLiteral("openssl"),
                     {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                      QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                      QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                      QStringLiteral("-out"), caFile(), QStringLiteral("-days"),
                      QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                      QStringLiteral("-addext"),
                      QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")},
                     &rc);
    if (rc != 0 && why)
        *why = QStringLiteral("openssl não fez o certificado de teste");
    return rc == 0;
}

bool SmtpTestServer::start()
{
    return start(Options{}, nullptr);
}

bool SmtpTestServer::start(const Options& options)
{
    return start(options, nullptr);
}

bool SmtpTestServer::start(const Options& options, QString* why)
{
    stop();
    if (!makeCertificate(why))
        return false;
    QStringList args{QStringLiteral(KV_SMTP_SERVER_SCRIPT),
                     QStringLiteral("--spool"),
                     m_dir.filePath(QStringLiteral("spool")),
                     QStringLiteral("--cert"),
                     caFile(),
                     QStringLiteral("--key"),
                     m_dir.filePath(QStringLiteral("key.pem")),
                     QStringLiteral("--port"),
                     QString::number(m_port)};
    for (const QString& a : options.refuse)
        args << QStringLiteral("--refuse") << a;
    if (options.stopAfter >= 0)
        args << QStringLiteral("--stop-after") << QString::number(options.stopAfter);
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(python(), args);
    if (!m_process->waitForStarted(10000)) {
        if (why)
            *why = QStringLiteral("python3 não iniciou");
        return false;
    }
    QByteArray out;
    while (!out.contains('\n') && m_process->waitForReadyRead(20000))
        out += m_process->readAllStandardOutput();
    if (!out.startsWith("READY ")) {
        if (why)
            *why = QStringLiteral("o servidor de e-mail de teste não iniciou: %1")
                       .arg(QString::fromLocal8Bit(m_process->readAllStandardError()));
        stop();
        return false;
    }
    m_port = out.mid(6).trimmed().toInt();
    return true;
}

void SmtpTestServer::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(10000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    m_process.reset();
}

bool SmtpTestServer::running() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QList<SmtpTestServer::Received> SmtpTestServer::received() const
{
    QDir spool(m_dir.filePath(QStringLiteral("spool")));
    QList<Received> out;
    for (const QString& name :
         spool.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        Received r;
        r.raw = TestSupport::readFile(spool.filePath(name));
        const QString rcpt = spool.filePath(name.chopped(4) + QStringLiteral(".rcpt"));
        r.recipients = QString::fromUtf8(TestSupport::readFile(rcpt))
                           .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        out << r;
    }
    return out;
}

QByteArray SmtpTestServer::confSection(const QString& passwordFile, const QByteArray& more) const
{
    if (!passwordFile.isEmpty()) {
        QFile f(passwordFile);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(password().toUtf8() + '\n');
            f.close();
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
    QByteArray s = "[Email]\n";
    s += "Servidor=127.0.0.1\n";
    s += "Porta=" + QByteArray::number(m_port) + '\n';
    s += "Seguranca=starttls\n";
    s += "Usuario=" + user().toUtf8() + '\n';
    if (!passwordFile.isEmpty())
        s += "SenhaArquivo=" + passwordFile.toUtf8() + '\n';
    s += "Remetente=Cobrança Escritório <cobranca@escritorio.com.br>\n";
    s += "CAArquivo=" + caFile().toUtf8() + '\n';
    s += more;
    return s;
}
