#include "PgCopyInsert.h"

#include "DbError.h"
#include "PgConnection.h"

#include <QDate>
#include <libpq-fe.h>

namespace {
constexpr qsizetype kSendAt = 512 * 1024;
}

std::unique_ptr<PgCopyInsert> PgCopyInsert::prepare(const QSqlDatabase& db, const DbStatement& copy)
{
    PGconn* conn = PgConnection::handleOf(db);
    if (!conn)
        return nullptr;
    return std::unique_ptr<PgCopyInsert>(new PgCopyInsert(db, conn, copy.joined(true).toUtf8()));
}

PgCopyInsert::~PgCopyInsert()
{
    if (m_open)
        abort();
}

void PgCopyInsert::raise(const QString& serverText, const QByteArray& sqlState)
{
    m_open = false;
    m_buffer.clear();
    // The server's disk full (disk_full): said as such, whatever the server's language.
    if (sqlState == "53100")
        throw DbError(DbError::Cause::Full, QStringLiteral("Disco cheio"),
                      QStringLiteral("Libere espaço no disco do servidor de banco de dados (%1) "
                                     "e tente de novo.")
                          .arg(PgConnection::serverName(m_db)));
    throw DbError(DbError::Cause::Other,
                  PgConnection::failure(m_db, serverText, PQstatus(m_conn) != CONNECTION_OK));
}

void PgCopyInsert::begin()
{
    PGresult* r = PQexec(m_conn, m_statement.constData());
    const bool ok = PQresultStatus(r) == PGRES_COPY_IN;
    const QString text = QString::fromUtf8(PQerrorMessage(m_conn));
    PQclear(r);
    if (!ok) {
        // A refused COPY leaves nothing to read; drain in case it did.
        while (PGresult* more = PQgetResult(m_conn))
            PQclear(more);
        raise(text);
    }
    m_open = true;
}

void PgCopyInsert::send()
{
    if (m_buffer.isEmpty())
        return;
    if (PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1) {
        const QString text = QString::fromUtf8(PQerrorMessage(m_conn));
        abort();
        raise(text);
    }
    m_buffer.clear();
}

void PgCopyInsert::appendText(QStringView text)
{
    // COPY's text format: backslash, tab and line ends escaped. The server's text cannot
    // hold U+0000 at all; a fixed-width bank field pads with blanks, so a blank it is.
    qsizetype plainFrom = 0;
    auto flushPlain = [&](qsizetype to) {
        if (to > plainFrom)
            m_buffer += text.sliced(plainFrom, to - plainFrom).toUtf8();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char* escape = nullptr;
        switch (c) {
        case u'\\':
            escape = "\\\\";
            break;
        case u'\t':
            escape = "\\t";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case 0:
            escape = " ";
            break;
        default:
            continue;
        }
        flushPlain(i);
        m_buffer += escape;
        plainFrom = i + 1;
    }
    flushPlain(text.size());
}

void PgCopyInsert::appendValue(const QVariant& value)
{
    if (value.isNull()) {
        m_buffer += "\\N";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QString: {
        // A null text is no value, as on the file engine; an empty one is a value.
        const QString* text = static_cast<const QString*>(value.constData());
        if (text->isNull())
            m_buffer += "\\N";
        else
            appendText(*text);
        return;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        // The shortest text that reads back as the same double; the column rounds it.
        m_buffer += QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        m_buffer += QByteArray::number(value.toLongLong());
        return;
    case QMetaType::Bool:
        m_buffer += value.toBool() ? "t" : "f";
        return;
    case QMetaType::QDate:
        m_buffer += value.toDate().toString(Qt::ISODate).toLatin1();
        return;
    default:
        appendText(value.toString());
    }
}

void PgCopyInsert::exec(const QList<QVariant>& row, const QList<int>& columns)
{
    if (!m_open)
        begin();
    for (int i = 0; i < columns.size(); ++i) {
        if (i)
            m_buffer += '\t';
        appendValue(row.at(columns.at(i)));
    }
    m_buffer += '\n';
    if (m_buffer.size() >= kSendAt)
        send();
}

void PgCopyInsert::finish()
{
    if (!m_open)
        return;
    send();
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        raise(QString::fromUtf8(PQerrorMessage(m_conn)));
    m_open = false;
    QString error;
    QByteArray state;
    while (PGresult* r = PQgetResult(m_conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && error.isEmpty()) {
            error = QString::fromUtf8(PQresultErrorMessage(r));
            state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        }
        PQclear(r);
    }
    if (!error.isEmpty() || PQstatus(m_conn) != CONNECTION_OK)
        raise(error.isEmpty() ? QString::fromUtf8(PQerrorMessage(m_conn)) : error, state);
}

void PgCopyInsert::abort()
{
    m_buffer.clear();
    if (!m_open)
        return;
    m_open = false;
    PQputCopyEnd(m_conn, "cancelado pelo programa");
    while (PGresult* r = PQgetResult(m_conn))
        PQclear(r);
}
