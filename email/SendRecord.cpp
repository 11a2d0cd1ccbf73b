#include "SendRecord.h"

#include "Database.h"
#include "DbQuery.h"
#include "EnvStatements.h"

#include <QDateTime>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

namespace {
QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString isoDate(const QDate& d)
{
    return d.isValid() ? d.toString(Qt::ISODate) : QString(QLatin1StringView(""));
}

void setKey(DbQuery& q, const SendRecord::Key& k)
{
    q.setParam(QStringLiteral("Age"), k.ageCod);
    q.setParam(QStringLiteral("Ctr"), k.ctrCod);
    q.setParam(QStringLiteral("Nos"), k.nosNum);
    q.setParam(QStringLiteral("Ven"), isoDate(k.datVen));
    q.setParam(QStringLiteral("End"), k.address);
}
} // namespace

SendRecord::SendRecord(const QString& alias) : m_alias(alias)
{
    ensureTable(alias);
}

void SendRecord::ensureTable(const QString& alias)
{
    // The table itself is made by Database, when missing; the look-up index with it here.
    DbQuery q(alias);
    q.setStatement(EnvStatements::index());
    q.execSql();
}

bool SendRecord::accepted(const Key& key) const
{
    DbQuery q(m_alias);
    q.setStatement(EnvStatements::accepted());
    setKey(q, key);
    q.setParam(QStringLiteral("Cents"), QString::number(key.cents));
    q.open();
    const bool sent = !q.eof() && q.asInteger(QStringLiteral("Qtd")) > 0;
    q.close();
    return sent;
}

QString SendRecord::begin(const Key& key, const QString& domain)
{
    const QString id =
        QStringLiteral("%1.%2@%3")
            .arg(key.nosNum.trimmed(), QUuid::createUuid().toString(QUuid::Id128), domain);
    DbQuery q(m_alias);
    q.setStatement(EnvStatements::begin());
    setKey(q, key);
    q.setParam(QStringLiteral("Val"), QString::number(double(key.cents) / 100.0, 'f', 2));
    q.setParam(QStringLiteral("Hor"), now());
    q.setParam(QStringLiteral("MsgId"), id);
    q.execSql();
    return id;
}

QString SendRecord::finishAndBegin(const Answer& answered, const Key& key, const QString& domain)
{
    QSqlDatabase db = Database::connection(m_alias);
    if (!db.transaction())
        Database::raise(db, db.lastError());
    try {
        finish(answered.messageId, answered.situation, answered.text);
        const QString id = begin(key, domain);
        if (!db.commit())
            Database::raise(db, db.lastError());
        return id;
    } catch (...) {
        db.rollback();
        throw;
    }
}

void SendRecord::finish(const QString& messageId, Situation situation, const QString& answer)
{
    DbQuery q(m_alias);
    q.setStatement(EnvStatements::finish());
    q.setParam(QStringLiteral("Sit"), QString(QLatin1Char(char(situation))));
    q.setParam(QStringLiteral("Rsp"), answer.left(1000));
    q.setParam(QStringLiteral("Hor"), now());
    q.setParam(QStringLiteral("MsgId"), messageId);
    q.execSql();
}
