#include "uQvPreview.h"

#include "Dialogs.h"
#include "ProgramIcon.h"
#include "RecentFolders.h"
#include "RpPageFile.h"
#include "RpPdfExport.h"
#include "RpPrintOutput.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"
#include "TSpinEdit.h"
#include "TUpDown.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
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
constexpr int kLabelGap = 3; // between a label and the control it names
constexpr int kGap = 4;      // between controls pushed right by a wider neighbour

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
    edtPage = new QLineEdit(QStringLiteral("1"), Panel1);
    edtPage->setObjectName(QStringLiteral("edtPage"));
    sePage = new TUpDown(Panel1);
    sePage->setObjectName(QStringLiteral("sePage"));
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
    seZoom = new TSpinEdit(Panel1);
    seZoom->setObjectName(QStringLiteral("seZoom"));
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
    BitBtnExit->setToolTip(QStringLiteral("Fechar"));
    BitBtnExit->setIcon(QIcon(QStringLiteral(":/qvpreview/RPEXITBITMAP.png")));
    connect(BitBtnExit, &QPushButton::clicked, this, &TfrmQvPreview::BitBtnExitClick);

    RpPreview = new TRpPreview(this);
    layout->addWidget(RpPreview, 1);
    connect(RpPreview, &TRpPreview::pageAvailable, this, &TfrmQvPreview::RpPreviewPageAvailable);
    connect(RpPreview, &TRpPreview::viewResized, this, &TfrmQvPreview::keepFittedZoom);

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

    // The page and zoom boxes would keep Home and End for their own cursor; the window's
    // keys come first, as it sees every key before its controls.
    edtPage->installEventFilter(this);
    seZoom->editor()->installEventFilter(this);
    layOutToolBar();
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
    b->setProperty("designLeft", left);
    b->resize(kButtonSize, kButtonSize);
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
    setWindowIcon(ProgramIcon::icon());
    createKeys();
    setWindowState(Qt::WindowMaximized);
}

void TfrmQvPreview::layOutToolBar()
{
    // The design's left edges, unless this machine's font needs more room: then a control
    // moves right just enough for its neighbour's text ("&Zoom" showed as "Zoon", "Página"
    // ran into the page box) and everything after it follows.
    const QFontMetrics fm(Panel1->font());
    struct Item {
        QWidget* widget;
        int left;
        int width;
        int top;
        int height;
        int gap;
    };
    const int labelWidth1 = fm.horizontalAdvance(Label1->text()) + 2;
    const int labelWidth3 = fm.horizontalAdvance(QStringLiteral("Zoom")) + 2;
    // Five digits and the thousands separator of a long report ("33.304").
    const int pageWidth =
        qMax(20, fm.horizontalAdvance(QStringLiteral("88.888")) + 2 * fm.averageCharWidth());
    const int zoomWidth = qMax(49, fm.horizontalAdvance(QStringLiteral("888")) + 30);
    QList<Item> items = {
        {Label1, 16, labelWidth1, 8, 16, 0},
        {edtPage, 54, pageWidth, 5, 21, kLabelGap},
        {sePage, 74, 16, 5, 21, 0},
    };
    for (QToolButton* b : {sbFirstPage, sbPreviousPage, sbNextPage, sbLastPage})
        items.append(
            {b, b->property("designLeft").toInt(), kButtonSize, kButtonTop, kButtonSize, kGap});
    items.append({Label3, 226, labelWidth3, 8, 16, kGap});
    items.append({seZoom, 258, zoomWidth, 5, 21, kLabelGap});
    for (QToolButton* b :
         {ZoomToFit, ZoomTo100, ZoomToWidth, PrintSetup, Print, Load, Save, ExportPdf})
        items.append({b, b->property("designLeft").toInt(), kButtonSize, kButtonTop, kButtonSize,
                      b == ZoomToFit ? kGap : 0});
    // "Fechar" and its picture whole, and the restored window wide enough to show it.
    items.append(
        {BitBtnExit, 636, qMax(67, BitBtnExit->sizeHint().width()), kButtonTop, kButtonSize, kGap});
    int right = 0;
    for (const Item& item : std::as_const(items)) {
        const int left = qMax(item.left, right + item.gap);
        item.widget->setGeometry(left, item.top, item.width, item.height);
        right = left + item.width;
    }
    if (right + kGap > width())
        resize(right + kGap, height());
}

