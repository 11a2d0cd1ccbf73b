#pragma once

#include <QString>
#include <optional>

// The desktop's keyring (the Secret Service of the session, through libsecret), where a
// clerk may keep the mail server's password instead of in a file: one entry per server
// and user, asked for only where a session bus runs.
namespace MailKeyring {
// Whether this session has a bus on which a keyring could answer.
bool available();
// The password kept for `user` at `server`; none when the keyring holds none or no
// keyring runs. Raises KvError when the keyring answers with an error (a keyring that
// stays locked, a service that fails).
std::optional<QString> lookup(const QString& server, const QString& user);
// Keeps the password for `user` at `server`, replacing an older one. Raises KvError.
void store(const QString& server, const QString& user, const QString& password);
} // namespace MailKeyring
