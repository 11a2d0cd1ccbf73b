#include "SqliteInsert.h"

#include "Database.h"
#include "DbError.h"
#include "KvError.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSysInfo>
#include <sqlite3.h>

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
DbError::Cause causeOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return DbError::Cause::Full;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError::Cause::Busy;
    default:
        return DbError::Cause::Other;
    }
}

[[noreturn]] void raise(sqlite3* db)
{
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    const char* file = sqlite3_db_filename(db, "main");
    throw DbError::fromEngine(causeOf(sqlite3_errcode(db)), text,
                              Database::advice(QString::number(sqlite3_extended_errcode(db)),
                                               text, file ? QString::fromUtf8(file) : QString()));
}

// The handle is only ours to use when Qt's driver runs on the very SQLite library we link:
// a driver with its own copy would hand us a pointer into another library's memory.
sqlite3* handleOf(const QSqlDatabase& db)
{
    if (db.driverName() != QStringLiteral("QSQLITE") || !db.driver())
        return nullptr;
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_source_id()")) || !q.next() ||
        q.value(0).toString() != QString::fromLatin1(sqlite3_sourceid()))
        return nullptr;
    return *static_cast<sqlite3* const*>(h.constData());
}
} // namespace

std::unique_ptr<SqliteInsert> SqliteInsert::prepare(const QSqlDatabase& db, const QString& sql)
{
    sqlite3* handle = handleOf(db);
    if (!handle)
        return nullptr;
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        raise(handle);
    }
    auto insert = std::unique_ptr<SqliteInsert>(new SqliteInsert(handle, statement));
    insert->m_text.resize(sqlite3_bind_parameter_count(statement));
    return insert;
}

int SqliteInsert::toUtf8(QStringView text, std::string& out)
{
    const qsizetype n = text.size();
    if (out.size() < size_t(n) * 3)
        out.resize(size_t(n) * 3); // the buffer only grows: no clearing from row to row
    const char16_t* p = text.utf16();
    char* o = out.data();
    qsizetype i = 0;
    while (i < n) {
#ifdef __SSE2__
        // Plain ASCII, the bulk of any text here, eight characters at a time.
        if (i + 8 <= n) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i high = _mm_and_si128(units, _mm_set1_epi16(short(0xFF80)));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(units, units));
                o += 8;
                i += 8;
                continue;
            }
        }
#endif
        // Plain ASCII, four characters at a time.
        if (QSysInfo::ByteOrder == QSysInfo::LittleEndian && i + 4 <= n) {
            quint64 w;
            std::memcpy(&w, p + i, 8);
            if (!(w & 0xFF80FF80FF80FF80ULL)) {
                const quint32 bytes = quint32(w & 0xFF) | quint32((w >> 8) & 0xFF00) |
                                      quint32((w >> 16) & 0xFF0000) |
                                      quint32((w >> 24) & 0xFF000000);
                std::memcpy(o, &bytes, 4);
                o += 4;
                i += 4;
                continue;
            }
        }
        char32_t c = p[i++];
        if (c < 0x80) {
            *o++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(p[i]))
            c = QChar::surrogateToUcs4(char16_t(c), p[i++]); // two units, four bytes
        else if (QChar::isSurrogate(c))
            c = 0xFFFD; // a lone half of a pair cannot be stored as UTF-8
        if (c < 0x800) {
            *o++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *o++ = char(0xE0 | (c >> 12));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *o++ = char(0xF0 | (c >> 18));
            *o++ = char(0x80 | ((c >> 12) & 0x3F));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *o++ = char(0x80 | (c & 0x3F));
    }
    return int(o - out.data());
}

SqliteInsert::~SqliteInsert()
{
    sqlite3_finalize(m_statement);
}

void SqliteInsert::bind(int parameter, const QVariant& value)
{
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString* s = static_cast<const QString*>(value.constData());
        if (s->isNull()) {
            rc = sqlite3_bind_null(m_statement, parameter);
            break;
        }
        // Encoded here into a buffer kept from row to row: the database is UTF-8, and
        // SQLite's own conversion from UTF-16 allocates for every value.
        std::string& utf8 = m_text[parameter - 1];
        const int size = toUtf8(*s, utf8);
        rc = sqlite3_bind_text(m_statement, parameter, utf8.data(), size, SQLITE_STATIC);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        rc = sqlite3_bind_double(m_statement, parameter, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        rc = sqlite3_bind_int64(m_statement, parameter, value.toLongLong());
        break;
    case QMetaType::QByteArray: {
        const QByteArray* b = static_cast<const QByteArray*>(value.constData());
        rc = sqlite3_bind_blob(m_statement, parameter, b->constData(), int(b->size()),
                               SQLITE_STATIC);
        break;
    }
    case QMetaType::UnknownType:
        rc = sqlite3_bind_null(m_statement, parameter);
        break;
    default: {
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_statement, parameter);
            break;
        }
        const QString s = value.toString();
        rc = sqlite3_bind_text16(m_statement, parameter, s.utf16(), int(s.size() * sizeof(QChar)),
                                 SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK)
        raise(m_db);
}

void SqliteInsert::exec(const QList<QVariant>& row, const QList<int>& columns)
{
    for (int i = 0; i < columns.size(); ++i)
        bind(i + 1, row.at(columns.at(i)));
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE) {
        // The message belongs to the step; reset would replace it with its own.
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_reset(m_statement);
        throw DbError::fromEngine(causeOf(rc), message);
    }
    sqlite3_reset(m_statement);
}