void TfrmQvPreview::createKeys()
{
    // The keys work wherever the focus is in the window, as the window's own shortcuts.
    // Only Ctrl alone turns Page Up / Page Down into first / last page; every other mix
    // of modifiers pages by one, and Home / End go to the ends whatever is held.
    const Qt::KeyboardModifier modifiers[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                              Qt::AltModifier, Qt::MetaModifier};
    QList<Qt::KeyboardModifiers> held;
    for (int mask = 0; mask < 16; ++mask) {
        Qt::KeyboardModifiers shift;
        for (int bit = 0; bit < 4; ++bit) {
            if (mask & (1 << bit))
                shift |= modifiers[bit];
        }
        held << shift;
    }
    for (const Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
        for (const Qt::KeyboardModifiers shift : std::as_const(held)) {
            auto* shortcut = new QShortcut(QKeySequence(QKeyCombination(shift, key)), this);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, this,
                    [this, key, shift] { FormKeyDown(key, shift); });
        }
    }
}

TfrmQvPreview* TfrmQvPreview::openFor(TRpPrinter& store)
{
    auto* w = new TfrmQvPreview;
    frmQvPreview = w;
    w->setWindowTitle(QStringLiteral("Gerando relatório, aguarde ..."));
    w->PageStore = &store;
    w->m_printOutput = std::make_unique<RpPrintOutput>(store);
    w->RpPreview->setPageStore(&store);
    connect(&store, &TRpPrinter::stateChanged, w, &TfrmQvPreview::storeStateChanged);
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

void TfrmQvPreview::storeStateChanged()
{
    updateButtons();
    if (!PageStore)
        return;
    const int count = PageStore->pageCount();
    if (PageStore->state() == TRpPrinter::State::Failed) {
        // The error goes to the error box after this; an empty window left behind under
        // "Gerando relatório, aguarde ..." would only be found later, as an orphan.
        if (count == 0) {
            close();
            return;
        }
        // What was made before the error stays on view, in front, saying it is partial.
        setWindowTitle(windowTitle() + QStringLiteral(" - relatório interrompido"));
        raise();
        activateWindow();
        return;
    }
    if (PageStore->isFinished() && count == 0) {
        // A report with nothing to print announces no page: without this the caption
        // said "aguarde" for ever, which looks like a hang.
        setWindowTitle(pagesCaption(PageStore->title(), 0));
        RpPreview->setEmptyText(
            QStringLiteral("O relatório não tem páginas: não há dados a mostrar."));
    }
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
    InitPending = false;
    fitZoom(ZoomMode::Width);
}

void TfrmQvPreview::fitZoom(ZoomMode mode)
{
    m_zoomMode = mode;
    switch (mode) {
    case ZoomMode::Width:
        RpPreview->zoomToWidth();
        break;
    case ZoomMode::Page:
        RpPreview->zoomToFit();
        break;
    case ZoomMode::Actual:
        RpPreview->setZoom(100);
        break;
    case ZoomMode::Typed:
        break;
    }
    setZoomSpin(RpPreview->zoom());
    showZoomMode();
}

void TfrmQvPreview::keepFittedZoom()
{
    // A fit is worked out again whenever the control changes size: the first pages often
    // arrive before the window has its maximised size, and a width taken then is wrong.
    if (!InitPending && (m_zoomMode == ZoomMode::Width || m_zoomMode == ZoomMode::Page))
        fitZoom(m_zoomMode);
}

void TfrmQvPreview::showZoomMode()
{
    QToolButton* down = nullptr;
    if (m_zoomMode == ZoomMode::Width)
        down = ZoomToWidth;
    else if (m_zoomMode == ZoomMode::Page)
        down = ZoomToFit;
    else if (RpPreview->zoom() == 100)
        down = ZoomTo100;
    // None is down while a typed zoom other than 100 % is in force.
    m_zoomGroup->setExclusive(false);
    for (QToolButton* b : {ZoomToFit, ZoomTo100, ZoomToWidth})
        b->setChecked(b == down);
    m_zoomGroup->setExclusive(true);
}

void TfrmQvPreview::setZoomSpin(int zoom)
{
    const bool wasFitting = m_fitting;
    m_fitting = true;
    seZoom->setValue(zoom);
    m_fitting = wasFitting;
}

void TfrmQvPreview::RpPreviewPageAvailable(int pageNum)
{
    Init();
    sePage->setMaximum(pageNum);
    setWindowTitle(pagesCaption(PageStore ? PageStore->title() : QString(), pageNum));
}

void TfrmQvPreview::sbFirstPageClick()
{
    sePage->setPosition(1);
    RpPreview->setPage(sePage->position());
}

void TfrmQvPreview::sbPreviousPageClick()
{
    const int position = sePage->position();
    if (position > 1) {
        sePage->setPosition(position - 1);
        RpPreview->setPage(sePage->position());
    }
}

void TfrmQvPreview::sbNextPageClick()
{
    const int position = sePage->position();
    if (position < storePageCount()) {
        sePage->setPosition(position + 1);
        RpPreview->setPage(sePage->position());
    }
}

void TfrmQvPreview::sbLastPageClick()
{
    sePage->setPosition(storePageCount());
    RpPreview->setPage(sePage->position());
}

void TfrmQvPreview::sePageClick(bool)
{
    RpPreview->setPage(sePage->position());
}

bool TfrmQvPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Home || key == Qt::Key_End) {
            event->ignore(); // not claimed by the box: the window's shortcut takes it
            return true;
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
    if (m_fitting)
        return; // a fit clamped into the spin's range stays a fit
    m_zoomMode = ZoomMode::Typed;
    showZoomMode();
}

