#include "uPrincipal.h"

#include "BlqUpgrade.h"
#include "Clock.h"
#include "DbTable.h"
#include "Dialogs.h"
#include "HelpWindow.h"
#include "MnemonicMenuBar.h"
#include "ProgramIcon.h"
#include "Regional.h"
#include "ShellPictures.h"
#include "WaitCursor.h"
#include "Wall.h"
#include "uCarregaArquivo.h"
#include "uConfiguracoes.h"
#include "uConsultaTitulos.h"
#include "uEnderecosEmail.h"
#include "uEnviarEmail.h"
#include "uPreparaPreImpresso.h"
#include "uProcessaRetorno.h"
#include "uRelBloqueto.h"
#include "uRelRejeicoes.h"
#include "uRelRetorno.h"
#include "uSobre.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <memory>

namespace {
// Makes a report's form over the titles under the wait cursor and shows its preview. The
// form lives while its preview is open and goes when the preview call returns.
template <class Form, class Select> void previewReport(QWidget* parent, Select select)
{
    std::unique_ptr<Form> form;
    {
        const WaitCursor wait;
        form = std::make_unique<Form>(parent);
        select(*form);
    }
    form->preview();
}
} // namespace

TFrmPrincipal::TFrmPrincipal(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(caption());
    // The program's windows carry the bank's monogram, the previews included.
    QApplication::setWindowIcon(ProgramIcon::icon());
    setWindowIcon(ProgramIcon::icon());
    setMenuBar(new MnemonicMenuBar(this));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("ClientWindow"));
    setCentralWidget(m_mdi);
    WallPaper1 = new TWallPaper(this);
    WallPaper1->setBitmap(ShellPictures::wallpaper());

    m_clock = new QLabel(this);
    m_clock->setObjectName(QStringLiteral("pnlStatus0"));
    // 120 pixels, or wider when this machine's font needs more room for a whole date and time.
    m_clock->setFixedWidth(qMax(
        120, m_clock->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 12));
    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("pnlStatus1"));
    // The last panel runs to the window's edge, as status bars do, so longer texts show whole.
    m_panel1->setMinimumWidth(50);
    statusBar()->setObjectName(QStringLiteral("pnlStatus"));
    statusBar()->addWidget(m_clock);
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->setSizeGripEnabled(false);

    buildMenus();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TFrmPrincipal::Timer1Timer);
    m_timer->start();

    FormCreate();
}

TFrmPrincipal::~TFrmPrincipal() = default;

