#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The payers' e-mail addresses, table Ema: one row per CPF/CNPJ (digits only) with one
// or more addresses separated by ';'. The bank file carries none, so the book is kept
// apart from the titles and outlives every import.
class AddressBook {
public:
    struct Entry {
        QString document; // digits
        QStringList addresses;
    };
    enum class Change { Added, Changed, Same, Removed };

    explicit AddressBook(const QString& alias = QStringLiteral("cobrancaKV"));

    // The digits of a CPF or CNPJ as typed ("123.456.789-09" → "12345678909"); empty when
    // what remains is not 11 or 14 digits or holds anything but digits and punctuation.
    static QString document(const QString& typed);

    QStringList addresses(const QString& document) const;
    // Sets the addresses of a document (no addresses: removes it). Raises KvError for a
    // malformed document or address.
    Change put(const QString& document, const QStringList& addresses);
    QList<Entry> all() const;
    // Entries whose document or addresses hold `text` (without regard to case); all for
    // an empty text.
    QList<Entry> search(const QString& text) const;

private:
    QString m_alias;
};
