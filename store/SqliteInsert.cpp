#include "SqliteInsert.h"

#include "Database.h"
#include "DbError.h"
#include "KvError.h"
#include "StoreStatements.h"

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
                              Database::advice(QString::number(sqlite3_extended_errcode(db)), text,
                                               file ? QString::fromUtf8(file) : QString()));
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
    if (!q.exec(StoreStatements::sourceId().joined(false)) || !q.next() ||
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
    insert->m_parameters = sqlite3_bind_parameter_count(statement);
    insert->m_threaded = sqlite3_threadsafe() != 0;
    return insert;
}

namespace {
// How a value is kept in a bundle: one of these, then for numbers their 8 bytes, for text
// and blobs a 4-byte length and the bytes.
enum Tag : char { Null, Integer, Real, Text, Blob };

constexpr size_t kBundleBytes = 64 * 1024;
constexpr size_t kBundlesHanded = 16; // how far the caller may run ahead of the database

template <typename T> void put(std::string& out, T value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T> T take(const char*& p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    p += sizeof value;
    return value;
}
} // namespace

size_t SqliteInsert::appendUtf8(QStringView text, Bundle& out)
{
    const qsizetype n = text.size();
    const size_t at = out.size();
    // Room for the worst case, given back below; the bundle's capacity is kept from one
    // filling to the next, so this seldom allocates.
    out.resize(at + size_t(n) * 3);
    const char16_t* p = text.utf16();
    char* const begin = out.data() + at;
    char* o = begin;
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
    const size_t length = size_t(o - begin);
    out.resize(at + length);
    return length;
}

SqliteInsert::~SqliteInsert()
{
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_handed.clear();
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    sqlite3_finalize(m_statement);
}

void SqliteInsert::encode(const QVariant& value, Bundle& out)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString* s = static_cast<const QString*>(value.constData());
        if (s->isNull()) {
            out += Null;
            break;
        }
        // Encoded here: the database is UTF-8, and SQLite's own conversion from UTF-16
        // allocates for every value.
        out += Text;
        const size_t at = out.size();
        put<quint32>(out, 0);
        const quint32 length = quint32(appendUtf8(*s, out));
        std::memcpy(out.data() + at, &length, sizeof length);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        out += Real;
        put(out, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        out += Integer;
        put<qint64>(out, value.toLongLong());
        break;
    case QMetaType::QByteArray: {
        const QByteArray* b = static_cast<const QByteArray*>(value.constData());
        out += Blob;
        put(out, quint32(b->size()));
        out.append(b->constData(), size_t(b->size()));
        break;
    }
    case QMetaType::UnknownType:
        out += Null;
        break;
    default:
        if (value.isNull()) {
            out += Null;
            break;
        }
        encode(QVariant(value.toString()), out);
        break;
    }
}

void SqliteInsert::store(const Bundle& bundle)
{
    const char* p = bundle.data();
    const char* const end = p + bundle.size();
    while (p < end) {
        for (int parameter = 1; parameter <= m_parameters; ++parameter) {
            int rc = SQLITE_OK;
            switch (*p++) {
            case Integer:
                rc = sqlite3_bind_int64(m_statement, parameter, take<qint64>(p));
                break;
            case Real:
                rc = sqlite3_bind_double(m_statement, parameter, take<double>(p));
                break;
            case Text: {
                const quint32 length = take<quint32>(p);
                rc = sqlite3_bind_text(m_statement, parameter, p, int(length), SQLITE_STATIC);
                p += length;
                break;
            }
            case Blob: {
                const quint32 length = take<quint32>(p);
                rc = sqlite3_bind_blob(m_statement, parameter, p, int(length), SQLITE_STATIC);
                p += length;
                break;
            }
            default:
                rc = sqlite3_bind_null(m_statement, parameter);
                break;
            }
            if (rc != SQLITE_OK)
                raise(m_db);
        }
        const int rc = sqlite3_step(m_statement);
        if (rc != SQLITE_DONE) {
            // The message belongs to the step; reset would replace it with its own.
            const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_reset(m_statement);
            throw DbError::fromEngine(causeOf(rc), message);
        }
        sqlite3_reset(m_statement);
    }
    sqlite3_clear_bindings(m_statement); // the texts bound were the bundle's own
}

void SqliteInsert::exec(const QList<QVariant>& row, const QList<int>& columns)
{
    finish();
    m_single.clear();
    for (int i = 0; i < columns.size(); ++i)
        encode(row.at(columns.at(i)), m_single);
    store(m_single);
}

void SqliteInsert::queue(const QList<QVariant>& row, const QList<int>& columns)
{
    if (!m_threaded) {
        exec(row, columns);
        return;
    }
    for (int i = 0; i < columns.size(); ++i)
        encode(row.at(columns.at(i)), m_gathering);
    if (m_gathering.size() < kBundleBytes)
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_handed.size() < kBundlesHanded || m_failure; });
    rethrowFailure(lock);
    hand(lock);
}

void SqliteInsert::hand(std::unique_lock<std::mutex>& lock)
{
    if (m_gathering.empty())
        return;
    m_handed.push_back(std::move(m_gathering));
    m_gathering.clear();
    if (!m_spare.empty()) {
        m_gathering = std::move(m_spare.back());
        m_spare.pop_back();
    }
    m_gathering.reserve(kBundleBytes + 4096);
    if (!m_thread.joinable()) {
        lock.unlock();
        m_thread = std::thread([this] { work(); });
        lock.lock();
    }
    m_changed.notify_all();
}

void SqliteInsert::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stopping || !m_handed.empty(); });
        if (m_stopping)
            return;
        Bundle bundle = std::move(m_handed.front());
        m_handed.pop_front();
        m_working = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            store(bundle);
        } catch (...) {
            failure = std::current_exception();
        }
        bundle.clear();
        lock.lock();
        m_working = false;
        if (failure) {
            // The rows after the refused one are not stored: the transaction is lost.
            m_failure = failure;
            m_handed.clear();
        }
        m_spare.push_back(std::move(bundle));
        m_changed.notify_all();
    }
}

void SqliteInsert::rethrowFailure(std::unique_lock<std::mutex>& lock)
{
    if (!m_failure)
        return;
    m_gathering.clear();
    m_handed.clear();
    m_changed.wait(lock, [&] { return !m_working; });
    const std::exception_ptr failure = std::exchange(m_failure, nullptr);
    lock.unlock();
    std::rethrow_exception(failure);
}

void SqliteInsert::finish()
{
    if (m_gathering.empty() && !m_thread.joinable())
        return;
    std::unique_lock lock(m_mutex);
    rethrowFailure(lock);
    hand(lock);
    m_changed.wait(lock, [&] { return (m_handed.empty() && !m_working) || m_failure; });
    rethrowFailure(lock);
}

void SqliteInsert::abort()
{
    m_gathering.clear();
    std::unique_lock lock(m_mutex);
    m_handed.clear();
    m_changed.wait(lock, [&] { return !m_working; });
    m_failure = nullptr;
}
