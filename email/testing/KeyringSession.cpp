#include "KeyringSession.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

namespace {
QString find(const QString& name)
{
    return QStandardPaths::findExecutable(name);
}
} // namespace

KeyringSession::KeyringSession() = default;

KeyringSession::~KeyringSession()
{
    stop();
}

QString KeyringSession::missing()
{
    if (find(QStringLiteral("dbus-daemon")).isEmpty())
        return QStringLiteral("dbus-daemon não está instalado (pacote dbus-daemon)");
    if (find(QStringLiteral("gnome-keyring-daemon")).isEmpty())
        return QStringLiteral("gnome-keyring-daemon não está instalado (pacote gnome-keyring)");
    return {};
}

bool KeyringSession::start(QString* why)
{
    stop();
    const QString home = m_dir.path();
    QDir(home).mkpath(QStringLiteral("data"));
    QDir(home).mkpath(QStringLiteral("run"));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("run")));
    env.remove(QStringLiteral("DISPLAY"));

    m_bus = std::make_unique<QProcess>();
    m_bus->setProcessEnvironment(env);
    m_bus->start(find(QStringLiteral("dbus-daemon")),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1"),
                  QStringLiteral("--address=unix:dir=") + home});
    QByteArray out;
    while (!out.contains('\n') && m_bus->waitForReadyRead(10000))
        out += m_bus->readAllStandardOutput();
    m_address = QString::fromUtf8(out).trimmed();
    if (m_address.isEmpty()) {
        if (why)
            *why = QStringLiteral("dbus-daemon não iniciou: %1")
                       .arg(QString::fromLocal8Bit(m_bus->readAllStandardError()));
        stop();
        return false;
    }
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);

    // The keyring daemon forks into the background and stays on the bus until the bus
    // goes; --unlock reads the new login keyring's password from its input.
    QProcess keyring;
    keyring.setProcessEnvironment(env);
    keyring.start(find(QStringLiteral("gnome-keyring-daemon")),
                  {QStringLiteral("--unlock"), QStringLiteral("--components=secrets"),
                   QStringLiteral("--daemonize")});
    keyring.write("chaveiro-de-teste");
    keyring.closeWriteChannel();
    if (!keyring.waitForFinished(20000) || keyring.exitCode() != 0) {
        if (why)
            *why = QStringLiteral("gnome-keyring-daemon não iniciou: %1")
                       .arg(QString::fromLocal8Bit(keyring.readAllStandardError()));
        stop();
        return false;
    }
    m_hadAddress = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
    m_previousAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    return true;
}

void KeyringSession::stop()
{
    if (!m_bus)
        return;
    if (!m_address.isEmpty()) {
        if (m_hadAddress)
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
        else
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    // The keyring daemon leaves when its bus goes away.
    m_bus->terminate();
    if (!m_bus->waitForFinished(5000)) {
        m_bus->kill();
        m_bus->waitForFinished(5000);
    }
    m_bus.reset();
    m_address.clear();
}
