// The layout table itself: a field typed over its neighbour would read or write the
// wrong columns in both the import and the test files alike, so no test of either side
// would notice.

#include "BankLayout.h"

#include <QtTest>

using namespace BankLayout;

namespace {
struct Named {
    const char* name;
    Field field;
};

// The fields of one record kind that do not include one another.
const QList<Named> kTitleFields = {
    {"type", kType},
    {"inscrição", kInscricao},
    {"multa código", kMultaCodigo},
    {"multa", kMulta},
    {"multa data", kMultaData},
    {"contrato", kContrato},
    {"contrato dígito", kContratoDigito},
    {"agência", kAgencia},
    {"nosso número", kNossoNumero},
    {"nosso número dígito", kNossoNumeroDigito},
    {"CPF/CNPJ cedente", kCpfCnpjCedente},
    {"quantidade", kQuantidade},
    {"carteira", kCarteira},
    {"seu número", kSeuNumero},
    {"vencimento", kVencimento},
    {"valor", kValor},
    {"espécie", kEspecie},
    {"aceite", kAceite},
    {"emissão", kEmissao},
    {"juros dia", kJurosDia},
    {"desconto até", kDescontoAte},
    {"desconto", kDesconto},
    {"abatimento", kAbatimento},
    {"CPF/CNPJ sacado", kCpfCnpjSacado},
    {"sacado", kSacado},
    {"endereço", kEndereco},
    {"bairro", kBairro},
    {"CEP", kCep},
    {"cidade", kCidade},
    {"estado", kEstado},
    {"avalista", kAvalista},
    {"moeda", kMoeda},
    {"sequência", kSequence},
};
const QList<Named> kHeaderFields = {
    {"type", kType},
    {"remessa", kHeaderRemessa},
    {"carteira", kHeaderCarteira},
    {"serviço", kHeaderServico},
    {"cedente", kHeaderCedente},
    {"banco", kHeaderBanco},
    {"sequência", kSequence},
};
const QList<Named> kTextFields = {{"type", kType}, {"texto", kTexto}, {"sequência", kSequence}};

bool inOrderWithoutOverlap(const QList<Named>& fields, QString* why)
{
    int last = 0;
    for (const Named& n : fields) {
        if (n.field.first <= last || n.field.last < n.field.first || n.field.last > 400) {
            *why = QString::fromUtf8(n.name);
            return false;
        }
        last = n.field.last;
    }
    return true;
}
} // namespace

Q_DECLARE_METATYPE(QList<Named>)

class TstBankLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldsLieInOrderWithoutOverlap_data()
    {
        QTest::addColumn<QList<Named>>("fields");
        QTest::newRow("header") << kHeaderFields;
        QTest::newRow("title") << kTitleFields;
        QTest::newRow("message and instruction") << kTextFields;
    }
    void fieldsLieInOrderWithoutOverlap()
    {
        QFETCH(QList<Named>, fields);
        QString why;
        QVERIFY2(inOrderWithoutOverlap(fields, &why), qPrintable(why));
    }

    void storedKeysTakeTheirCheckDigits()
    {
        QCOMPARE(kContratoComDigito.first, kContrato.first);
        QCOMPARE(kContratoComDigito.last, kContratoDigito.last);
        QCOMPARE(kContratoDigito.first, kContrato.last + 1);
        QCOMPARE(kNossoNumeroComDigito.first, kNossoNumero.first);
        QCOMPARE(kNossoNumeroComDigito.last, kNossoNumeroDigito.last);
        QCOMPARE(kNossoNumeroDigito.first, kNossoNumero.last + 1);
    }
};

QTEST_GUILESS_MAIN(TstBankLayout)
#include "tst_banklayout.moc"
