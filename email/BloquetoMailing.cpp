#include "BloquetoMailing.h"

#include "AddressBook.h"
#include "BloquetoCode.h"
#include "BloquetoFiles.h"
#include "BloquetoMessage.h"
#include "BlqStatements.h"
#include "BlqTitle.h"
#include "BlqTitleRow.h"
#include "DbQuery.h"
#include "EnvStatements.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "MailAddress.h"
#include "RelBloqueto.h"
#include "SendRecord.h"
#include "SmtpSession.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QThread>

#include <optional>

namespace {
struct Planned {
    BloquetoMailing::Plan plan;
    QHash<int, BlqTitle> titles; // by BlqSeq, of the items to send
};

BloquetoMailing::Item itemOf(const BlqTitle& t, const QString& doc)
{
    BloquetoMailing::Item i;
    i.seq = t.seq;
    i.ageCod = t.ageCod;
    i.ctrCod = t.ctrCod;
    i.nossoNumero = t.nosNum.trimmed();
    i.seuNumero = t.seuNum.trimmed();
    i.sacado = t.sacNom.trimmed();
    i.document = doc;
    return i;
}

SendRecord::Key keyOf(const BlqTitle& t, const QString& address)
{
    return {t.ageCod, t.ctrCod, t.nosNum, t.datVen, BlqTitle::cents(t.titVal), address};
}

Planned makePlan(const QString& alias, const BloquetoMailing::Options& o)
{
    Planned p;
    AddressBook book(alias);
    SendRecord record(alias);
    DbQuery q(alias);
    if (o.seqs.isEmpty()) {
        q.setStatement(BlqStatements::bloquetosInFileOrder());
    } else {
        q.setStatement(EnvStatements::titlesBySeq(o.seqs));
    }
    QStringList wanted;
    for (const QString& n : o.nossosNumeros)
        wanted << n.trimmed();
    // Read to the end before the look-ups: a server connection runs one statement at a time.
    QList<BlqTitle> rows;
    for (q.open(); !q.eof(); q.next())
        rows << BlqTitleRow::read(q);
    q.close();
    for (const BlqTitle& t : rows) {
        if (!wanted.isEmpty() && !wanted.contains(t.nosNum.trimmed()))
            continue;
        if (o.pendingOnly && !o.pendingOnly(t))
            continue;
        ++p.plan.titles;
        const QString doc = AddressBook::document(t.cpfCgcSac);
        const QStringList addresses = book.addresses(doc);
        if (addresses.isEmpty()) {
            p.plan.withoutAddress << itemOf(t, doc);
            continue;
        }
        for (const QString& a : addresses) {
            BloquetoMailing::Item i = itemOf(t, doc);
            i.address = a;
            if (!o.resend && record.accepted(keyOf(t, a))) {
                p.plan.alreadySent << i;
            } else {
                p.plan.toSend << i;
                p.titles.insert(t.seq, t);
            }
        }
    }
    return p;
}

// The PDFs of the titles, made as the per-title files are, in a private folder: file
// name and bytes by BlqSeq.
QHash<int, std::pair<QString, QByteArray>> makePdfs(const QHash<int, BlqTitle>& titles)
{
    QList<int> seqs = titles.keys();
    std::sort(seqs.begin(), seqs.end());
    QTemporaryDir dir; // 0700, removed at the end
    if (!dir.isValid())
        throw KvError(QStringLiteral("Não foi possível criar uma pasta temporária para os "
                                     "bloquetos: %1")
                          .arg(dir.errorString()));
    RelBloqueto rel;
    rel.qryTitulo.close();
    rel.qryTitulo.clearSql();
    rel.qryTitulo.setStatement(EnvStatements::titlesBySeq(seqs));
    rel.qryTitulo.open();
    BloquetoFiles::write(rel, dir.path());
    // The index lists the files in the order of the pages, which is the order of BlqSeq.
    QFile index(dir.filePath(BloquetoFiles::indexName()));
    if (!index.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("O índice dos bloquetos não foi gravado."));
    QList<QByteArray> lines = index.readAll().split('\n');
    QHash<int, std::pair<QString, QByteArray>> out;
    int n = 0;
    for (qsizetype i = 1; i < lines.size() && n < seqs.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        // The file names hold no ';' nor quotes (TitleFileNames).
        const QString name = QString::fromUtf8(line.left(line.indexOf(';')));
        QFile pdf(dir.filePath(name));
        if (!pdf.open(QIODevice::ReadOnly))
            throw KvError(QStringLiteral("O bloqueto %1 não foi gravado.").arg(name));
        out.insert(seqs.at(n++), {name, pdf.readAll()});
    }
    return out;
}

QString domainOf(const QString& address)
{
    return address.section(QLatin1Char('@'), 1);
}

// The message of one title to one address, without its attachment and Message-ID.
SmtpSession::Mail mailOf(const EmailConfig& config, const MailAddress::Named& from,
                         const QByteArray& replyTo, const BlqTitle& t, const QString& address)
{
    const BloquetoCode code =
        BloquetoCode::compose({t.ageCod, t.nosNum, t.ctrCod, BlqTitle::cents(t.titVal), t.datVen});
    const BloquetoMessage::Fields fields{
        t.sacNom, t.datVen, BlqTitle::cents(t.titVal), code.typeableLine(), t.pixEmv,
        t.nomCed, t.nosNum};
    SmtpSession::Mail mail;
    mail.fromAddress = config.senderAddress;
    mail.fromHeader = from.header();
    mail.to = address;
    mail.replyTo = replyTo;
    mail.subject = BloquetoMessage::subject(config.subject, fields);
    mail.body = BloquetoMessage::body(config.body, fields);
    return mail;
}
} // namespace