void TfrmQvPreview::ZoomToFitClick()
{
    fitZoom(ZoomMode::Page);
}

void TfrmQvPreview::ZoomTo100Click()
{
    fitZoom(ZoomMode::Actual);
}

void TfrmQvPreview::ZoomToWidthClick()
{
    fitZoom(ZoomMode::Width);
}

void TfrmQvPreview::PrintSetupClick()
{
    runGuarded([this] {
        if (PageStore)
            m_printOutput->printerSetup();
    });
}

void TfrmQvPreview::PrintClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Print->setEnabled(false);
    bool sent = false;
    runGuarded([this, &sent] { sent = PageStore && m_printOutput->print(); });
    Print->setEnabled(true);
    QApplication::restoreOverrideCursor(); // the work is over before the notice says so
    // A print the user cancelled in the printer dialog, or that failed, is not reported
    // as sent.
    if (sent)
        dialogs().message(QStringLiteral("Relatório enviado para impressora com sucesso"),
                          QStringLiteral("Informação"));
}

void TfrmQvPreview::SaveClick()
{
    runGuarded([this] {
        QString fileName = dialogs().saveFile(QStringLiteral("Salvar relatório"),
                                              RecentFolders::start(RecentFolders::kReport),
                                              RpPageFile::saveFilter(), QString());
        if (fileName.isEmpty())
            return;
        RecentFolders::remember(RecentFolders::kReport, fileName);
        fileName = withExtension(fileName, QStringLiteral(".kvr"));
        if (ConfirmOverwrite(fileName) && PageStore)
            RpPageFile::save(*PageStore, fileName);
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
    return true;
}

void TfrmQvPreview::LoadClick()
{
    runGuarded([this] {
        const QString fileName = dialogs().openFile(
            QStringLiteral("Abrir relatório"), RecentFolders::start(RecentFolders::kReport),
            QStringLiteral("Arquivos de relatório (*.kvr)"));
        if (fileName.isEmpty())
            return;
        RecentFolders::remember(RecentFolders::kReport, fileName);
        if (!QFileInfo::exists(fileName)) {
            dialogs().message(QStringLiteral("Impossível carregar o arquivo selecionado: ") +
                                  fileName,
                              QCoreApplication::applicationName());
            return;
        }
        if (!PageStore)
            return;
        RpPageFile::load(fileName, *PageStore);
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
        // The single-sheet bloquetos may go one to a file, for mailing each payer his own.
        if (PageStore && PageStore->canExportPerRecord()) {
            const Dialogs::Answer answer = dialogs().question(
                QStringLiteral("Gravar um arquivo PDF para cada bloqueto?\n\n"
                               "Sim: um arquivo por bloqueto, com um índice dos arquivos, "
                               "na pasta que escolher.\n"
                               "Não: todos os bloquetos num arquivo só."),
                QStringLiteral("Confirmação"), Dialogs::Buttons::YesNoCancel);
            if (answer == Dialogs::Answer::Yes)
                exportPerRecord();
            if (answer != Dialogs::Answer::No)
                return;
        }
        QString fileName = dialogs().saveFile(
            QStringLiteral("Exportar PDF"), RecentFolders::start(RecentFolders::kPdf),
            QStringLiteral("Arquivos PDF (*.pdf)"), QStringLiteral("pdf"));
        if (fileName.isEmpty())
            return;
        RecentFolders::remember(RecentFolders::kPdf, fileName);
        fileName = withExtension(fileName, QStringLiteral(".pdf"));
        if (ConfirmOverwrite(fileName) && PageStore)
            RpPdfExport::write(*PageStore, fileName);
    });
}

void TfrmQvPreview::exportPerRecord()
{
    const QString folder =
        dialogs().chooseFolder(QStringLiteral("Pasta dos arquivos dos bloquetos"),
                               RecentFolders::start(RecentFolders::kPerTitleFolder));
    if (folder.isEmpty() || !PageStore)
        return;
    RecentFolders::rememberFolder(RecentFolders::kPerTitleFolder, folder);
    int files = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct RestoreCursor {
            ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
        } restore;
        files = RpPdfExport::perRecord(*PageStore, folder);
    } // the work is over before the notice says so
    dialogs().message(QStringLiteral("%1 bloqueto(s) gravado(s) em %2, um arquivo por bloqueto.")
                          .arg(files)
                          .arg(QDir::toNativeSeparators(folder)),
                      QStringLiteral("Informação"));
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
