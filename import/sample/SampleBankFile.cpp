#include "SampleBankFile.h"

#include "BankConversions.h"
#include "BankFileWriter.h"
#include "PixPayload.h"

#include <QStringList>

namespace {
using Title = BankFileWriter::Title;

// Taxpayer numbers with the right check digits, so that nothing about them looks wrong;
// the bases are invented.
QString withDigits(const QString& base, const QList<int>& firstWeights)
{
    QString number = base;
    for (int round = 0; round < 2; ++round) {
        int sum = 0;
        const int offset = round == 0 ? 1 : 0;
        for (int i = 0; i < number.size(); ++i)
            sum += number.at(i).digitValue() * firstWeights.at(i + offset);
        const int r = sum % 11;
        number += QString::number(r < 2 ? 0 : 11 - r);
    }
    return number;
}

QString cpf(int seed)
{
    const QString base = QStringLiteral("%1").arg(271828182 + seed * 7919, 9, 10, QLatin1Char('0'));
    return QStringLiteral("000") + withDigits(base, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2});
}

QString cnpj(const QString& twelve)
{
    return withDigits(twelve, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2});
}

// A check digit other than the right one.
QString wrongDigit(const QString& digits)
{
    const char right = BankConversions::CalculaDigito(digits.toLatin1());
    return QString(QLatin1Char(right == '7' ? '3' : '7'));
}

struct Payer {
    QString name, street, district, cep, city, state;
};

// Payers of the sample, one a line: name, street, district, CEP, city and state (UTF-8 here;
// the file gets them in Windows-1252).
constexpr char kPayerLines[] =
    R"(JOSÉ DA CONCEIÇÃO|RUA DAS ACÁCIAS, 123|JD AMÉRICA|13015904|CAMPINAS|SP
MARIA APARECIDA GONÇALVES|AV. BRASIL, 2045 AP 31|CENTRO|80010000|CURITIBA|PR
JOÃO BATISTA DE ASSUNÇÃO|TRAVESSA DO OUVIDOR, 7|LAPA|20040030|RIO DE JANEIRO|RJ
ANA LÚCIA FERNANDES|RUA PIAUÍ, 88|SAVASSI|30150320|BELO HORIZONTE|MG
ANTÔNIO CARLOS MONTEIRO|RUA GENERAL OSÓRIO, 510|VILA TIBÉRIO|14050100|RIBEIRÃO PRETO|SP
FRANCISCA DAS CHAGAS LIMA|RUA SÃO BENTO, 1200|CENTRO|01011100|SÃO PAULO|SP
PAULO SÉRGIO RIBEIRO|RODOVIA SC-401, KM 4|SACO GRANDE|88032005|FLORIANÓPOLIS|SC
LUÍZA HELENA PRADO|RUA MARECHAL DEODORO, 45|CENTRO|90010300|PORTO ALEGRE|RS
SEBASTIÃO ALVES CORRÊA|AV. ANHANGÜERA, 3300|SETOR OESTE|74110010|GOIÂNIA|GO
CLÁUDIA REGINA TAVARES|RUA DA AURORA, 220|BOA VISTA|50050000|RECIFE|PE
MÁRCIO VINÍCIUS ARRUDA|AV. SETE DE SETEMBRO, 90|VITÓRIA|40080001|SALVADOR|BA
PADARIA PÃO DOURADO LTDA|RUA XV DE NOVEMBRO, 1500|CENTRO|89010001|BLUMENAU|SC
MERCEARIA BOA ESPERANÇA ME|RUA CEARÁ, 312|FÁTIMA|60040230|FORTALEZA|CE
TERESA CRISTINA BRANDÃO|RUA DOM PEDRO II, 77|CENTRO|36010010|JUIZ DE FORA|MG
ÍRIS MAGALHÃES DE SÁ|AV. BEIRA-MAR, 4100|MEIRELES|60165121|FORTALEZA|CE)";

const std::vector<Payer>& payers()
{
    static const std::vector<Payer> all = [] {
        std::vector<Payer> out;
        for (const QString& line : QString::fromUtf8(kPayerLines).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('|'));
            out.push_back({f.at(0), f.at(1), f.at(2), f.at(3), f.at(4), f.at(5)});
        }
        return out;
    }();
    return all;
}

const Payer& payer(int n)
{
    return payers()[std::size_t(n) % payers().size()];
}

void setPayer(Title& t, const Payer& p)
{
    t.sacado = p.name;
    t.endereco = p.street;
    t.bairro = p.district;
    t.cep = p.cep;
    t.cidade = p.city;
    t.estado = p.state;
}

struct Beneficiary {
    const char *name, *carteira, *agencia, *contrato, *cnpjBase, *message, *instruction;
};

