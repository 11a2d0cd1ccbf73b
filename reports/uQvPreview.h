#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class RpPrintOutput;
class TRpPreview;
#include "TRpPrinter.h"
class TSpinEdit;
class TUpDown;

// The window every report is shown in: pages one at a time, navigation, zoom, printer
// set-up, print, save and load of ".kvr" files, PDF export. A top-level window that opens
// maximised and frees itself when closed; closing it lets go of the page store, which ends
// the report's preview call (cancelling a production still under way).
class TfrmQvPreview : public QWidget {
    Q_OBJECT
public:
    explicit TfrmQvPreview(QWidget* parent = nullptr);
    ~TfrmQvPreview() override;

    // What a report's preview event does: a new window captioned "Gerando relatório,
    // aguarde ...", holding and showing the store.
    static TfrmQvPreview* openFor(TRpPrinter& store);

    // Page range, zoom to width and zoom spin, when a first page or a load asks for it.
    void Init();

    // Components, named as the window knows them.
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtPage = nullptr;
    TUpDown* sePage = nullptr;
    QToolButton *sbFirstPage = nullptr, *sbPreviousPage = nullptr, *sbNextPage = nullptr,
                *sbLastPage = nullptr;
    QLabel* Label3 = nullptr;
    TSpinEdit* seZoom = nullptr;
    QToolButton *ZoomToFit = nullptr, *ZoomTo100 = nullptr, *ZoomToWidth = nullptr,
                *PrintSetup = nullptr, *Print = nullptr, *Load = nullptr, *Save = nullptr,
                *ExportPdf = nullptr;
    QPushButton* BitBtnExit = nullptr;
    TRpPreview* RpPreview = nullptr;
    QMenu* PopupMenu1 = nullptr;

    TRpPrinter* pageStore() const { return PageStore; }

public Q_SLOTS:
    void RpPreviewPageAvailable(int pageNum);
    void sbFirstPageClick();
    void sbPreviousPageClick();
    void sbNextPageClick();
    void sbLastPageClick();
    void sePageClick(bool up);
    void seZoomChange();
    void ZoomToFitClick();
    void ZoomTo100Click();
    void ZoomToWidthClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveClick();
    void LoadClick();
    void ExportPdfClick();
    void BitBtnExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    bool ConfirmOverwrite(const QString& fileName);
    // "Exportar PDF" of a report that writes one file per record: into a chosen folder.
    void exportPerRecord();
    QToolButton* speedButton(const char* name, int left, const QString& hint, const char* glyph);
    void layOutToolBar();
    void createKeys();
    void updateButtons();
    void storeStateChanged();
    // The zoom in force: one of the three fits, kept through resizes, or a typed value.
    enum class ZoomMode { Width, Page, Actual, Typed };
    void fitZoom(ZoomMode mode);
    void keepFittedZoom();
    void showZoomMode();
    void setZoomSpin(int zoom);
    int storePageCount() const;

    QPointer<TRpPrinter> PageStore;
    std::unique_ptr<RpPrintOutput> m_printOutput; // of PageStore, used while it lives
    bool InitPending = false;
    ZoomMode m_zoomMode = ZoomMode::Width;
    bool m_fitting = false; // the spin is being set to a fitted zoom
    QButtonGroup* m_zoomGroup = nullptr;
};

// The preview window most recently opened (the program's application-wide reference).
extern QPointer<TfrmQvPreview> frmQvPreview;