void TFrmPrincipal::buildMenus()
{
    auto item = [this](QMenu* menu, const QString& text, const char* name, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1StringView(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu* arquivo = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    arquivo->setObjectName(QStringLiteral("Arquivo1"));
    CarregarArquivo1 = item(arquivo, QStringLiteral("&Carregar Arquivo"), "CarregarArquivo1",
                            &TFrmPrincipal::CarregarArquivo1Click);
    ProcessarRetorno1 = item(arquivo, QStringLiteral("Processar &Retorno"), "ProcessarRetorno1",
                             &TFrmPrincipal::ProcessarRetorno1Click);
    ConsultarTitulos1 = item(arquivo, QStringLiteral("Consultar &Títulos"), "ConsultarTitulos1",
                             &TFrmPrincipal::ConsultarTitulos1Click);
    arquivo->addSeparator()->setObjectName(QStringLiteral("N1"));
    Sair1 = item(arquivo, QStringLiteral("S&air"), "Sair1", &QWidget::close);

    QMenu* relatorios = menuBar()->addMenu(QStringLiteral("&Relatórios"));
    relatorios->setObjectName(QStringLiteral("ImpressodeBoletas1"));
    QMenu* emissao = relatorios->addMenu(QStringLiteral("&Emissão de Bloquetos"));
    emissao->setObjectName(QStringLiteral("mnuEmissaoBloquetos"));
    mnuFolhaSolta = item(emissao, QStringLiteral("&Folha Solta"), "mnuFolhaSolta",
                         &TFrmPrincipal::mnuFolhaSoltaClick);
    mnuContinuo =
        item(emissao, QStringLiteral("&Contínuo"), "mnuContinuo", &TFrmPrincipal::mnuContinuoClick);
    relatorios->addSeparator()->setObjectName(QStringLiteral("N2"));
    TtulosRejeitados1 = item(relatorios, QStringLiteral("&Títulos Rejeitados"), "TtulosRejeitados1",
                             &TFrmPrincipal::TtulosRejeitados1Click);
    TtulosLiquidados1 = item(relatorios, QStringLiteral("Títulos &Liquidados"), "TtulosLiquidados1",
                             &TFrmPrincipal::TtulosLiquidados1Click);
    OcorrenciasRetorno1 = item(relatorios, QStringLiteral("&Ocorrências do Retorno"),
                               "OcorrenciasRetorno1", &TFrmPrincipal::OcorrenciasRetorno1Click);
    // Mailing the bloquetos and the payers' addresses.
    relatorios->addSeparator();
    mnuEnviarEmail = item(relatorios, QStringLiteral("Enviar Bloquetos por &E-mail"),
                          "mnuEnviarEmail", &TFrmPrincipal::mnuEnviarEmailClick);
    mnuEnderecosEmail = item(relatorios, QStringLiteral("Endereços de E-&mail"),
                             "mnuEnderecosEmail", &TFrmPrincipal::mnuEnderecosEmailClick);

    QMenu* configuracao = menuBar()->addMenu(QStringLiteral("&Configuração"));
    configuracao->setObjectName(QStringLiteral("Configurao1"));
    PersonalizarBloqueto1 =
        item(configuracao, QStringLiteral("Personalizar Bloqueto"), "PersonalizarBloqueto1",
             &TFrmPrincipal::PersonalizarBloqueto1Click);

    QMenu* ajuda = menuBar()->addMenu(QStringLiteral("&Ajuda"));
    ajuda->setObjectName(QStringLiteral("Ajuda1"));
    AjudadoDizuvaridAzovadoduKV1 = item(ajuda, QStringLiteral("&Ajuda do Dizuvar id Azovadodu KV"),
                                        "AjudadoDizuvaridAzovadoduKV1", &TFrmPrincipal::AjudaClick);
    Sobre1 = item(ajuda, QStringLiteral("&Sobre"), "Sobre1", &TFrmPrincipal::Sobre1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    AjudadaCobrana1 = item(PopupMenu1, QStringLiteral("Ajuda da Cobrança "), "AjudadaCobrana1",
                           &TFrmPrincipal::AjudaClick);
    AjudadaCobrana1->setShortcut(QKeySequence(Qt::Key_F1));
    AjudadaCobrana1->setShortcutContext(Qt::WindowShortcut);
    addAction(AjudadaCobrana1); // F1 works without opening the popup
}

void TFrmPrincipal::FormCreate()
{
    Regional::init();
    Timer1Timer();
    // An engine failure here is shown with the engine's text; the window opens regardless.
    runGuarded([] { BlqUpgrade::upgradeIfNeeded(); });
}

void TFrmPrincipal::Timer1Timer()
{
    m_clock->setText(Regional::dateTimeText(Clock::now()));
}

void TFrmPrincipal::closeEvent(QCloseEvent* event)
{
    m_mdi->closeAllSubWindows();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (sub->isVisible()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void TFrmPrincipal::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
}

bool TFrmPrincipal::tableHasRows()
{
    int count = 0;
    {
        const WaitCursor wait;
        DbTable table;
        table.open();
        count = table.rowCount();
        table.close();
    }
    if (count == 0) {
        dialogs().message(QStringLiteral("Não há Dados na Base"), QStringLiteral("Atenção"));
        return false;
    }
    return true;
}

void TFrmPrincipal::showChild(QWidget* child, const QSize& minimumSize)
{
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowIcon(ProgramIcon::icon());
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A child that closes itself rather than its frame must not leave the frame behind,
    // empty, on the desktop. Queued: the frame is still tearing the child down.
    connect(child, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
    child->show();
    // At the window's own size, centred in the frame's client area.
    sub->resize(sub->size().expandedTo(minimumSize));
    const QSize room = m_mdi->viewport()->size() - sub->size();
    sub->move(qMax(0, room.width() / 2), qMax(0, room.height() / 2));
}

void TFrmPrincipal::CarregarArquivo1Click()
{
    FrmCarregaArquivo = new TFrmCarregaArquivo;
    showChild(FrmCarregaArquivo);
}

// The return file: its window, and its two reports.
void TFrmPrincipal::ProcessarRetorno1Click()
{
    auto* form = new TfrmProcessaRetorno;
    showChild(form, QSize(560, 300));
    // Asked once the window shows beneath the file dialog.
    QTimer::singleShot(0, form, [form] { runGuarded([form] { form->chooseAndProcess(); }); });
}

void TFrmPrincipal::TtulosLiquidados1Click()
{
    runGuarded([this] { TfrmRelRetorno::liquidados(this); });
}

void TFrmPrincipal::OcorrenciasRetorno1Click()
{
    runGuarded([this] { TfrmRelRetorno::ocorrencias(this); });
}

void TFrmPrincipal::ConsultarTitulos1Click()
{
    runGuarded([this] {
        auto* form = new TfrmConsultaTitulos;
        connect(form, &TfrmConsultaTitulos::enviarPorEmail, this,
                [this](const QList<qint32>& seqs) {
                    showChild(new TFrmEnviarEmail(QList<int>(seqs.cbegin(), seqs.cend())),
                              QSize(640, 480));
                });
        showChild(form);
    });
}

void TFrmPrincipal::mnuFolhaSoltaClick()
{
    runGuarded([this] {
        if (tableHasRows())
            previewReport<TfrmRelBloqueto>(
                this, [](TfrmRelBloqueto& f) { f.rel().selectValidInFileOrder(); });
    });
}

void TFrmPrincipal::mnuContinuoClick()
{
    runGuarded([this] { showChild(new TFrmPreparaPreImpresso); });
}

void TFrmPrincipal::mnuEnviarEmailClick()
{
    runGuarded([this] {
        if (tableHasRows())
            showChild(new TFrmEnviarEmail, QSize(640, 480));
    });
}

void TFrmPrincipal::mnuEnderecosEmailClick()
{
    showChild(new TFrmEnderecosEmail, QSize(560, 400));
}

void TFrmPrincipal::TtulosRejeitados1Click()
{
    runGuarded([this] {
        if (tableHasRows())
            previewReport<TfrmRelRejeicoes>(this, [](TfrmRelRejeicoes&) {});
    });
}

void TFrmPrincipal::PersonalizarBloqueto1Click()
{
    showChild(new TfrmConfiguracoes, QSize(543, 422));
}

void TFrmPrincipal::AjudaClick()
{
    HelpWindow::showContext(10);
}

void TFrmPrincipal::Sobre1Click()
{
    TfrmSobre frmSobre(this); // released as soon as it closes
    frmSobre.exec();
}