const Beneficiary kBeneficiaries[] = {
    {"CONFECÇÕES ARAÚJO LTDA", "01", "0341", "00123456", "123456780001",
     "PEDIDO DE CONFECÇÕES. OBRIGADO PELA PREFERÊNCIA!",
     "APÓS O VENCIMENTO COBRAR MULTA CONFORME INDICADO. NÃO RECEBER APÓS 60 DIAS."},
    {"ESCOLA SÃO JOÃO DO IPÊ", "01", "1507", "00098765", "987654320001",
     "MENSALIDADE ESCOLAR. DÚVIDAS: SECRETARIA, DE SEGUNDA A SEXTA.",
     "CONCEDER DESCONTO ATÉ A DATA INDICADA. APÓS O VENCIMENTO COBRAR JUROS DE MORA."},
    {"CONDOMÍNIO EDIFÍCIO JACARANDÁ", "02", "2210", "00045678", "456789120001",
     "TAXA CONDOMINIAL. ASSEMBLÉIA GERAL ORDINÁRIA EM 15/03/2027.",
     "SR. CAIXA: NÃO DISPENSAR JUROS E MULTA. PROTESTAR APÓS 30 DIAS DO VENCIMENTO."},
};

// What makes a title of the sample special; most are plain.
enum class Kind {
    Plain,
    LateFeeAmount,
    LateFeePercent,
    OnSight,
    OnPresentation,
    Discount,
    BadNossoNumero,
    BadContract,
    ZeroValue,
    OverCeiling,
    Carteira5,
    TwoReasons,
};

using enum Kind;
const Kind kKinds[SampleBankFile::kTitles] = {
    // Confecções Araújo
    Plain, LateFeeAmount, LateFeePercent, OnSight, Plain, BadNossoNumero, Discount, LateFeePercent,
    Plain, ZeroValue,
    // Escola São João do Ipê
    Discount, Discount, LateFeePercent, OnPresentation, Plain, BadContract, Discount, LateFeeAmount,
    OverCeiling, Plain,
    // Condomínio Edifício Jacarandá
    LateFeePercent, LateFeePercent, OnSight, Plain, Carteira5, LateFeePercent, TwoReasons, Discount,
    LateFeeAmount, Plain};

Title sampleTitle(int index)
{
    const Beneficiary& b = kBeneficiaries[index / 10];
    const Payer& p = payer(index * 7);
    Title t;
    t.agencia = QString::fromLatin1(b.agencia);
    t.contrato = QString::fromLatin1(b.contrato);
    t.nossoNumero = QStringLiteral("%1").arg(2600000101LL + index * 13, 10, 10, QLatin1Char('0'));
    t.seuNumero = QStringLiteral("NF%1").arg(4100 + index, 6, 10, QLatin1Char('0'));
    t.cpfCnpjCedente = QStringLiteral("0") + cnpj(QString::fromLatin1(b.cnpjBase));
    const QDate issued = QDate(2026, 11, 2).addDays(index);
    const QDate due = QDate(2026, 12, 15).addDays(index * 12); // December 2026 to 2027
    t.emissao = BankFileWriter::ddmmyy(issued);
    t.vencimento = BankFileWriter::ddmmyy(due);
    const qint64 value = 8990 + qint64(index) * 4127 + (index % 4) * 150000;
    t.valor = BankFileWriter::cents(value);
    t.jurosDia = BankFileWriter::cents(value / 1000); // 0,1% a day
    t.especie = index / 10 == 1 ? QStringLiteral("02") : QStringLiteral("01");
    t.cpfCnpjSacado =
        index % 5 == 4 ? cnpj(QStringLiteral("%1").arg(112233440001LL + index * 100)) : cpf(index);
    setPayer(t, p);
    if (index % 6 == 2)
        t.avalista = QStringLiteral("GARANTIDORA PAULISTA S/A");

    switch (kKinds[index]) {
    case Kind::Plain:
        break;
    case Kind::LateFeeAmount:
        t.multaCodigo = QStringLiteral("1");
        t.multa = BankFileWriter::cents(500);
        t.multaData = BankFileWriter::ddmmyy(due.addDays(1));
        break;
    case Kind::LateFeePercent:
        t.multaCodigo = QStringLiteral("2");
        t.multa = BankFileWriter::cents(200); // 2,00%
        t.multaData = BankFileWriter::ddmmyy(due.addDays(1));
        break;
    case Kind::OnSight:
        t.vencimento = QStringLiteral("999999");
        t.jurosDia = BankFileWriter::cents(0);
        break;
    case Kind::OnPresentation:
        t.vencimento = QStringLiteral("888888");
        t.jurosDia = BankFileWriter::cents(0);
        break;
    case Kind::Discount:
        t.descontoAte = BankFileWriter::ddmmyy(due.addDays(-5));
        t.desconto = BankFileWriter::cents(value / 20); // 5%
        if (index % 2 == 0)
            t.abatimento = BankFileWriter::cents(1000);
        break;
    case Kind::BadNossoNumero:
        t.nossoNumeroDigito = wrongDigit(t.agencia + t.nossoNumero);
        break;
    case Kind::BadContract:
        t.contratoDigito = wrongDigit(t.agencia + t.contrato);
        break;
    case Kind::ZeroValue:
        t.valor = BankFileWriter::cents(0);
        break;
    case Kind::OverCeiling:
        t.valor = BankFileWriter::cents(12000000000LL); // 120 million
        break;
    case Kind::Carteira5:
        t.carteira = QStringLiteral("5");
        break;
    case Kind::TwoReasons:
        t.contratoDigito = wrongDigit(t.agencia + t.contrato);
        t.vencimento = QStringLiteral("150300"); // a typo in the year: 15/03/2000
        break;
    }
    return t;
}
} // namespace

