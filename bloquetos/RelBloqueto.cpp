#include "RelBloqueto.h"

#include "BeneficiaryPix.h"
#include "BloquetoCode.h"
#include "BloquetoPix.h"
#include "BloquetoTexts.h"
#include "BlqStatements.h"
#include "BlqTitleRow.h"
#include "IniFile.h"
#include "Interleaved2of5.h"
#include "KvError.h"
#include "PixQrCode.h"
#include "Report.h"
#include "RpModules.h"
#include "RpTextWidths.h"
#include "RpTypes.h"
#include "TitulosStatements.h"
#include "UpdatedValue.h"

#include <QDir>
#include <QFontMetricsF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace {
// Height of the barcode's box and of its bars, in tenths of a millimetre.
constexpr double kBarcodeBoxHeight = 151.0;
constexpr double kBarHeight = 130.0;

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
    const TRpReport& r = *rptBloqueto;
    for (int i = 0; i < 2; ++i) {
        m_el.qdbBlqQtdMoe[i] = &r.dbText(numbered(QStringLiteral("qdbBlqQtdMoe"), i + 1));
        m_el.qMemInstrucoes[i] = &r.memo(numbered(QStringLiteral("qMemInstrucoes"), i + 1));
    }
    for (int i = 0; i < 3; ++i)
        m_el.qLblDatVen[i] = &r.label(numbered(QStringLiteral("qLblDatVen"), i + 1));
    for (int i = 0; i < BloquetoTexts::kSliceCount; ++i) {
        m_el.RpLblLinhaMensagem[i] =
            &r.label(numbered(QStringLiteral("RpLblLinhaMensagem"), i + 1));
        m_el.RpLblLinha[i] = &r.label(numbered(QStringLiteral("RpLblLinha"), i + 1));
    }
    m_el.qLblCodBarra = &r.drawing(QStringLiteral("qLblCodBarra"));
    m_el.qLblLinhaDig = &r.label(QStringLiteral("qLblLinhaDig"));
    m_el.RpImage1 = &r.image(QStringLiteral("RpImage1"));
    m_el.RpImage5 = &r.image(QStringLiteral("RpImage5"));
    m_el.ImageRecibo = &r.image(QStringLiteral("ImageRecibo"));
    m_el.ImageComprovante = &r.image(QStringLiteral("ImageComprovante"));
    m_el.qDrwPix = &r.drawing(QStringLiteral("qDrwPix"));
    m_el.RpLabelPagueComPix = &r.label(QStringLiteral("RpLabelPagueComPix"));
    m_el.qMemPixCopiaCola = &r.memo(QStringLiteral("qMemPixCopiaCola"));
    rptBloqueto->bindBeforePrint(
        QStringLiteral("RpBand1BeforePrint"),
        [this](TRpBand& band, bool& print) { RpBand1BeforePrint(band, print); });
    // The receipt, the voucher and the slip each show the value; one handler serves them.
    for (int k = 1; k <= 3; ++k) {
        rptBloqueto->bindOnPrint(numbered(QStringLiteral("qdbMovTitVal"), k) +
                                     QStringLiteral("Print"),
                                 [this](TRpDBText& t, QString& v) { qdbMovTitValPrint(t, v); });
    }
    qryTitulo.setStatement(BlqStatements::bloquetosByContract());
}

RelBloqueto::~RelBloqueto() = default;

void RelBloqueto::selectValidInFileOrder()
{
    qryTitulo.close();
    qryTitulo.clearSql();
    qryTitulo.setStatement(BlqStatements::bloquetosInFileOrder());
    qryTitulo.open();
}

void RelBloqueto::selectTitles(const QList<qint32>& seqs)
{
    qryTitulo.close();
    qryTitulo.clearSql();
    qryTitulo.setStatement(TitulosStatements::titlesInOrder(seqs));
    qryTitulo.open();
}

void RelBloqueto::produce(TRpPrinter& store)
{
    rptBloqueto->produce(store);
}

int RelBloqueto::writePdf(const QString& path)
{
    return rptBloqueto->writePdf(path);
}