BloquetoMailing::BloquetoMailing(const QString& alias) : m_alias(alias) {}

BloquetoMailing::Plan BloquetoMailing::plan(const Options& options) const
{
    return makePlan(m_alias, options).plan;
}

BloquetoMailing::Outcome BloquetoMailing::run(const Options& options, const Progress& progress)
{
    return run(EmailConfig::read(), options, progress);
}

BloquetoMailing::Outcome BloquetoMailing::run(const EmailConfig& config, const Options& options,
                                              const Progress& progress)
{
    const QString password = config.password();
    // Held to the end: another desk's run is refused at once rather than sending the
    // titles this one is sending.
    const ImportGuard sending(m_alias, ImportGuard::Load::Mailing);
    Planned planned = makePlan(m_alias, options);
    Outcome out;
    out.plan = planned.plan;
    if (planned.plan.toSend.isEmpty())
        return out;
    const auto pdfs = makePdfs(planned.titles);
    SendRecord record(m_alias);
    SmtpSession session(config, password);
    const MailAddress::Named from{config.senderName, config.senderAddress};
    const QByteArray replyTo =
        config.replyTo.isEmpty() ? QByteArray() : MailAddress::parseNamed(config.replyTo).header();
    const int total = int(planned.plan.toSend.size());
    // The last answer not yet written: it goes with the next message's row, or alone at
    // the end.
    std::optional<SendRecord::Answer> unwritten;
    auto writeUnwritten = [&] {
        if (unwritten)
            record.finish(unwritten->messageId, unwritten->situation, unwritten->text);
        unwritten.reset();
    };
    try {
        for (int n = 0; n < total; ++n) {
            Item item = planned.plan.toSend.at(n);
            if (!out.error.isEmpty() || out.cancelled) {
                out.notSent << item;
                continue;
            }
            const BlqTitle& t = planned.titles[item.seq];
            const SendRecord::Key key = keyOf(t, item.address);
            // Another desk may have sent it since the plan was made.
            if (!options.resend && record.accepted(key)) {
                out.plan.alreadySent << item;
                continue;
            }
            SmtpSession::Mail mail = mailOf(config, from, replyTo, t, item.address);
            const QString domain = domainOf(config.senderAddress);
            const QString id = unwritten ? record.finishAndBegin(*unwritten, key, domain)
                                         : record.begin(key, domain);
            unwritten.reset();
            if (n > 0 && options.intervalMs > 0)
                QThread::msleep(ulong(options.intervalMs));
            const auto& pdf = pdfs.value(item.seq);
            mail.attachmentName = pdf.first;
            mail.attachment = pdf.second;
            mail.messageId = id.toLatin1();
            const SmtpSession::Outcome o = session.send(mail);
            item.answer = o.kind == SmtpSession::Outcome::Fatal ? o.error : o.answer;
            switch (o.kind) {
            case SmtpSession::Outcome::Accepted:
                unwritten = {id, SendRecord::Situation::Accepted, o.answer};
                item.sent = true;
                out.sent << item;
                break;
            case SmtpSession::Outcome::Refused:
                unwritten = {id, SendRecord::Situation::Refused, o.answer};
                out.refused << item;
                break;
            case SmtpSession::Outcome::Fatal:
                unwritten = {id, SendRecord::Situation::Failed, o.answer};
                writeUnwritten();
                out.error = o.error;
                out.advice = o.advice;
                out.notSent << item;
                break;
            }
            if (progress && !progress(n + 1, total, item))
                out.cancelled = true;
        }
        writeUnwritten();
    } catch (...) {
        // The server has answered that message: its answer goes before the error does.
        try {
            writeUnwritten();
        } catch (...) {
        }
        throw;
    }
    return out;
}