void SampleBankFile::write(BankFileWriter& out)
{
    for (int index = 0; index < kTitles; ++index) {
        const Beneficiary& b = kBeneficiaries[index / 10];
        if (index % 10 == 0)
            out.header(QString::fromLatin1(b.carteira), QString::fromUtf8(b.name));
        out.title(sampleTitle(index));
        // A few titles go without a message or without instructions.
        if (index % 7 != 3)
            out.message(QString::fromUtf8(b.message));
        if (index % 9 != 4)
            out.instruction(QString::fromUtf8(b.instruction));
    }
    out.trailer();
}

void SampleBankFile::writeRealistic(BankFileWriter& out, int titles, bool pix)
{
    // Each beneficiary's share of the file, and the sample's valid titles of each, whose
    // kinds (late fees, discounts, on sight...) the bulk titles take in turn.
    constexpr int kShare[] = {50, 30, 20};
    const int valid[3][8] = {{0, 1, 2, 3, 4, 6, 7, 8},
                             {10, 11, 12, 13, 14, 16, 17, 19},
                             {20, 21, 22, 23, 25, 27, 28, 29}};
    int written = 0;
    for (int b = 0; b < 3; ++b) {
        const Beneficiary& ben = kBeneficiaries[b];
        const int count = b == 2 ? titles - written : titles * kShare[b] / 100;
        out.header(QString::fromLatin1(ben.carteira), QString::fromUtf8(ben.name));
        for (int i = 0; i < count; ++i, ++written) {
            Title t = sampleTitle(valid[b][i % 8]);
            // Payers vary beside the kinds, as an office's do.
            const Payer& p = payer(written * 7 + i / 8);
            t.nossoNumero = QStringLiteral("%1").arg(written + 1, 10, 10, QLatin1Char('0'));
            t.seuNumero = QStringLiteral("NF%1").arg(written + 1, 8, 10, QLatin1Char('0'));
            // The sample's value of the kind, give or take some centavos.
            const int base = valid[b][i % 8];
            t.valor = BankFileWriter::cents(8990 + qint64(base) * 4127 + (base % 4) * 150000 +
                                            written % 100);
            t.cpfCnpjSacado = written % 5 == 4
                                  ? cnpj(QStringLiteral("%1").arg(112233440001LL + written * 100))
                                  : cpf(written);
            setPayer(t, p);
            out.title(t);
            out.message(QString::fromUtf8(ben.message));
            out.instruction(QString::fromUtf8(ben.instruction));
            if (pix)
                out.pix(pixPayload(t, QString::fromUtf8(ben.name)));
        }
    }
    out.trailer();
}

QStringList SampleBankFile::beneficiaries()
{
    QStringList names;
    for (const Beneficiary& b : kBeneficiaries)
        names << QString::fromUtf8(b.name);
    return names;
}

QString SampleBankFile::pixPayload(const BankFileWriter::Title& t, const QString& beneficiary)
{
    // A static payload of the title, as a bank that registers one might send it; the key
    // is the central bank's example key.
    const QString nossoNumero =
        t.nossoNumero + (t.nossoNumeroDigito.isEmpty()
                             ? QString(QLatin1Char(BankConversions::CalculaDigito(
                                   (t.agencia + t.nossoNumero).toLatin1())))
                             : t.nossoNumeroDigito);
    return PixPayload::build({QStringLiteral("123e4567-e12b-12d1-a456-426655440000"),
                              t.valor.toLongLong(), beneficiary, QStringLiteral("São Paulo"),
                              nossoNumero});
}

void SampleBankFile::writeBulk(BankFileWriter& out, int titles, bool pix)
{
    const Beneficiary& b = kBeneficiaries[0];
    out.header(QString::fromLatin1(b.carteira), QString::fromUtf8(b.name));
    const QString message = QString::fromUtf8(b.message);
    const QString instruction = QString::fromUtf8(b.instruction);
    for (int i = 0; i < titles; ++i) {
        Title t = sampleTitle(i % 10 == 5 || i % 10 == 9 ? 0 : i % 10); // valid ones only
        t.nossoNumero = QStringLiteral("%1").arg(i + 1, 10, 10, QLatin1Char('0'));
        t.seuNumero = QStringLiteral("%1").arg(i + 1, 10, 10, QLatin1Char('0'));
        out.title(t);
        out.message(message);
        out.instruction(instruction);
        if (pix)
            out.pix(pixPayload(t, QString::fromUtf8(b.name)));
    }
    out.trailer();
}
