#include "RelBloqueto.h"

#include "BloquetoCode.h"
#include "BloquetoTexts.h"
#include "BlqStatements.h"
#include "IniFile.h"
#include "Interleaved2of5.h"
#include "KvError.h"
#include "Report.h"

#include <QRectF>

namespace {
const QString kFieldAge = QStringLiteral("BlqAgeCod");

// Height of the barcode's box and of its bars, in tenths of a millimetre.
constexpr double kBarcodeBoxHeight = 151.0;
constexpr double kBarHeight = 130.0;
constexpr double kUmPerTenth = 100.0;

QString numbered(const QString& stem, int k)
{
    return stem + QString::number(k);
}
} // namespace

// The page definition and its pictures live in a static library: pull them in.
static void initResources()
{
    Q_INIT_RESOURCE(bloqueto);
}

RelBloqueto::RelBloqueto() : m_source(qryTitulo, QStringLiteral("qryTitulo"))
{
    initResources();
    rptBloqueto = TRpReport::fromFile(definitionPath());
    rptBloqueto->DataSet = &m_source;
    rptBloqueto->bindBeforePrint(
        QStringLiteral("RpBand1BeforePrint"),
        [this](TRpBand& band, bool& print) { RpBand1BeforePrint(band, print); });
    rptBloqueto->bindOnPrint(QStringLiteral("qdbMovTitVal1Print"),
                             [this](TRpDBText& t, QString& v) { qdbMovTitVal1Print(t, v); });
    rptBloqueto->bindOnPrint(QStringLiteral("qdbMovTitVal2Print"),
                             [this](TRpDBText& t, QString& v) { qdbMovTitVal2Print(t, v); });
    rptBloqueto->bindOnPrint(QStringLiteral("qdbMovTitVal3Print"),
                             [this](TRpDBText& t, QString& v) { qdbMovTitVal3Print(t, v); });
    qryTitulo.sql() = BlqStatements::bloquetosByContract();
}

RelBloqueto::~RelBloqueto() = default;

void RelBloqueto::selectValidInFileOrder()
{
    qryTitulo.close();
    qryTitulo.clearSql();
    for (const QString& line : BlqStatements::bloquetosInFileOrder())
        qryTitulo.addLine(line);
    qryTitulo.open();
}

void RelBloqueto::produce(TRpPrinter& store)
{
    rptBloqueto->produce(store);
}

