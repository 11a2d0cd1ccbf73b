#include "RetProcessor.h"

#include "Clock.h"
#include "Database.h"
#include "DbError.h"
#include "DbQuery.h"
#include "ImportGuard.h"
#include "PgCopyInsert.h"
#include "RetCodes.h"
#include "RetReader.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "SqliteInsert.h"
#include "StoreStatements.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <future>

namespace {
QVariant money(qint64 cents)
{
    return QVariant(double(cents) / 100.0);
}

QVariant date(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType(QMetaType::QDate));
}

QString undone(const DbError& e)
{
    QString cause;
    switch (e.cause()) {
    case DbError::Cause::Full:
        cause = QStringLiteral("Disco cheio");
        break;
    case DbError::Cause::Busy:
        cause = QStringLiteral("O banco de dados foi bloqueado por outro programa");
        break;
    case DbError::Cause::Other:
        cause = QStringLiteral("Erro do banco de dados (%1)").arg(e.message());
        break;
    }
    return cause + QStringLiteral(": o arquivo de retorno não foi gravado e as ocorrências "
                                  "anteriores foram mantidas.");
}

void tally(const RetFile& file, RetSummary& s)
{
    s.occurrences = int(file.occurrences.size());
    for (const RetOccurrence& o : file.occurrences) {
        switch (RetCodes::kindOf(o.codOco)) {
        case RetCodes::Kind::Entry:
            ++s.entries;
            break;
        case RetCodes::Kind::Rejection:
            ++s.rejections;
            break;
        case RetCodes::Kind::Settlement:
            ++s.settlements;
            s.settledSum += o.valPag;
            break;
        case RetCodes::Kind::WriteOff:
            ++s.writeOffs;
            break;
        case RetCodes::Kind::Protest:
            ++s.protests;
            break;
        case RetCodes::Kind::Fee:
            ++s.fees;
            s.feeSum += o.valTar;
            break;
        case RetCodes::Kind::Other:
            ++s.others;
            break;
        }
    }
}
} // namespace

RetProcessor::RetProcessor(const QString& alias, Progress progress)
    : m_alias(alias), m_progress(std::move(progress))
{
}

QDateTime RetProcessor::processedAt(const QString& stored)
{
    return QDateTime::fromString(stored, Qt::ISODate);
}

QByteArray RetProcessor::hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString RetProcessor::alreadyProcessedMessage(const QDateTime& when)
{
    return QStringLiteral("Este arquivo de retorno já foi processado em %1 às %2.")
        .arg(when.date().toString(QStringLiteral("dd/MM/yyyy")),
             when.time().toString(QStringLiteral("HH:mm")));
}

QDateTime RetProcessor::processedBefore(const QByteArray& bytes) const
{
    RetTables::ensure(Database::connection(m_alias));
    DbQuery q(m_alias);
    q.setStatement(RetStatements::fileByHash());
    q.setParam(QStringLiteral("ParmHash"), QString::fromLatin1(hashOf(bytes)));
    q.open();
    if (q.eof())
        return {};
    const QDateTime when = processedAt(q.asString(QStringLiteral("RetArqPro")));
    return when.isValid() ? when : QDateTime(QDate(1, 1, 1), QTime(0, 0));
}

RetSummary RetProcessor::process(const QString& path, bool reprocess)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Não foi possível abrir o arquivo de retorno %1: %2")
                          .arg(path, f.errorString()),
                      QStringLiteral("Confira o nome e a pasta do arquivo."));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw KvError(QStringLiteral("Não foi possível ler o arquivo de retorno %1: %2")
                          .arg(path, f.errorString()),
                      QStringLiteral("Nada foi gravado."));
    return processBytes(bytes, QFileInfo(path).fileName(), reprocess);
}

RetSummary RetProcessor::processBytes(const QByteArray& bytes, const QString& name, bool reprocess)
{
    // One at a time, refused at once; then the whole file checked before anything is written.
    ImportGuard guard(m_alias, ImportGuard::Load::ReturnFile);
    // The hash of a large file costs as much as reading it: both at once.
    std::future<QByteArray> hashing =
        std::async(std::launch::async, [&bytes] { return hashOf(bytes); });
    const RetFile file = RetReader::read(bytes);
    const QByteArray hash = hashing.get();

    QSqlDatabase db = Database::connection(m_alias);
    RetTables::ensure(db);
    int existing = 0;
    {
        DbQuery q(m_alias);
        q.setStatement(RetStatements::fileByHash());
        q.setParam(QStringLiteral("ParmHash"), QString::fromLatin1(hash));
        q.open();
        if (!q.eof()) {
            existing = q.asInteger(QStringLiteral("RetArqSeq"));
            if (!reprocess) {
                throw KvError(
                    alreadyProcessedMessage(processedAt(q.asString(QStringLiteral("RetArqPro")))),
                    QStringLiteral("Nada foi gravado. Para substituir as ocorrências "
                                   "dele, processe-o de novo como reprocessamento."));
            }
        }
    }
    RetSummary summary;
    summary.fileName = name;
    summary.reprocessed = existing != 0;
    tally(file, summary);
    store(file, name, hash, existing, summary);
    countUnidentified(summary);
    return summary;
}