void RelBloqueto::RpBand1BeforePrint(TRpBand&, bool&)
{
    m_title = BlqTitleRow::read(qryTitulo);
    const BlqTitle& t = m_title;
    const bool quantity = t.qtdMoe.value_or(0) != 0;
    for (TRpDBText* e : m_el.qdbBlqQtdMoe)
        e->Enabled = quantity;

    if (t.nomCed != CachedBeneficiary) {
        CachedBeneficiary = t.nomCed;
        LeArquivoIni();
        LeChavePix();
    }

    const QString due = BloquetoTexts::dueDateCaption(BlqTitle::isSet(t.idcAvi),
                                                      BlqTitle::isSet(t.idcCAp), t.datVen);
    for (TRpLabel* e : m_el.qLblDatVen)
        e->Caption = due;

    const QStringList message = BloquetoTexts::slices(t.msg);
    const QStringList instructions = BloquetoTexts::slices(t.ins);
    for (int k = 0; k < BloquetoTexts::kSliceCount; ++k) {
        m_el.RpLblLinhaMensagem[k]->Caption = message.at(k);
        m_el.RpLblLinha[k]->Caption = instructions.at(k);
    }
    if (updatedValueOn.isValid()) {
        const QString sentence = UpdatedValue::sentence(UpdatedValue::compute(t, updatedValueOn));
        if (!sentence.isEmpty()) {
            // The line after the instructions; six full lines give up their last one.
            int k = BloquetoTexts::kSliceCount - 1;
            while (k > 0 && instructions.at(k - 1).isEmpty())
                --k;
            m_el.RpLblLinha[k]->Caption = sentence;
        }
    }

    BloquetoTexts::Charges charges;
    charges.jurosDia = BlqTitle::cents(t.jurDiaVal);
    charges.multa = BlqTitle::cents(t.valMul);
    charges.datMulta = t.datMul;
    charges.desconto = BlqTitle::cents(t.dstVal);
    charges.descontoLimite = t.dstDatLim.startOfDay();
    charges.abatimento = BlqTitle::cents(t.abtAtrVal);
    const QStringList lines = BloquetoTexts::chargeInstructions(charges);
    for (TRpMemo* e : m_el.qMemInstrucoes)
        e->Lines = lines;

    const BloquetoCode::Input in = BloquetoCode::inputOf(t);
    const BloquetoCode code = BloquetoCode::compose(in);
    m_el.qLblCodBarra->Bars = barcodeBars(code.barcode());
    m_el.qLblLinhaDig->Caption = code.typeableLine();

    showPix(BloquetoPix::payload(BloquetoPix::titleOf(t), m_pixKey, m_pixCity));
    if (titleFilled)
        titleFilled(t, code);
}

void RelBloqueto::showPix(const QString& payload)
{
    m_pixPayload = payload;
    const bool show = !payload.isEmpty();
    m_el.qDrwPix->Enabled = show;
    m_el.RpLabelPagueComPix->Enabled = show;
    m_el.qMemPixCopiaCola->Enabled = show;
    if (!show) {
        m_el.qDrwPix->Modules.clear();
        m_el.qDrwPix->ModulesSize = 0;
        m_el.qMemPixCopiaCola->Lines.clear();
        return;
    }
    const PixQrCode qr(payload);
    m_el.qDrwPix->Modules = RpModules::pack(qr.size(), qr.modules().data());
    m_el.qDrwPix->ModulesSize = qr.size();
    m_el.qDrwPix->ModulesMargin = PixQrCode::kQuietZone;

    // The lines of the receipt's text, broken as the page measures them (micrometres).
    TRpMemo& memo = *m_el.qMemPixCopiaCola;
    // Measured as the page measures its texts, from the tables of the layout font: a
    // payload is new text on every page, and shaping it whole line after line costs more
    // than the rest of the page.
    if (!m_pixWidths || !(m_pixFont == memo.Font)) {
        m_pixWidths = &RpTextWidths::of(ReportFonts::layoutFont(memo.Font));
        m_pixFont = memo.Font;
    }
    RpTextWidths& widths = *m_pixWidths;
    const QFontMetricsF& fm = widths.metrics();
    const double width = memo.Width * Rp::kUmPerTenth;
    const double lineCount =
        1 +
        std::max(0.0, std::floor((memo.Height * Rp::kUmPerTenth - fm.ascent()) / fm.lineSpacing()));
    memo.Lines = BloquetoPix::lines(QStringLiteral("PIX copia e cola: ") + payload, widths,
                                    QList<double>(qsizetype(lineCount), width));
}

void RelBloqueto::LeArquivoIni()
{
    ++m_logoLoads;
    const IniFile ini = KvSettings::file();
    ReciboPath = ini.readString(CachedBeneficiary, QStringLiteral("Recibo"));
    ComprovantePath = ini.readString(CachedBeneficiary, QStringLiteral("Comprovante"));
    // The clerk must know which file to look for, and for which beneficiary.
    const auto load = [this](TRpImage& image, const QString& path) {
        try {
            image.loadFromFile(path);
        } catch (const RpFileOpenError&) {
            throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado\n%1 (cedente %2)")
                              .arg(QDir::toNativeSeparators(path), CachedBeneficiary.trimmed()));
        }
    };
    if (!ReciboPath.isEmpty())
        load(*m_el.RpImage1, ReciboPath);
    else
        m_el.RpImage1->assign(*m_el.ImageRecibo);
    if (!ComprovantePath.isEmpty())
        load(*m_el.RpImage5, ComprovantePath);
    else
        m_el.RpImage5->assign(*m_el.ImageComprovante);
}

void RelBloqueto::LeChavePix()
{
    const BeneficiaryPix settings = BeneficiaryPix::read(CachedBeneficiary);
    m_pixKey = BloquetoPix::checkedKey(CachedBeneficiary, settings);
    m_pixCity = settings.cidade;
}

void RelBloqueto::qdbMovTitValPrint(TRpDBText&, QString& value)
{
    // The band's title was read by its before-print handler.
    if (BlqTitle::cents(m_title.titVal) == 0)
        value.clear();
}

QList<QRectF> RelBloqueto::barcodeBars(const QString& digits)
{
    const double left = Interleaved2of5::kLightMargin / Rp::kUmPerTenth;
    const double top = (kBarcodeBoxHeight - kBarHeight) / 2;
    QList<QRectF> out;
    for (const Interleaved2of5::Bar& b : Interleaved2of5::bars(digits))
        out.append(
            QRectF(left + b.x / Rp::kUmPerTenth, top, b.width / Rp::kUmPerTenth, kBarHeight));
    return out;
}
