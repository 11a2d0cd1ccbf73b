#include "ContinuoRun.h"
#include "ContinuoSelection.h"
#include "KvError.h"
#include "PortChannel.h"
#include "Verb.h"

#include <QRegularExpression>

namespace {
const QString kModelo = QStringLiteral("modelo");
const QString kContrato = QStringLiteral("contrato");

struct Options {
    FormModel model = FormModel::Large;
    bool allContracts = true;
    QString agency;
    QString contract;
    QString output;
};

Options parse(const Verb& verb, const QCommandLineParser& args)
{
    Options o;
    if (!args.isSet(kModelo))
        verb.badUsage(QStringLiteral("Informe o modelo do formulário."));
    const QString model = args.value(kModelo);
    if (model == QStringLiteral("pequeno"))
        o.model = FormModel::Small;
    else if (model == QStringLiteral("grande"))
        o.model = FormModel::Large;
    else
        verb.badUsage(
            QStringLiteral("Modelo desconhecido: %1 (use pequeno ou grande).").arg(model));
    // "Todos" is what the window's contract box shows for every contract.
    if (args.isSet(kContrato) && args.value(kContrato).trimmed().compare(
                                     QStringLiteral("Todos"), Qt::CaseInsensitive) != 0) {
        static const QRegularExpression contractPattern(QStringLiteral("^(\\d+)/(\\d+)$"));
        const QString value = args.value(kContrato);
        const QRegularExpressionMatch m = contractPattern.match(value.trimmed());
        if (!m.hasMatch()) {
            verb.badUsage(QStringLiteral("Contrato inválido: '%1'. Informe a agência e o contrato "
                                         "como estão na base, em algarismos, por exemplo "
                                         "0123/567890123.")
                              .arg(value));
        }
        o.allContracts = false;
        o.agency = m.captured(1);
        o.contract = m.captured(2);
    }
    const QStringList outputs = args.positionalArguments();
    if (outputs.size() > 1)
        verb.badUsage(QStringLiteral("Informe uma só saída."));
    if (outputs.isEmpty())
        verb.badUsage(QStringLiteral("Informe a saída: um arquivo ou uma porta (LPT1)."));
    o.output = outputs.first();
    return o;
}

int run(const Verb& verb, const QCommandLineParser& args)
{
    const Options o = parse(verb, args);
    const QList<BlqTitle> rows = ContinuoSelection::rows(o.allContracts, o.agency, o.contract);
    if (rows.isEmpty()) {
        throw KvError(o.allContracts
                          ? QStringLiteral("Não há bloquetos válidos para imprimir")
                          : QStringLiteral("Não há bloquetos válidos para o contrato %1/%2")
                                .arg(o.agency, o.contract));
    }
    // No one stands at the printer: the first form counts as aligned.
    ContinuoRun::Hooks hooks;
    hooks.model = [&o] { return o.model; };
    PortChannel channel(o.output);
    const ContinuoRun::Result result = ContinuoRun::run(rows, 0, channel, hooks);
    printOut(QStringLiteral("Bloquetos impressos: %1").arg(result.passes));
    return 0;
}
} // namespace

Verb continuoVerb()
{
    Verb v(QStringLiteral("continuo"), QStringLiteral("SAIDA"),
           QStringLiteral("imprime os bloquetos válidos em formulário contínuo, num arquivo, "
                          "numa porta configurada em kvcob.conf ou numa fila do CUPS "
                          "(cups:FILA)"));
    v.options = {
        {kModelo, QStringLiteral("o formulário pré-impresso da impressora"),
         QStringLiteral("pequeno|grande")},
        {kContrato, QStringLiteral("só os títulos deste contrato (Todos: os de todos)"),
         QStringLiteral("AGÊNCIA/CONTRATO")},
    };
    v.required = {kModelo};
    v.run = &run;
    return v;
}
