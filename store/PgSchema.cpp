#include "PgSchema.h"

#include "BlqSchema.h"

#include <QRegularExpression>

using K = BlqSchema::Kind;

QString PgSchema::sqlType(int kind, int width)
{
    // Texts compare byte by byte, as on the SQLite file, so that every "order by" puts the
    // rows in the same order on both engines whatever the server's locale.
    switch (K(kind)) {
    case K::AutoInc:
        return QStringLiteral("INTEGER GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    case K::Text:
        return QStringLiteral("VARCHAR(%1) COLLATE \"C\"").arg(width);
    case K::Date:
        return QStringLiteral("DATE");
    case K::Money:
        // Exact; the server's MONEY type follows the server's locale and reads back as text.
        return QStringLiteral("NUMERIC(15,2)");
    case K::Integer:
        return QStringLiteral("INTEGER");
    case K::Memo:
        return QStringLiteral("TEXT COLLATE \"C\"");
    case K::Logical:
        return QStringLiteral("BOOLEAN");
    }
    return QStringLiteral("TEXT");
}

QString PgSchema::createStatement()
{
    QStringList defs;
    for (int i = 0; i < BlqSchema::kBaseColumns; ++i) {
        const BlqSchema::Column& c = BlqSchema::columns().at(i);
        defs << QLatin1StringView(c.name) + QLatin1Char(' ') + sqlType(int(c.kind), c.width);
    }
    // Names unquoted, so that the server matches them without regard to case.
    return QStringLiteral("CREATE TABLE IF NOT EXISTS Blq (") + defs.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

QString PgSchema::columnsQuery()
{
    // A table made by hand may number its rows with a serial column rather than an
    // identity: both are the store's to fill, never the program's.
    return QStringLiteral(
        "SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
        "a.attidentity <> '' OR COALESCE(pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%', false) "
        "FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = "
        "a.attnum "
        "WHERE a.attrelid = to_regclass(?) AND a.attnum > 0 AND NOT a.attisdropped "
        "ORDER BY a.attnum");
}

QString PgSchema::adapt(const QString& statement)
{
    // The schema upgrade adds its late-fee value as MONEY, which on the server is a
    // locale-bound type read back as text ("R$ 1.234,56"): it gets the exact type of the
    // other amounts instead. Only a column added to the table is touched.
    static const QRegularExpression addMoney(
        QStringLiteral(
            "^(\\s*ALTER\\s+TABLE\\s+\\w+\\s+ADD\\s+(?:COLUMN\\s+)?\\w+\\s+)MONEY(\\s*)$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = addMoney.match(statement); m.hasMatch())
        return m.captured(1) + sqlType(int(K::Money), 0) + m.captured(2);

    // "select distinct" without an order: the file engine walks the names in the order
    // their rows were stored, the server in an order of its own. The beneficiary list
    // must read the same on every desk, so the server is asked for that order.
    static const QRegularExpression distinctOne(
        QStringLiteral("^\\s*select\\s+distinct\\s+(\\w+)\\s+from\\s+(blq)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = distinctOne.match(statement); m.hasMatch()) {
        return QStringLiteral("select %1 from %2 group by %1 order by min(BlqSeq)")
            .arg(m.captured(1), m.captured(2));
    }
    return statement;
}
