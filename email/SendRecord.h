#pragma once

#include <QDate>
#include <QString>

// The record of the bloquetos sent by e-mail, table Env (see EnvStatements): a row is
// written before a message goes and completed when the server has answered, so that a
// run cut off at any point leaves the truth behind it: accepted rows are never sent again
// for the same due date, value and address; any other row is sent again by the next run.
class SendRecord {
public:
    struct Key {
        QString ageCod, ctrCod, nosNum;
        QDate datVen;
        qint64 cents = 0;
        QString address;
    };
    enum class Situation : char { Sending = 'E', Accepted = 'A', Refused = 'R', Failed = 'F' };

    explicit SendRecord(const QString& alias = QStringLiteral("cobrancaKV"));

    bool accepted(const Key& key) const;
    // Writes the row of a message about to go; answers its Message-ID (the row's key).
    QString begin(const Key& key, const QString& domain);
    void finish(const QString& messageId, Situation situation, const QString& answer);

    // A message's answer, kept to be written with the next message's row.
    struct Answer {
        QString messageId;
        Situation situation = Situation::Sending;
        QString text;
    };
    // finish(answered) and begin(key) in one commit: a run waits for the disk once a
    // message instead of twice. A crash leaves what two commits would: the answered
    // message still at 'E' (sent again by the next run) until both rows are written.
    QString finishAndBegin(const Answer& answered, const Key& key, const QString& domain);

    // The look-up index of the table (which Database makes when missing).
    static void ensureTable(const QString& alias);

private:
    QString m_alias;
};
