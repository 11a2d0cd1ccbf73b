#include "AddressBook.h"

#include "DbQuery.h"
#include "EmaStatements.h"
#include "KvError.h"
#include "MailAddress.h"

#include <QRegularExpression>
#include <QSet>

namespace {
QStringList splitStored(const QString& stored)
{
    return MailAddress::split(stored);
}

QList<AddressBook::Entry> entriesOf(DbQuery& q)
{
    QList<AddressBook::Entry> out;
    for (q.open(); !q.eof(); q.next())
        out.append({q.asString(QStringLiteral("EmaCpfCgc")).trimmed(),
                    splitStored(q.asString(QStringLiteral("EmaEnd")))});
    q.close();
    return out;
}
} // namespace

AddressBook::AddressBook(const QString& alias) : m_alias(alias) {}

QString AddressBook::document(const QString& typed)
{
    static const QRegularExpression allowed(QStringLiteral("^[0-9 ./-]+$"));
    const QString t = typed.trimmed();
    if (!allowed.match(t).hasMatch())
        return {};
    QString digits;
    for (QChar c : t) {
        if (c.isDigit())
            digits += c;
    }
    return digits.size() == 11 || digits.size() == 14 ? digits : QString();
}

QStringList AddressBook::addresses(const QString& doc) const
{
    const QString d = document(doc);
    if (d.isEmpty())
        return {};
    // The bank's file pads a CPF to 14 digits with zeros ("00012345678909") where the
    // office's spreadsheet has its 11: each form finds the other. Its own form first, as
    // a CNPJ may also begin with zeros.
    QStringList forms{d};
    if (d.size() == 14 && d.startsWith(QStringLiteral("000")))
        forms << d.right(11);
    else if (d.size() == 11)
        forms << QStringLiteral("000") + d;
    for (const QString& form : forms) {
        DbQuery q(m_alias);
        q.setStatement(EmaStatements::find());
        q.setParam(QStringLiteral("Cpf"), form);
        q.open();
        const QStringList out =
            q.eof() ? QStringList() : splitStored(q.asString(QStringLiteral("EmaEnd")));
        q.close();
        if (!out.isEmpty())
            return out;
    }
    return {};
}

AddressBook::Change AddressBook::put(const QString& typed, const QStringList& list)
{
    const QString d = document(typed);
    if (d.isEmpty())
        throw KvError(QStringLiteral("CPF/CNPJ inválido: \"%1\".").arg(typed),
                      QStringLiteral("Informe os 11 dígitos do CPF ou os 14 do CNPJ."));
    QStringList clean;
    for (const QString& a : list) {
        const QString t = a.trimmed();
        if (t.isEmpty())
            continue;
        if (!MailAddress::isValid(t))
            throw KvError(QStringLiteral("Endereço de e-mail inválido: \"%1\".").arg(t),
                          QStringLiteral("Escreva um endereço como nome@dominio.com.br; vários "
                                         "separados por ';'."));
        if (!clean.contains(t, Qt::CaseInsensitive))
            clean << t;
    }
    QStringList before;
    {
        DbQuery find(m_alias);
        find.setStatement(EmaStatements::find());
        find.setParam(QStringLiteral("Cpf"), d);
        find.open();
        if (!find.eof())
            before = splitStored(find.asString(QStringLiteral("EmaEnd")));
        find.close();
    }
    DbQuery q(m_alias);
    q.setParam(QStringLiteral("Cpf"), d);
    if (clean.isEmpty()) {
        if (before.isEmpty())
            return Change::Same;
        q.setStatement(EmaStatements::remove());
        q.execSql();
        return Change::Removed;
    }
    if (before == clean)
        return Change::Same;
    q.setParam(QStringLiteral("End"), clean.join(QLatin1Char(';')));
    q.setStatement(before.isEmpty() ? EmaStatements::insert() : EmaStatements::update());
    // A row with no valid address left counts as none: it is replaced, not added twice.
    if (before.isEmpty()) {
        DbQuery exists(m_alias);
        exists.setStatement(EmaStatements::find());
        exists.setParam(QStringLiteral("Cpf"), d);
        exists.open();
        if (!exists.eof())
            q.setStatement(EmaStatements::update());
        exists.close();
    }
    q.execSql();
    return before.isEmpty() ? Change::Added : Change::Changed;
}

QList<AddressBook::Entry> AddressBook::all() const
{
    DbQuery q(m_alias);
    q.setStatement(EmaStatements::all());
    return entriesOf(q);
}

QList<AddressBook::Entry> AddressBook::search(const QString& text) const
{
    if (text.trimmed().isEmpty())
        return all();
    QString t = text.trimmed();
    // The document is stored as digits; "123.456" finds it too.
    static const QRegularExpression typedDocument(QStringLiteral("^[0-9 ./-]+$"));
    if (typedDocument.match(t).hasMatch())
        t.remove(QRegularExpression(QStringLiteral("[./ -]")));
    t.replace(QLatin1Char('%'), QString()).replace(QLatin1Char('_'), QString());
    DbQuery q(m_alias);
    q.setStatement(EmaStatements::search());
    q.setParam(QStringLiteral("Doc"), QLatin1Char('%') + t + QLatin1Char('%'));
    q.setParam(QStringLiteral("Texto"), QLatin1Char('%') + t + QLatin1Char('%'));
    return entriesOf(q);
}