void RetProcessor::store(const RetFile& file, const QString& name, const QByteArray& hash,
                         int existing, RetSummary& summary)
{
    QSqlDatabase db = Database::connection(m_alias);
    const bool server = db.driverName() == QStringLiteral("QPSQL");
    const QDateTime now = Clock::now();
    const QDateTime processed(now.date(),
                              QTime(now.time().hour(), now.time().minute(), now.time().second()));
    if (!db.transaction())
        Database::raise(db, db.lastError());
    std::unique_ptr<PgCopyInsert> copy;
    std::unique_ptr<SqliteInsert> raw;
    // Outlives the try: a prepared statement freed before the rollback would be refused by
    // the server's failed transaction, with a warning on the clerk's terminal.
    QSqlQuery q(db);
    try {
        auto run = [&](const DbStatement& st, const QVariantList& values) {
            if (!q.prepare(st.text(server).join(QLatin1Char('\n'))))
                Database::raise(db, q.lastError());
            for (int i = 0; i < values.size(); ++i)
                q.bindValue(i, values.at(i));
            if (!q.exec())
                Database::raise(db, q.lastError());
        };
        int seq = existing;
        if (existing) {
            run(RetStatements::deleteOccurrences(), {existing});
            run(RetStatements::updateFile(),
                {name, date(file.fileDate), processed, file.formatName(),
                 int(file.occurrences.size()), money(file.sumPaid), existing});
        } else {
            run(RetStatements::insertFile(),
                {name, QString::fromLatin1(hash), date(file.fileDate), processed, file.formatName(),
                 int(file.occurrences.size()), money(file.sumPaid)});
            if (server) {
                if (!q.next())
                    Database::raise(db, q.lastError());
                seq = q.value(0).toInt();
            } else {
                seq = q.lastInsertId().toInt();
            }
        }
        q.finish();
        summary.fileSeq = seq;

        const qint64 total = file.occurrences.size();
        // The fast paths of each engine: COPY on the server; on the file, the rows bound
        // straight on SQLite's handle by a thread of their own while the next are made.
        if (server)
            copy = PgCopyInsert::prepare(
                db, StoreStatements::copyRows(QStringLiteral("Ret"),
                                              RetStatements::occurrenceColumns()));
        else
            raw = SqliteInsert::prepare(
                db, RetStatements::insertOccurrence().text(false).join(QLatin1Char('\n')));
        QList<int> order;
        for (int i = 0; i < RetStatements::occurrenceColumns().size(); ++i)
            order << i;
        if (!copy && !raw &&
            !q.prepare(RetStatements::insertOccurrence().text(server).join(QLatin1Char('\n'))))
            Database::raise(db, q.lastError());
        qint64 done = 0;
        QList<QVariant> row(order.size());
        for (const RetOccurrence& o : file.occurrences) {
            QVariant* v = row.data();
            *v++ = seq;
            *v++ = o.ageCod;
            *v++ = o.ctrCod;
            *v++ = o.nosNum;
            *v++ = o.seuNum;
            *v++ = o.codOco;
            *v++ = date(o.datOco);
            *v++ = date(o.datCre);
            *v++ = date(o.datVen);
            *v++ = money(o.titVal);
            *v++ = money(o.valPag);
            *v++ = money(o.valEnc);
            *v++ = money(o.valDst);
            *v++ = money(o.valAbt);
            *v++ = money(o.valTar);
            *v++ = o.motRej;
            if (copy) {
                copy->exec(row, order);
            } else if (raw) {
                raw->queue(row, order);
            } else {
                for (int i = 0; i < row.size(); ++i)
                    q.bindValue(i, row.at(i));
                if (!q.exec())
                    Database::raise(db, q.lastError());
            }
            if (m_progress && (++done % 1000 == 0 || done == total))
                m_progress(done, total);
        }
        if (copy)
            copy->finish();
        if (raw)
            raw->finish();
        q.finish();
        if (!db.commit())
            Database::raise(db, db.lastError());
    } catch (const DbError& e) {
        if (copy)
            copy->abort();
        if (raw)
            raw->abort();
        db.rollback();
        throw DbError(e.cause(), undone(e), e.advice());
    } catch (...) {
        if (copy)
            copy->abort();
        if (raw)
            raw->abort();
        db.rollback();
        throw;
    }
}

void RetProcessor::countUnidentified(RetSummary& summary) const
{
    DbQuery q(m_alias);
    q.setStatement(RetStatements::unidentifiedCount());
    q.setParam(QStringLiteral("ParmArq"), QString::number(summary.fileSeq));
    q.open();
    summary.unidentified = q.eof() ? 0 : q.asInteger(QStringLiteral("RetQtd"));
}
