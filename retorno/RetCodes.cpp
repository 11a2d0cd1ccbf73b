#include "RetCodes.h"

RetCodes::Kind RetCodes::kindOf(const QString& code)
{
    const int n = code.size() == 2 ? code.toInt() : -1;
    switch (n) {
    case 2:
        return Kind::Entry;
    case 3:
        return Kind::Rejection;
    case 6:
    case 17:
        return Kind::Settlement;
    case 9:
    case 10:
        return Kind::WriteOff;
    case 23:
        return Kind::Protest;
    case 28:
        return Kind::Fee;
    default:
        return Kind::Other;
    }
}

QString RetCodes::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Entry:
        return QStringLiteral("Entradas confirmadas");
    case Kind::Rejection:
        return QStringLiteral("Entradas rejeitadas");
    case Kind::Settlement:
        return QStringLiteral("Liquidações");
    case Kind::WriteOff:
        return QStringLiteral("Baixas");
    case Kind::Protest:
        return QStringLiteral("Encaminhados a protesto");
    case Kind::Fee:
        return QStringLiteral("Débitos de tarifas");
    case Kind::Other:
        break;
    }
    return QStringLiteral("Outras ocorrências");
}

QString RetCodes::occurrenceText(const QString& code)
{
    static const struct {
        const char* code;
        const char* text;
    } known[] = {
        {"02", "entrada confirmada"},
        {"03", "entrada rejeitada"},
        {"06", "liquidação"},
        {"09", "baixa"},
        {"10", "baixa a pedido do beneficiário"},
        {"12", "abatimento concedido"},
        {"14", "vencimento alterado"},
        {"17", "liquidação após baixa"},
        {"23", "encaminhado a protesto"},
        {"28", "débito de tarifas"},
    };
    for (const auto& k : known) {
        if (code == QLatin1StringView(k.code))
            return QString::fromUtf8(k.text);
    }
    return QStringLiteral("ocorrência %1").arg(code);
}

QStringList RetCodes::reasons(const QString& motRej)
{
    QStringList out;
    for (qsizetype i = 0; i < motRej.size(); i += 2) {
        const QString r = motRej.mid(i, 2).trimmed();
        if (!r.isEmpty() && r != QStringLiteral("00"))
            out << r;
    }
    return out;
}

QString RetCodes::reasonText(const QString& reason)
{
    static const struct {
        const char* code;
        const char* text;
    } known[] = {
        {"01", "Código do banco inválido"},
        {"08", "Nosso número inválido"},
        {"16", "Data de vencimento inválida"},
        {"20", "Valor do título inválido"},
        {"45", "Nome do sacado não informado"},
        {"46", "Inscrição do sacado inválida"},
        {"48", "CEP inválido"},
    };
    for (const auto& k : known) {
        if (reason == QLatin1StringView(k.code))
            return QString::fromUtf8(k.text);
    }
    return QStringLiteral("motivo %1").arg(reason);
}

QString RetCodes::reasonsText(const QString& motRej)
{
    QStringList texts;
    for (const QString& r : reasons(motRej))
        texts << reasonText(r);
    return texts.join(QStringLiteral("; "));
}

RetCodes::Situacao RetCodes::situacaoOf(const QString& latestCode)
{
    switch (kindOf(latestCode)) {
    case Kind::Settlement:
        return Situacao::Liquidado;
    case Kind::WriteOff:
        return Situacao::Baixado;
    case Kind::Rejection:
        return Situacao::Rejeitado;
    case Kind::Protest:
        return Situacao::EmProtesto;
    default:
        return Situacao::EmAberto;
    }
}

QString RetCodes::situacaoText(Situacao s)
{
    switch (s) {
    case Situacao::Liquidado:
        return QStringLiteral("Liquidado");
    case Situacao::Baixado:
        return QStringLiteral("Baixado");
    case Situacao::Rejeitado:
        return QStringLiteral("Rejeitado");
    case Situacao::EmProtesto:
        return QStringLiteral("Em protesto");
    case Situacao::EmAberto:
        break;
    }
    return QStringLiteral("Em aberto");
}
