#include "CupsQueues.h"

#include "KvError.h"

#include <cups/cups.h>

#include <QStringList>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {
QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString()).trimmed();
}

QString withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, reason);
}

[[noreturn]] void raiseServerDown(const QString& detail)
{
    throw KvError(
        withReason(QStringLiteral("O servidor de impressão (CUPS) em %1 não responde")
                       .arg(QString::fromUtf8(cupsServer())),
                   detail) +
        QStringLiteral(". Verifique se o serviço de impressão está ativo e tente de novo; "
                       "nada foi impresso."));
}

// One connection for one question; libcups' default connection would also look for
// printers on the network, which a batch run must not wait for.
class Connection {
public:
    Connection()
        : m_http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              10000, nullptr))
    {
        if (!m_http)
            raiseServerDown(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~Connection() { httpClose(m_http); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    http_t* get() const { return m_http; }

private:
    http_t* m_http;
};
} // namespace

QList<CupsQueues::Queue> CupsQueues::list()
{
    Connection http;
    static const char* const wanted[] = {"printer-name", "printer-state",
                                         "printer-is-accepting-jobs", "printer-state-message"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cupsDoRequest(http.get(), request, "/");
    QList<Queue> queues;
    if (!response) {
        // A server without queues answers "not found".
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            return queues;
        raiseServerDown(lastError());
    }
    Queue q;
    bool inPrinter = false;
    for (ipp_attribute_t* a = ippFirstAttribute(response);; a = ippNextAttribute(response)) {
        const bool printerAttr = a && ippGetGroupTag(a) == IPP_TAG_PRINTER;
        if (inPrinter && !printerAttr) {
            if (!q.name.isEmpty())
                queues << q;
            q = Queue();
        }
        inPrinter = printerAttr;
        if (!a)
            break;
        if (!printerAttr || !ippGetName(a))
            continue;
        const QByteArray name = ippGetName(a);
        if (name == "printer-name")
            q.name = QString::fromUtf8(ippGetString(a, 0, nullptr));
        else if (name == "printer-state")
            q.stopped = ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
        else if (name == "printer-is-accepting-jobs")
            q.accepting = ippGetBoolean(a, 0);
        else if (name == "printer-state-message")
            q.reason = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
    }
    ippDelete(response);
    return queues;
}

CupsQueues::Queue CupsQueues::checkReady(const QString& name)
{
    const QList<Queue> queues = list();
    QStringList names;
    for (const Queue& q : queues) {
        names << q.name;
        // Queue names are told apart without regard to case, as the server does.
        if (q.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!q.accepting) {
            throw KvError(withReason(QStringLiteral("A impressora %1 não está aceitando "
                                                    "trabalhos")
                                         .arg(q.name),
                                     q.reason) +
                          QStringLiteral(". Nada foi enviado; peça que a fila volte a aceitar "
                                         "trabalhos (cupsaccept %1) ou escolha outra.")
                              .arg(q.name));
        }
        if (q.stopped) {
            throw KvError(
                withReason(QStringLiteral("A impressora %1 está parada").arg(q.name), q.reason) +
                QStringLiteral(". Nada foi enviado; reative-a (cupsenable %1) e "
                               "repita a impressão.")
                    .arg(q.name));
        }
        return q;
    }
    names.sort(Qt::CaseInsensitive);
    throw KvError(QStringLiteral("Impressora %1 não encontrada\n").arg(name) +
                  (names.isEmpty()
                       ? QStringLiteral("Nenhuma impressora está instalada no servidor de "
                                        "impressão.")
                       : QStringLiteral("Impressoras disponíveis: %1")
                             .arg(names.join(QStringLiteral(", ")))));
}

QString CupsQueues::checkSubmitted(const QString& printerName)
{
    const QString name = printerName.section(QLatin1Char('/'), 0, 0); // without the instance
    const ipp_status_t status = cupsLastError();
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) // libcups could not connect
            raiseServerDown(lastError());
        throw KvError(
            QStringLiteral("A impressora %1 recusou o trabalho: %2").arg(name, lastError()));
    }
    const QList<Queue> queues = list();
    for (const Queue& q : queues) {
        if (q.name.compare(name, Qt::CaseInsensitive) == 0 && q.stopped) {
            return withReason(QStringLiteral("A impressora %1 está parada").arg(q.name), q.reason) +
                   QStringLiteral(": o trabalho ficou na fila e sai quando ela for reativada.");
        }
    }
    return {};
}
