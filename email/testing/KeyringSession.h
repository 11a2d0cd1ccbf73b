#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A desktop session's keyring for one test: a private session bus (dbus-daemon) and a
// keyring daemon (gnome-keyring-daemon, its Secret Service only) unlocked with a throwaway
// password, its keyrings in a temporary folder. While it runs, this process's
// DBUS_SESSION_BUS_ADDRESS points at its bus; the previous value comes back when it stops.
class KeyringSession {
public:
    KeyringSession();
    ~KeyringSession();

    // Why it cannot run here (a program missing); empty when it can.
    static QString missing();
    // Starts both; false with `why` when either did not start.
    bool start(QString* why);
    void stop();

    QString busAddress() const { return m_address; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_bus;
    QString m_address;
    QByteArray m_previousAddress;
    bool m_hadAddress = false;
};