void RelBloqueto::RpBand1BeforePrint(TRpBand&, bool&)
{
    TRpReport& r = *rptBloqueto;

    const bool quantity = qryTitulo.asInteger(QStringLiteral("BlqQtdMoe")) != 0;
    r.dbText(QStringLiteral("qdbBlqQtdMoe1")).Enabled = quantity;
    r.dbText(QStringLiteral("qdbBlqQtdMoe2")).Enabled = quantity;

    const QString beneficiary = qryTitulo.asString(QStringLiteral("BlqNomCed"));
    if (beneficiary != CachedBeneficiary) {
        CachedBeneficiary = beneficiary;
        LeArquivoIni();
    }

    const QString due =
        BloquetoTexts::dueDateCaption(qryTitulo.asBool(QStringLiteral("BlqIdcAvi")),
                                      qryTitulo.asBool(QStringLiteral("BlqIdcCAp")),
                                      qryTitulo.asDate(QStringLiteral("BlqDatVen")));
    r.label(QStringLiteral("qLblDatVen1")).Caption = due;
    r.label(QStringLiteral("qLblDatVen2")).Caption = due;
    r.label(QStringLiteral("qLblDatVen3")).Caption = due;

    const QStringList message = BloquetoTexts::slices(qryTitulo.asString(QStringLiteral("BlqMsg")));
    const QStringList instructions =
        BloquetoTexts::slices(qryTitulo.asString(QStringLiteral("BlqIns")));
    for (int k = 1; k <= BloquetoTexts::kSliceCount; ++k) {
        r.label(numbered(QStringLiteral("RpLblLinhaMensagem"), k)).Caption = message.at(k - 1);
        r.label(numbered(QStringLiteral("RpLblLinha"), k)).Caption = instructions.at(k - 1);
    }

    BloquetoTexts::Charges charges;
    charges.jurosDia = qryTitulo.asCents(QStringLiteral("BlqJurDiaVal"));
    charges.multa = qryTitulo.asCents(QStringLiteral("BlqValMul"));
    charges.datMulta = qryTitulo.asDate(QStringLiteral("BlqDatMul"));
    charges.desconto = qryTitulo.asCents(QStringLiteral("BlqDstVal"));
    charges.descontoLimite = qryTitulo.asDate(QStringLiteral("BlqDstDatLim")).startOfDay();
    charges.abatimento = qryTitulo.asCents(QStringLiteral("BlqAbtAtrVal"));
    const QStringList lines = BloquetoTexts::chargeInstructions(charges);
    r.memo(QStringLiteral("qMemInstrucoes1")).Lines = lines;
    r.memo(QStringLiteral("qMemInstrucoes2")).Lines = lines;

    BloquetoCode::Input in;
    in.ageCod = qryTitulo.asString(kFieldAge);
    in.nosNum = qryTitulo.asString(QStringLiteral("BlqNosNum"));
    in.ctrCod = qryTitulo.asString(QStringLiteral("BlqCtrCod"));
    in.cents = qryTitulo.asCents(QStringLiteral("BlqTitVal"));
    in.datVen = qryTitulo.asDate(QStringLiteral("BlqDatVen"));
    const BloquetoCode code = BloquetoCode::compose(in);
    r.drawing(QStringLiteral("qLblCodBarra")).Bars = barcodeBars(code.barcode());
    r.label(QStringLiteral("qLblLinhaDig")).Caption = code.typeableLine();
}

void RelBloqueto::LeArquivoIni()
{
    ++m_logoLoads;
    const IniFile ini = KvSettings::file();
    ReciboPath = ini.readString(CachedBeneficiary, QStringLiteral("Recibo"));
    ComprovantePath = ini.readString(CachedBeneficiary, QStringLiteral("Comprovante"));

    TRpReport& r = *rptBloqueto;
    try {
        TRpImage& recibo = r.image(QStringLiteral("RpImage1"));
        if (!ReciboPath.isEmpty())
            recibo.loadFromFile(ReciboPath);
        else
            recibo.assign(r.image(QStringLiteral("ImageRecibo")));
        TRpImage& comprovante = r.image(QStringLiteral("RpImage5"));
        if (!ComprovantePath.isEmpty())
            comprovante.loadFromFile(ComprovantePath);
        else
            comprovante.assign(r.image(QStringLiteral("ImageComprovante")));
    } catch (const RpFileOpenError&) {
        throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado"));
    }
}

void RelBloqueto::blankZeroValue(QString& value) const
{
    if (qryTitulo.asCents(QStringLiteral("BlqTitVal")) == 0)
        value.clear();
}

void RelBloqueto::qdbMovTitVal1Print(TRpDBText&, QString& value)
{
    blankZeroValue(value);
}

void RelBloqueto::qdbMovTitVal2Print(TRpDBText&, QString& value)
{
    blankZeroValue(value);
}

void RelBloqueto::qdbMovTitVal3Print(TRpDBText&, QString& value)
{
    blankZeroValue(value);
}

QList<QRectF> RelBloqueto::barcodeBars(const QString& digits)
{
    const double left = Interleaved2of5::kLightMargin / kUmPerTenth;
    const double top = (kBarcodeBoxHeight - kBarHeight) / 2;
    QList<QRectF> out;
    for (const Interleaved2of5::Bar& b : Interleaved2of5::bars(digits))
        out.append(QRectF(left + b.x / kUmPerTenth, top, b.width / kUmPerTenth, kBarHeight));
    return out;
}
