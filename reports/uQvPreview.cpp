#include "uQvPreview.h"

#include "Dialogs.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"
#include "TSpinEdit.h"
#include "TUpDown.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

QPointer<TfrmQvPreview> frmQvPreview;

// The glyphs live in a static library.
static void initGlyphs()
{
    Q_INIT_RESOURCE(qvpreview);
}

namespace {
constexpr int kButtonTop = 3;
constexpr int kButtonSize = 25;

// The window's caption: the report's title and its count of pages.
QString pagesCaption(const QString& title, int count)
{
    return title + QStringLiteral(" - ") + QString::number(count) +
           (count == 1 ? QStringLiteral(" página") : QStringLiteral(" páginas"));
}

// A chosen name without an extension gets the given one. Only the file's own name counts:
// a dot in a folder's name is no extension.
QString withExtension(const QString& fileName, const QString& extension)
{
    if (QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
        return fileName;
    return fileName + extension;
}
} // namespace

TfrmQvPreview::TfrmQvPreview(QWidget* parent) : QWidget(parent, Qt::Window)
{
    initGlyphs();
    setObjectName(QStringLiteral("frmQvPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preview"));
    resize(683, 465);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(31);
    layout->addWidget(Panel1);

    Label1 = new QLabel(QStringLiteral("Página"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 8, 38, 16);
    edtPage = new QLineEdit(QStringLiteral("1"), Panel1);
    edtPage->setObjectName(QStringLiteral("edtPage"));
    edtPage->setGeometry(54, 5, 20, 21);
    sePage = new TUpDown(Panel1);
    sePage->setObjectName(QStringLiteral("sePage"));
    sePage->setGeometry(74, 5, 16, 21);
    sePage->setMinimum(1);
    sePage->setMaximum(1);
    sePage->setBuddy(edtPage);
    sePage->setPosition(1);
    connect(sePage, &TUpDown::clicked, this, &TfrmQvPreview::sePageClick);

    sbFirstPage =
        speedButton("sbFirstPage", 105, QStringLiteral("Primeira página"), "RPFIRSTPAGEBITMAP");
    sbPreviousPage =
        speedButton("sbPreviousPage", 130, QStringLiteral("Página anterior"), "RPPREVPAGEBITMAP");
    sbNextPage =
        speedButton("sbNextPage", 155, QStringLiteral("Próxima página"), "RPNEXTPAGEBITMAP");
    sbLastPage =
        speedButton("sbLastPage", 180, QStringLiteral("Última página"), "RPLASTPAGEBITMAP");
    connect(sbFirstPage, &QToolButton::clicked, this, &TfrmQvPreview::sbFirstPageClick);
    connect(sbPreviousPage, &QToolButton::clicked, this, &TfrmQvPreview::sbPreviousPageClick);
    connect(sbNextPage, &QToolButton::clicked, this, &TfrmQvPreview::sbNextPageClick);
    connect(sbLastPage, &QToolButton::clicked, this, &TfrmQvPreview::sbLastPageClick);

    Label3 = new QLabel(QStringLiteral("&Zoom"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(226, 8, 30, 16);
    seZoom = new TSpinEdit(Panel1);
    seZoom->setObjectName(QStringLiteral("seZoom"));
    seZoom->setGeometry(258, 5, 49, 21);
    seZoom->setRange(10, 300);
    seZoom->setIncrement(10);
    seZoom->setValue(100);
    seZoom->setToolTip(QStringLiteral("Zoom"));
    Label3->setBuddy(seZoom->editor());
    connect(seZoom, &TSpinEdit::changed, this, &TfrmQvPreview::seZoomChange);

    ZoomToFit = speedButton("ZoomToFit", 317, QStringLiteral("Zoom para página inteira"),
                            "RPZOOMTOFITBITMAP");
    ZoomTo100 =
        speedButton("ZoomTo100", 342, QStringLiteral("Zoom para 100%"), "RPZOOMTO100BITMAP");
    ZoomToWidth = speedButton("ZoomToWidth", 367, QStringLiteral("Zoom para o tamanho da página"),
                              "RPZOOMTOWIDTHBITMAP");
    m_zoomGroup = new QButtonGroup(this);
    for (QToolButton* b : {ZoomToFit, ZoomTo100, ZoomToWidth}) {
        b->setCheckable(true);
        m_zoomGroup->addButton(b);
    }
    ZoomToWidth->setChecked(true);
    connect(ZoomToFit, &QToolButton::clicked, this, &TfrmQvPreview::ZoomToFitClick);
    connect(ZoomTo100, &QToolButton::clicked, this, &TfrmQvPreview::ZoomTo100Click);
    connect(ZoomToWidth, &QToolButton::clicked, this, &TfrmQvPreview::ZoomToWidthClick);

    PrintSetup = speedButton("PrintSetup", 491, QStringLiteral("Configuração de impressora"),
                             "RPPRINTSETUPBITMAP");
    Print = speedButton("Print", 516, QStringLiteral("Imprimir"), "RPPRINTBITMAP");
    Load = speedButton("Load", 550, QStringLiteral("Abrir relatório"), "RPOPENBITMAP");
    Save = speedButton("Save", 575, QStringLiteral("Salvar relatório"), "RPSAVEBITMAP");
    ExportPdf = speedButton("ExportPdf", 600, QStringLiteral("Exportar PDF"), "RPPDFBITMAP");
    connect(PrintSetup, &QToolButton::clicked, this, &TfrmQvPreview::PrintSetupClick);
    connect(Print, &QToolButton::clicked, this, &TfrmQvPreview::PrintClick);
    connect(Load, &QToolButton::clicked, this, &TfrmQvPreview::LoadClick);
    connect(Save, &QToolButton::clicked, this, &TfrmQvPreview::SaveClick);
    connect(ExportPdf, &QToolButton::clicked, this, &TfrmQvPreview::ExportPdfClick);

    BitBtnExit = new QPushButton(QStringLiteral("&Fechar"), Panel1);
    BitBtnExit->setObjectName(QStringLiteral("BitBtnExit"));
    BitBtnExit->setGeometry(636, kButtonTop, 67, kButtonSize);
    BitBtnExit->setToolTip(QStringLiteral("Fechar"));
    BitBtnExit->setIcon(QIcon(QStringLiteral(":/qvpreview/RPEXITBITMAP.png")));
    connect(BitBtnExit, &QPushButton::clicked, this, &TfrmQvPreview::BitBtnExitClick);

    RpPreview = new TRpPreview(this);
    layout->addWidget(RpPreview, 1);
    connect(RpPreview, &TRpPreview::pageAvailable, this, &TfrmQvPreview::RpPreviewPageAvailable);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("Page Up / Page Down: página anterior / próxima"));
    PopupMenu1->addAction(
        QStringLiteral("Ctrl+Page Up / Ctrl+Page Down: primeira / última página"));
    PopupMenu1->addAction(QStringLiteral("Home / End: primeira / última página"));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Zoom: campo e botões da barra de ferramentas"));
    RpPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RpPreview, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(RpPreview->mapToGlobal(pos)); });

    qApp->installEventFilter(this); // key preview: the window sees keys before its controls
    FormCreate();
    updateButtons();
    edtPage->setFocus();
}

TfrmQvPreview::~TfrmQvPreview()
{
    if (RpPreview)
        RpPreview->setPageStore(nullptr);
}

QToolButton* TfrmQvPreview::speedButton(const char* name, int left, const QString& hint,
                                        const char* glyph)
{
    auto* b = new QToolButton(Panel1);
    b->setObjectName(QLatin1StringView(name));
    b->setGeometry(left, kButtonTop, kButtonSize, kButtonSize);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setProperty("glyph", QLatin1StringView(glyph));
    return b;
}

void TfrmQvPreview::FormCreate()
{
    for (QToolButton* b : Panel1->findChildren<QToolButton*>()) {
        const QString glyph = b->property("glyph").toString();
        if (!glyph.isEmpty())
            b->setIcon(QIcon(QStringLiteral(":/qvpreview/%1.png").arg(glyph)));
    }
    setWindowState(Qt::WindowMaximized);
}

TfrmQvPreview* TfrmQvPreview::openFor(TRpPrinter& store)
{
    auto* w = new TfrmQvPreview;
    frmQvPreview = w;
    w->setWindowTitle(QStringLiteral("Gerando relatório, aguarde ..."));
    w->PageStore = &store;
    w->RpPreview->setPageStore(&store);
    connect(&store, &TRpPrinter::stateChanged, w, &TfrmQvPreview::updateButtons);
    w->updateButtons();
    w->show();
    return w;
}

void TfrmQvPreview::updateButtons()
{
    // Print, save, load and export wait for the finished store: until then a save would
    // write nothing and a load would replace pages still being filled.
    const bool finished = PageStore && PageStore->isFinished();
    for (QToolButton* b : {Print, Save, Load, ExportPdf})
        b->setEnabled(finished);
}

int TfrmQvPreview::storePageCount() const
{
    return PageStore ? PageStore->pageCount() : 0;
}

void TfrmQvPreview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmQvPreview::FormShow()
{
    InitPending = true;
}

void TfrmQvPreview::Init()
{
    if (!InitPending)
        return;
    sePage->setMaximum(storePageCount());
    RpPreview->zoomToWidth();
    setZoomSpin(RpPreview->zoom());
    InitPending = false;
}

void TfrmQvPreview::setZoomSpin(int zoom)
{
    seZoom->setValue(zoom);
}

void TfrmQvPreview::RpPreviewPageAvailable(int pageNum)
{
    Init();
    sePage->setMaximum(pageNum);
    setWindowTitle(pagesCaption(PageStore ? PageStore->title() : QString(), pageNum));
}

void TfrmQvPreview::sbFirstPageClick()
{
    QCoreApplication::processEvents();
    sePage->setPosition(1);
    RpPreview->setPage(sePage->position());
}

void TfrmQvPreview::sbPreviousPageClick()
{
    QCoreApplication::processEvents();
    const int position = sePage->position();
    if (position > 1) {
        sePage->setPosition(position - 1);
        RpPreview->setPage(sePage->position());
    }
}

void TfrmQvPreview::sbNextPageClick()
{
    QCoreApplication::processEvents();
    const int position = sePage->position();
    if (position < storePageCount()) {
        sePage->setPosition(position + 1);
        RpPreview->setPage(sePage->position());
    }
}

void TfrmQvPreview::sbLastPageClick()
{
    QCoreApplication::processEvents();
    sePage->setPosition(storePageCount());
    RpPreview->setPage(sePage->position());
}

void TfrmQvPreview::sePageClick(bool)
{
    RpPreview->setPage(sePage->position());
    QCoreApplication::processEvents();
}

bool TfrmQvPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        // A key is seen once, at its first receiver: the focused control of this window,
        // or the window itself when none of its controls has the focus.
        QWidget* focus = QApplication::focusWidget();
        const bool focusHere = focus && focus->window() == this;
        if (w->window() == this && (focusHere ? w == focus : w == this)) {
            const auto* key = static_cast<QKeyEvent*>(event);
            FormKeyDown(key->key(), key->modifiers());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmQvPreview::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    // Only Ctrl alone turns Page Up / Page Down into first / last page.
    const bool ctrlAlone = (shift & ~Qt::KeypadModifier) == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_PageUp:
        ctrlAlone ? sbFirstPageClick() : sbPreviousPageClick();
        break;
    case Qt::Key_PageDown:
        ctrlAlone ? sbLastPageClick() : sbNextPageClick();
        break;
    case Qt::Key_End:
        sbLastPageClick();
        break;
    case Qt::Key_Home:
        sbFirstPageClick();
        break;
    default:
        break;
    }
}

