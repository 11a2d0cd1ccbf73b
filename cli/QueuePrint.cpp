#include "QueuePrint.h"

#include "CupsQueues.h"
#include "KvError.h"
#include "TRpReport.h"

#include <QPrinter>
#include <QRegularExpression>

namespace {
const QString kQueue = QStringLiteral("impressora");
const QString kCopies = QStringLiteral("copias");
const QString kPages = QStringLiteral("paginas");
// What the print system takes at most (CUPS' MaxCopies by default is 9999).
constexpr int kMaxCopies = 999;

int copiesOf(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.isSet(kCopies))
        return 1;
    const QString text = args.value(kCopies).trimmed();
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > kMaxCopies)
        verb.badUsage(QStringLiteral("Número de cópias inválido: '%1'. Informe de 1 a %2.")
                          .arg(args.value(kCopies))
                          .arg(kMaxCopies));
    return n;
}

// "A-B" or a single page "A", pages counted from 1.
std::pair<int, int> pagesOf(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.isSet(kPages))
        return {0, 0};
    static const QRegularExpression range(QStringLiteral("^(\\d{1,6})(?:-(\\d{1,6}))?$"));
    const QRegularExpressionMatch m = range.match(args.value(kPages).trimmed());
    const int first = m.hasMatch() ? m.captured(1).toInt() : 0;
    const int last = m.hasMatch() && m.hasCaptured(2) ? m.captured(2).toInt() : first;
    if (first < 1 || last < first)
        verb.badUsage(QStringLiteral("Páginas inválidas: '%1'. Informe a primeira e a última "
                                     "página, por exemplo 2-5, ou uma só página.")
                          .arg(args.value(kPages)));
    return {first, last};
}
} // namespace

QList<QCommandLineOption> QueuePrint::options()
{
    return {
        {kQueue, QStringLiteral("imprime na fila FILA do CUPS em vez de gravar o PDF"),
         QStringLiteral("FILA")},
        {kCopies, QStringLiteral("cópias de cada página na impressora (1 por omissão)"),
         QStringLiteral("N")},
        {kPages, QStringLiteral("só as páginas de A a B na impressora"), QStringLiteral("A-B")},
    };
}

bool QueuePrint::requested(const Verb& verb, const QCommandLineParser& args)
{
    const bool queue = args.isSet(kQueue);
    if (!queue && (args.isSet(kCopies) || args.isSet(kPages)))
        verb.badUsage(QStringLiteral("--copias e --paginas valem só com --impressora."));
    if (queue && !args.positionalArguments().isEmpty())
        verb.badUsage(QStringLiteral("Informe a impressora ou o arquivo PDF, não os dois."));
    return queue;
}

QueuePrint::Result QueuePrint::print(const Verb& verb, const QCommandLineParser& args,
                                     TRpReport& report)
{
    Result r;
    r.copies = copiesOf(verb, args);
    const auto [first, last] = pagesOf(verb, args);
    r.queue = CupsQueues::checkReady(args.value(kQueue).trimmed()).name;

    QPrinter& printer = report.printer();
    printer.setPrinterName(r.queue);
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != r.queue)
        throw KvError(QStringLiteral("A impressora %1 não pôde ser usada: o Qt não a encontrou "
                                     "entre as impressoras do sistema.")
                          .arg(r.queue));
    printer.setCopyCount(r.copies);
    printer.setFromTo(first, last);
    r.printed = report.printTo(printer, &r.produced);
    if (r.printed > 0)
        CupsQueues::checkSubmitted(r.queue);
    else if (r.produced > 0)
        throw KvError(QStringLiteral("O relatório tem %1 página(s), nenhuma entre %2 e %3: nada "
                                     "foi impresso.")
                          .arg(r.produced)
                          .arg(first)
                          .arg(last));
    return r;
}

QString QueuePrint::summary(const Result& r, const QString& what)
{
    QString text =
        QStringLiteral("%1 %2 enviado(s) à impressora %3").arg(r.printed).arg(what, r.queue);
    if (r.copies > 1)
        text += QStringLiteral(", %1 cópias").arg(r.copies);
    return text;
}