QString BloquetoMailing::testServer(const EmailConfig& config)
{
    SmtpSession session(config, config.password());
    SmtpSession::Mail mail;
    mail.fromAddress = config.senderAddress;
    mail.fromHeader = MailAddress::Named{config.senderName, config.senderAddress}.header();
    mail.to = config.senderAddress;
    mail.subject = QStringLiteral("Teste do envio de bloquetos por e-mail");
    mail.body = QStringLiteral("Esta mensagem confirma que o servidor %1 aceita as mensagens "
                               "do envio de bloquetos.\r\n")
                    .arg(config.serverName());
    mail.messageId = QStringLiteral("teste.%1@%2")
                         .arg(QDateTime::currentMSecsSinceEpoch())
                         .arg(domainOf(config.senderAddress))
                         .toLatin1();
    const SmtpSession::Outcome o = session.send(mail);
    if (o.kind == SmtpSession::Outcome::Fatal)
        throw KvError(o.error, o.advice);
    if (o.kind == SmtpSession::Outcome::Refused)
        throw KvError(QStringLiteral("O servidor de e-mail %1 recusou a mensagem de teste para "
                                     "%2: %3")
                          .arg(config.serverName(), config.senderAddress, o.answer),
                      QStringLiteral("Confira o remetente (Remetente=) na seção [Email]."));
    return o.answer;
}

QStringList BloquetoMailing::summary(const Outcome& o)
{
    QStringList lines;
    lines << QStringLiteral("%1 mensagem(ns) enviada(s)").arg(o.sent.size());
    lines << QStringLiteral("%1 já enviada(s) antes").arg(o.plan.alreadySent.size());
    lines
        << QStringLiteral("%1 título(s) sem endereço de e-mail").arg(o.plan.withoutAddress.size());
    for (const Item& i : o.plan.withoutAddress)
        lines << QStringLiteral("  sem endereço: %1 %2 (CPF/CNPJ %3)")
                     .arg(i.nossoNumero, i.sacado,
                          i.document.isEmpty() ? QStringLiteral("ausente") : i.document);
    lines << QStringLiteral("%1 recusada(s)").arg(o.refused.size());
    for (const Item& i : o.refused)
        lines << QStringLiteral("  recusada: %1 %2 <%3>: %4")
                     .arg(i.nossoNumero, i.sacado, i.address, i.answer);
    if (!o.notSent.isEmpty())
        lines << QStringLiteral("%1 não enviada(s)%2")
                     .arg(o.notSent.size())
                     .arg(o.cancelled ? QStringLiteral(" (envio cancelado)") : QString());
    return lines;
}