void TfrmQvPreview::seZoomChange()
{
    RpPreview->setZoom(seZoom->value());
}

void TfrmQvPreview::ZoomToFitClick()
{
    QCoreApplication::processEvents();
    RpPreview->zoomToFit();
    setZoomSpin(RpPreview->zoom());
}

void TfrmQvPreview::ZoomTo100Click()
{
    QCoreApplication::processEvents();
    RpPreview->setZoom(100);
    setZoomSpin(RpPreview->zoom());
}

void TfrmQvPreview::ZoomToWidthClick()
{
    QCoreApplication::processEvents();
    RpPreview->zoomToWidth();
    setZoomSpin(RpPreview->zoom());
}

void TfrmQvPreview::PrintSetupClick()
{
    runGuarded([this] {
        if (PageStore)
            PageStore->printerSetup();
    });
}

void TfrmQvPreview::PrintClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Print->setEnabled(false);
    bool sent = false;
    runGuarded([this, &sent] { sent = PageStore && PageStore->print(); });
    Print->setEnabled(true);
    QThread::msleep(500);
    QCoreApplication::processEvents();
    // A print the user cancelled in the printer dialog, or that failed, is not reported
    // as sent.
    if (sent)
        dialogs().message(QStringLiteral("Relatório enviado para impressora com sucesso"),
                          QStringLiteral("Informação"));
    QApplication::restoreOverrideCursor();
}

