#include "AddressImport.h"

#include "AddressBook.h"
#include "Cp1252.h"
#include "Database.h"
#include "KvError.h"
#include "MailAddress.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QStringDecoder>

namespace {
// The fields of one line: ';' between them, a field in double quotes may hold ';' and
// doubled quotes.
QStringList fields(const QString& line)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() &&
                line.at(i + 1) == QLatin1Char('"')) {
                cur += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}
} // namespace

QString AddressImport::decode(const QByteArray& bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(b);
    if (!utf8.hasError())
        return text;
    return Cp1252::decode(b);
}

AddressImport::Result AddressImport::load(AddressBook& book, const QByteArray& bytes,
                                          const QString& alias)
{
    Result r;
    const QStringList lines = decode(bytes).split(QLatin1Char('\n'));
    QSqlDatabase db = Database::connection(alias);
    const bool inTransaction = db.transaction();
    try {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines.at(i);
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (line.trimmed().isEmpty())
                continue;
            const QStringList f = fields(line);
            const QString doc = AddressBook::document(f.value(0));
            QStringList addresses;
            QStringList bad;
            for (qsizetype k = 1; k < f.size(); ++k)
                addresses << MailAddress::split(f.at(k), &bad);
            // The header: the first line, unless it already reads as data.
            if (i == 0 && (doc.isEmpty() || addresses.isEmpty()))
                continue;
            const int number = int(i) + 1;
            if (doc.isEmpty()) {
                r.refused.append(
                    {number, line,
                     QStringLiteral("CPF/CNPJ inválido: \"%1\"").arg(f.value(0).trimmed())});
                continue;
            }
            if (!bad.isEmpty()) {
                r.refused.append({number, line,
                                  QStringLiteral("endereço de e-mail inválido: \"%1\"")
                                      .arg(bad.join(QStringLiteral("\", \"")))});
                continue;
            }
            if (addresses.isEmpty()) {
                r.refused.append({number, line, QStringLiteral("sem endereço de e-mail")});
                continue;
            }
            switch (book.put(doc, addresses)) {
            case AddressBook::Change::Added:
                ++r.added;
                break;
            case AddressBook::Change::Changed:
                ++r.changed;
                break;
            default:
                ++r.same;
                break;
            }
        }
    } catch (...) {
        if (inTransaction)
            db.rollback();
        throw;
    }
    if (inTransaction && !db.commit())
        Database::raise(db, db.lastError());
    return r;
}

AddressImport::Result AddressImport::loadFile(AddressBook& book, const QString& path,
                                              const QString& alias)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Não foi possível ler o arquivo de endereços %1: %2")
                          .arg(QDir::toNativeSeparators(path), f.errorString()));
    return load(book, f.readAll(), alias);
}
