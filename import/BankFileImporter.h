#pragma once

#include "BankBlock.h"
#include "BlqTitle.h"
#include "BlqTitleRow.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class DbError;
class DbTable;
class QIODevice;

// Replaces the contents of the bloqueto table with the titles of one bank file: reads it
// block by block, turns every title into one row marked valid or rejected with its
// reasons, and stores the message and instruction texts and the bank's PIX payload with
// their title (a payload that fails the PIX checks rejects the title). Used alike by
// the import window, the batch tool, the fuzz target and the benchmark.
//
// Problems in the bank's data are not errors: they reject the title. A bad record (a
// conversion error) stops the import with its message, prefixed with the block's number
// (KvError); the rows stored before it stay, the title then under construction is not
// stored. A failure of the database (a full disk, an I/O error, a lost connection, DbError)
// or of the reading of the file, or the end of the process, leaves the table exactly as
// it was: it is emptied and refilled in one transaction. One import runs at a time
// (ImportGuard); the table must have every column the import writes.
class BankFileImporter {
public:
    // Told the count of blocks read after each block, before the block is handled.
    using Progress = std::function<void(qint64 blocks)>;

    explicit BankFileImporter(DbTable& table, Progress progress = {});

    // A non-empty file that does not begin with a header record is likely not a bank file
    // at all (a picture, a PDF): callers ask before importing it. True when the file cannot
    // be opened, which the import itself reports.
    static bool startsLikeBankFile(const QString& path);
    static QString notBankFileQuestion();

    // Opens the file first, so that a file that cannot be read leaves the table as it
    // was; then empties the table and imports.
    void importFile(const QString& path);
    // The same over a device already open for reading.
    void importFrom(QIODevice& device);

    qint64 blockCount() const { return m_blocks; }
    // Set when the import reached the end of the file (or its trailer) without an error.
    bool completed() const { return m_completed; }

private:
    void prepareTable();
    void keepRowsBeforeBadRecord();
    QString inBlock(const QString& message) const;
    static QString undoneCause(const DbError& e);
    static QString undoneMessage(const QString& cause);
    void readBlocks(QIODevice& device);
    qint64 readBlock(QIODevice& device);
    void takeHeader();
    void storeDetail();
    void storeLateFee();
    void storeDates();
    void storeTitleValue(QString& reasons);
    void storeValueInReais(QByteArrayView value, QString& reasons);
    void storeAmountsAndTexts();
    void checkTitle(QString& reasons);
    void storeText(QString BlqTitle::*member);
    void storePix();

    DbTable& m_table;
    std::optional<BlqTitleRow> m_row; // the table's columns, looked up once per import
    BlqTitle m_title;                 // the title under construction
    QString m_titleReasons;           // its reasons from its own record
    Progress m_progress;
    BankBlock m_block;
    std::vector<char> m_chunk; // the file is read in large chunks, not block by block
    qint64 m_chunkPos = 0;
    qint64 m_chunkLength = 0;
    qint64 m_blocks = 0;
    bool m_completed = false;
    bool m_readFailed = false;
    // Values of the last header record; empty before the first one.
    QByteArray m_carteira;
    QString m_carteiraText;
    QString m_cedente;
};
