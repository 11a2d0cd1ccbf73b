#pragma once

#include "BlqTitle.h"
#include "DbQuery.h"
#include "DbQueryDataSource.h"
#include "RpTypes.h"

#include <QString>
#include <functional>
#include <memory>

class BloquetoCode;
class TRpBand;
class TRpDBText;
class TRpDrawing;
class TRpImage;
class TRpLabel;
class TRpMemo;
class TRpPrinter;
class TRpReport;

// The single-sheet bloqueto report without its window: the report rptBloqueto with its
// query qryTitulo and the handlers that fill each page. The window (TfrmRelBloqueto) adds
// the preview; the batch tool writes the same pages to PDF.
class RpTextWidths;

class RelBloqueto {
public:
    // Loads the page definition and binds the handlers; qryTitulo holds its own text
    // (valid rows by agency and contract).
    RelBloqueto();
    virtual ~RelBloqueto();
    RelBloqueto(const RelBloqueto&) = delete;
    RelBloqueto& operator=(const RelBloqueto&) = delete;

    static QString definitionPath() { return QStringLiteral(":/bloqueto/rptBloqueto.json"); }

    void open() { qryTitulo.open(); } // what the form's creation does
    // What "&Folha Solta" does before the preview: the valid rows in file order.
    void selectValidInFileOrder();
    // The titles numbered `seqs` (BlqSeq), in that order, whatever their validity: the
    // caller chooses which may print.
    void selectTitles(const QList<qint32>& seqs);
    // When valid, an overdue title gets the sentence of its updated value on that day
    // (UpdatedValue) as one more line of the cashier's instructions: the line after the
    // instruction text. The value fields, barcode and typeable line stay the title's own.
    QDate updatedValueOn;
    // One pass of the report into a fresh store (tests).
    void produce(TRpPrinter& store);
    // One pass written straight to a PDF file, page by page, keeping no page in memory;
    // answers the number of pages (0 writes nothing).
    int writePdf(const QString& path);

    std::unique_ptr<TRpReport> rptBloqueto;
    DbQuery qryTitulo;

    // Handlers of the report, bound by name.
    void RpBand1BeforePrint(TRpBand& sender, bool& printBand);
    // qdbMovTitVal1Print to qdbMovTitVal3Print: a zero value prints blank.
    void qdbMovTitValPrint(TRpDBText& sender, QString& value);
    // Loads the receipt and voucher pictures of CachedBeneficiary from the settings file.
    void LeArquivoIni();
    // Reads and checks the PIX key and city of CachedBeneficiary.
    void LeChavePix();
    // Raised by RpBand1BeforePrint once the page of a title is filled, with the title and
    // its codes: the per-title files take their names and index lines from here.
    std::function<void(const BlqTitle& title, const BloquetoCode& code)> titleFilled;

    const QString& cachedBeneficiary() const { return CachedBeneficiary; }
    const QString& reciboPath() const { return ReciboPath; }
    const QString& comprovantePath() const { return ComprovantePath; }
    const QString& pixPayload() const { return m_pixPayload; } // of the last row; empty: none
    int logoLoads() const { return m_logoLoads; }              // times LeArquivoIni ran

    // The bars of the barcode in tenths of a millimetre, relative to the barcode's box
    // (15.1 mm high): light margins left and right, bars 13 mm high in the middle.
    static QList<QRectF> barcodeBars(const QString& digits);

private:
    void showPix(const QString& payload);

    // The elements the handlers fill, found by name once: a name missing from the
    // definition shows when the report is made, not on the first row.
    struct Elements {
        TRpDBText* qdbBlqQtdMoe[2];
        TRpLabel* qLblDatVen[3];
        TRpLabel* RpLblLinhaMensagem[6];
        TRpLabel* RpLblLinha[6];
        TRpMemo* qMemInstrucoes[2];
        TRpDrawing* qLblCodBarra;
        TRpLabel* qLblLinhaDig;
        TRpImage* RpImage1;
        TRpImage* RpImage5;
        TRpImage* ImageRecibo;
        TRpImage* ImageComprovante;
        // The PIX parts, printed only on the pages of titles with a payload.
        TRpDrawing* qDrwPix;
        TRpLabel* RpLabelPagueComPix;
        TRpMemo* qMemPixCopiaCola;
    };
    Elements m_el{};

    QString CachedBeneficiary;
    QString ReciboPath;
    QString ComprovantePath;
    int m_logoLoads = 0;
    BlqTitle m_title;  // of the band being printed
    QString m_pixKey;  // of CachedBeneficiary, checked; empty for none
    QString m_pixCity; // of CachedBeneficiary
    QString m_pixPayload;
    // The widths the receipt's payload text is broken by, and the font they are of.
    RpFont m_pixFont;
    RpTextWidths* m_pixWidths = nullptr;
    DbQueryDataSource m_source;
};
