#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class AddressBook;

// Loads the address book from a CSV file "cpf_cnpj;email": UTF-8 (a byte-order mark
// allowed) or Windows-1252, a header line, the document with or without its dots, dashes
// and slash, one or more addresses (in the same field separated by ',' or in further
// fields). A line with a malformed document or address is refused with its number and
// the others are loaded; loading is all in one transaction.
class AddressImport {
public:
    struct Refused {
        int line = 0; // 1-based, as an editor numbers them
        QString text; // the line as read
        QString why;
    };
    struct Result {
        int added = 0;
        int changed = 0;
        int same = 0;
        QList<Refused> refused;
    };

    // The text of the file's bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
    static QString decode(const QByteArray& bytes);
    static Result load(AddressBook& book, const QByteArray& bytes, const QString& alias);
    // Reads the file; raises KvError when it cannot be read.
    static Result loadFile(AddressBook& book, const QString& path, const QString& alias);
};
