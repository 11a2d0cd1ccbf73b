#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// E-mail addresses as the address book keeps them and as message headers carry them.
// Only plain ASCII addresses are taken (local part and domain), which every server
// delivers; anything that could break a header (line breaks, '<', ',', ';', blanks) is
// refused, so that an address typed in a CSV can never add a header of its own.
namespace MailAddress {

struct Named {
    QString name;    // may be empty
    QString address; // empty: not an address
    // "Nome <endereco>", or the bare address without a name.
    QString toString() const;
    // The header form: the name as an RFC 2047 encoded word when it is not plain ASCII.
    QByteArray header() const;
};

// Whether `address` is one plain address ("ana.silva@escritorio.com.br").
bool isValid(const QString& address);
// "Nome <endereco>" or a bare address; address empty when malformed.
Named parseNamed(const QString& text);
// The addresses of a list separated by ';' (or ','), trimmed, empty items dropped. The
// malformed ones go to *bad when given.
QStringList split(const QString& list, QStringList* bad = nullptr);
// A header's text as an RFC 2047 encoded word (UTF-8, base64) when it is not plain
// printable ASCII; a long text becomes several words separated by blanks.
QByteArray encodeWord(const QString& text);

} // namespace MailAddress