void TfrmQvPreview::SaveClick()
{
    runGuarded([this] {
        QString fileName = dialogs().saveFile(QStringLiteral("Salvar relatório"), QString(),
                                              TRpPrinter::saveFilter(), QString());
        if (fileName.isEmpty())
            return;
        fileName = withExtension(fileName, QStringLiteral(".kvr"));
        if (ConfirmOverwrite(fileName) && PageStore)
            PageStore->saveToFile(fileName);
    });
}

bool TfrmQvPreview::ConfirmOverwrite(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return true;
    const auto answer =
        dialogs().question(QStringLiteral("Arquivo %1 já existe. Deseja sobrepôr?").arg(fileName),
                           QStringLiteral("Confirmação"), Dialogs::Buttons::YesNo);
    if (answer != Dialogs::Answer::Yes)
        return false;
    // The old file is not deleted here: the save replaces it in one step once the new
    // one is written, so a failed save leaves it whole. What would make the deletion
    // fail makes the replacement fail too, and is told now.
    if (!info.isFile() || !QFileInfo(info.absolutePath()).isWritable()) {
        dialogs().error(QStringLiteral("Impossível sobrepôr o arquivo %1.").arg(fileName));
        return false;
    }
    QCoreApplication::processEvents();
    return true;
}

void TfrmQvPreview::LoadClick()
{
    runGuarded([this] {
        const QString fileName =
            dialogs().openFile(QStringLiteral("Abrir relatório"), QString(),
                               QStringLiteral("Arquivos de relatório (*.kvr)"));
        if (fileName.isEmpty())
            return;
        if (!QFileInfo::exists(fileName)) {
            dialogs().message(QStringLiteral("Impossível carregar o arquivo selecionado: ") +
                                  fileName,
                              QCoreApplication::applicationName());
            return;
        }
        if (!PageStore)
            return;
        PageStore->loadFromFile(fileName);
        RpPreview->setPage(1);
        RpPreview->setPicturePage(1);
        sePage->setPosition(1);
        if (PageStore->title().isEmpty())
            PageStore->setTitle(fileName);
        setWindowTitle(pagesCaption(PageStore->title(), PageStore->pageCount()));
        InitPending = true;
        Init();
    });
}

void TfrmQvPreview::ExportPdfClick()
{
    runGuarded([this] {
        QString fileName =
            dialogs().saveFile(QStringLiteral("Exportar PDF"), QString(),
                               QStringLiteral("Arquivos PDF (*.pdf)"), QStringLiteral("pdf"));
        if (fileName.isEmpty())
            return;
        fileName = withExtension(fileName, QStringLiteral(".pdf"));
        if (ConfirmOverwrite(fileName) && PageStore)
            PageStore->exportPdf(fileName);
    });
}

void TfrmQvPreview::BitBtnExitClick()
{
    close();
}

void TfrmQvPreview::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TfrmQvPreview::FormClose()
{
    RpPreview->setPageStore(nullptr);
}
