#pragma once

#include "EmailConfig.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

struct BlqTitle;

// Mails each payer his bloqueto: one message per valid title and address of the payer in
// the address book, the title's single-sheet PDF attached under its per-title file name
// (made by the same code as the per-title files, in a private temporary folder), every
// message recorded in Env before and after it goes (SendRecord).
//
// plan() says who will get what without sending; run() sends. A title already accepted
// for the same due date, value and address is skipped unless `resend`. A refusal of one
// address is recorded and the run goes on; a server that cannot be reached, refuses the
// login or is not trusted stops the run: what was sent stays recorded, and the outcome
// carries the error.
class BloquetoMailing {
public:
    struct Options {
        QStringList nossosNumeros; // only these titles; empty: every valid title
        QList<int> seqs;           // only these titles by BlqSeq (the titles window)
        bool resend = false;
        int intervalMs = 0; // pause between messages, for servers that limit the rate
        // The titles of --pendentes (return-file situation); null: every title.
        std::function<bool(const BlqTitle&)> pendingOnly;
    };

    struct Item {
        int seq = 0;
        QString ageCod, ctrCod, nossoNumero, seuNumero, sacado, document;
        QString address;
        QString answer; // the server's answer or the failure
        bool sent = false;
    };
    struct Plan {
        QList<Item> toSend;
        QList<Item> alreadySent;
        QList<Item> withoutAddress; // one per title, address empty
        int titles = 0;             // valid titles considered
    };
    struct Outcome {
        Plan plan;
        QList<Item> sent;
        QList<Item> refused;
        QList<Item> notSent; // not tried: the run stopped or was cancelled first
        bool cancelled = false;
        QString error, advice; // the run stopped
    };

    // progress(done, total, item) after each message; returning false cancels the run.
    using Progress = std::function<bool(int done, int total, const Item& item)>;

    explicit BloquetoMailing(const QString& alias = QStringLiteral("cobrancaKV"));

    Plan plan(const Options& options) const;
    // Reads the configuration and password first (raises KvError before anything goes).
    Outcome run(const Options& options, const Progress& progress = {});
    Outcome run(const EmailConfig& config, const Options& options, const Progress& progress = {});

    // One message to the sender's own address, to try the settings; raises KvError with
    // the server's complaint, answers the server's acceptance.
    static QString testServer(const EmailConfig& config);

    // The summary lines a run prints.
    static QStringList summary(const Outcome& outcome);

private:
    QString m_alias;
};
