#pragma once

#include "BlqSchema.h"
#include "DbStatement.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// A statement given as lines of text, run through a database alias and read first to
// last. Named text parameters (":ParmAgeCod") are set before open(). Fields are read by
// name without regard to case; null dates read as a null QDate, null numbers as 0.
class DbQuery {
public:
    explicit DbQuery(const QString& alias = QStringLiteral("cobrancaKV"));
    ~DbQuery();
    DbQuery(const DbQuery&) = delete;
    DbQuery& operator=(const DbQuery&) = delete;

    QStringList& sql() { return m_lines; }
    const QStringList& sql() const { return m_lines; }
    void clearSql()
    {
        m_lines.clear();
        m_serverLines.clear();
    }
    void addLine(const QString& line)
    {
        m_lines << line;
        if (!m_serverLines.isEmpty())
            m_serverLines << line;
    }
    // The statement's text for each engine; lines added later go to both.
    void setStatement(const DbStatement& statement);
    QString text() const;                       // the lines joined with line ends
    QString text(const QSqlDatabase& db) const; // as that connection's engine runs it
    DbStatement statement() const { return {m_lines, m_serverLines}; }
    void setParam(const QString& name, const QString& value); // name without the colon

    void open(); // runs the statement and stands on its first row
    void close();
    bool isOpen() const { return m_query.has_value(); }
    void execSql(); // a statement with no result
    void first();   // runs the statement again from its first row

    bool eof() const { return m_eof; }
    void next();
    int recNo() const { return m_recNo; } // 1-based number of the current row
    int rowCount();                       // every row of the result

    QStringList fieldNames() const;
    bool hasField(const QString& field) const;
    BlqSchema::Kind fieldKind(const QString& field) const;
    QVariant value(const QString& field) const; // raw stored value
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;
    QDate asDate(const QString& field) const;
    double asFloat(const QString& field) const;
    qint64 asCents(const QString& field) const;   // money as whole centavos, rounded
    qint32 asInteger(const QString& field) const; // raises when the text is not whole
    bool asBool(const QString& field) const;
    // The text a data field shows: dates "dd/mm/yyyy", money with the regional
    // separators, logicals "True"/"False", null as empty.
    QString displayText(const QString& field) const;

private:
    // The driver's value, dates still as dates on the server.
    QVariant driverValue(const QString& field) const;
    int column(const QString& field) const; // raises for unknown names
    int find(const QString& field) const;   // -1 for unknown names
    void fetch();
    void bindParams(QSqlQuery& q) const;

    QString m_alias;
    QSqlDatabase m_db; // of the open result
    bool m_server = false;
    QStringList m_lines;
    QStringList m_serverLines; // the server's own text, when it differs
    QHash<QString, QString> m_params;
    std::optional<QSqlQuery> m_query;
    QSqlRecord m_record;
    QStringList m_names; // field names of m_record, read once: rows look fields up often
    mutable QHash<QString, int> m_lookup; // field name as the caller spells it -> index
    QList<BlqSchema::Kind> m_kinds;
    bool m_eof = true;
    int m_recNo = 0;
    int m_rowCount = -1;
};
