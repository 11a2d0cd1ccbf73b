#pragma once

#include "RetOccurrence.h"
#include "RetSummary.h"

#include <QDateTime>
#include <QString>
#include <functional>

// Processes a return file into the store as one unit: the whole file is read and checked
// first (RetReader), then its occurrences are stored in one transaction with its RetArq row,
// or nothing is. The same bytes (SHA-256) are refused a second time unless `reprocess`,
// which replaces that file's occurrences in the same single transaction. One return file at
// a time per database (ImportGuard::Load::ReturnFile): a second is refused at once.
class RetProcessor {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    explicit RetProcessor(const QString& alias = QStringLiteral("cobrancaKV"),
                          Progress progress = {});

    RetSummary process(const QString& path, bool reprocess = false);
    RetSummary processBytes(const QByteArray& bytes, const QString& name, bool reprocess);

    // When these bytes were processed; invalid when never.
    QDateTime processedBefore(const QByteArray& bytes) const;
    // "Este arquivo de retorno já foi processado em dd/mm/aaaa às hh:mm."
    static QString alreadyProcessedMessage(const QDateTime& when);
    static QByteArray hashOf(const QByteArray& bytes);   // hex SHA-256
    static QDateTime processedAt(const QString& stored); // RetArqPro as stored

private:
    void store(const RetFile& file, const QString& name, const QByteArray& hash, int existing,
               RetSummary& summary);
    void countUnidentified(RetSummary& summary) const;

    QString m_alias;
    Progress m_progress;
};
