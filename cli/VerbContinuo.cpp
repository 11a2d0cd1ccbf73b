#include "ContinuoRun.h"
#include "ContinuoSelection.h"
#include "KvError.h"
#include "PortChannel.h"
#include "Verb.h"

#include <QRegularExpression>

namespace {
QString usage()
{
    return QStringLiteral("--modelo pequeno|grande [--contrato AGÊNCIA/CONTRATO] SAIDA");
}

[[noreturn]] void badUsage(const QString& why)
{
    throw KvError(why + QStringLiteral("\nUso: kvcob-lote continuo ") + usage());
}

struct Options {
    FormModel model = FormModel::Large;
    bool modelGiven = false;
    bool allContracts = true;
    QString agency;
    QString contract;
    QString output;
};

// "--name value" or "--name=value"; false when the argument is not that option.
bool takeOption(QStringList& args, const QString& name, QString* value)
{
    const QString arg = args.first();
    if (arg == name) {
        args.removeFirst();
        if (args.isEmpty())
            badUsage(QStringLiteral("Falta o valor de %1.").arg(name));
        *value = args.takeFirst();
        return true;
    }
    if (arg.startsWith(name + QLatin1Char('='))) {
        *value = arg.mid(name.size() + 1);
        args.removeFirst();
        return true;
    }
    return false;
}

Options parse(QStringList args)
{
    Options o;
    static const QRegularExpression contractPattern(QStringLiteral("^(\\d+)/(\\d+)$"));
    while (!args.isEmpty()) {
        QString value;
        if (takeOption(args, QStringLiteral("--modelo"), &value)) {
            if (value == QStringLiteral("pequeno"))
                o.model = FormModel::Small;
            else if (value == QStringLiteral("grande"))
                o.model = FormModel::Large;
            else
                badUsage(
                    QStringLiteral("Modelo desconhecido: %1 (use pequeno ou grande).").arg(value));
            o.modelGiven = true;
        } else if (takeOption(args, QStringLiteral("--contrato"), &value)) {
            const QRegularExpressionMatch m = contractPattern.match(value.trimmed());
            if (!m.hasMatch()) {
                badUsage(QStringLiteral("Contrato inválido: '%1'. Informe a agência e o contrato "
                                        "como estão na base, em algarismos, por exemplo "
                                        "0123/567890123.")
                             .arg(value));
            }
            o.allContracts = false;
            o.agency = m.captured(1);
            o.contract = m.captured(2);
        } else if (args.first().startsWith(QStringLiteral("--"))) {
            badUsage(QStringLiteral("Opção desconhecida: %1").arg(args.first()));
        } else {
            if (!o.output.isEmpty())
                badUsage(QStringLiteral("Informe uma só saída."));
            o.output = args.takeFirst();
        }
    }
    if (!o.modelGiven)
        badUsage(QStringLiteral("Informe o modelo do formulário."));
    if (o.output.isEmpty())
        badUsage(QStringLiteral("Informe a saída: um arquivo ou uma porta (LPT1)."));
    return o;
}

int run(const QStringList& args)
{
    const Options o = parse(args);
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
    return {QStringLiteral("continuo"), usage(),
            QStringLiteral("imprime os bloquetos válidos em formulário contínuo, num arquivo "
                           "ou numa porta configurada em kvcob.conf"),
            &run};
}
