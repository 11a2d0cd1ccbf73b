#include "uCarregaArquivo.h"

#include "BankFileImporter.h"
#include "ChildWindow.h"
#include "Dialogs.h"
#include "RecentFolders.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

QPointer<TFrmCarregaArquivo> FrmCarregaArquivo;

namespace {
constexpr int kPaintIntervalMs = 33; // about 30 repaints a second

QLabel* notice(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(16);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(pal);
    return label;
}
} // namespace

TFrmCarregaArquivo::TFrmCarregaArquivo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmCarregaArquivo"));
    setWindowTitle(caption());
    resize(441, 275);

    Label1 =
        notice(this, QStringLiteral("Label1"), QStringLiteral("Atualizando as Bases de Dados."));
    Label2 = notice(this, QStringLiteral("Label2"), QStringLiteral("Aguarde..."));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName(QStringLiteral("StatusBar1Panel0"));
    // The panel is 50 pixels at least and grows so that a long count stays readable.
    StatusPanel->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(2);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addStretch(3);
    layout->addWidget(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TFrmCarregaArquivo::Timer1Timer);
    Timer1->start();
}

TFrmCarregaArquivo::~TFrmCarregaArquivo() = default;

QSize TFrmCarregaArquivo::sizeHint() const
{
    return QSize(441, 275).expandedTo(minimumSizeHint());
}

void TFrmCarregaArquivo::Timer1Timer()
{
    Timer1->stop();
    runGuarded([this] { ProcessaArquivo(); });
    if (CargaConcluida) {
        dialogs().message(QStringLiteral("Carga finalizada com sucesso"), QStringLiteral("Aviso"));
        closeForm();
    }
}

void TFrmCarregaArquivo::ProcessaArquivo()
{
    // Linux has no "c:\": the dialog starts where the last bank file came from, or in the
    // user's home folder.
    const QString path =
        dialogs().openFile(QString(), RecentFolders::start(RecentFolders::kBankFile), QString());
    RecentFolders::remember(RecentFolders::kBankFile, path);
    if (path.isEmpty()) {
        closeForm();
        return;
    }
    // The dialog shows every kind of file: a picture or a PDF picked by mistake must not
    // take the titles with it.
    if (!BankFileImporter::startsLikeBankFile(path) &&
        dialogs().question(BankFileImporter::notBankFileQuestion(), QStringLiteral("Confirmação"),
                           Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes) {
        closeForm();
        return;
    }
    BankFileImporter importer(TblBloqueto, [this](qint64 blocks) { progress(blocks); });
    // The last count is shown exactly, however recent the last repaint; the window stays
    // open on it when the import stops.
    try {
        importer.importFile(path);
    } catch (...) {
        if (m_blocks > 0)
            showCount();
        throw;
    }
    if (m_blocks > 0)
        showCount();
    CargaConcluida = importer.completed();
}

void TFrmCarregaArquivo::progress(qint64 blocks)
{
    m_blocks = blocks;
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kPaintIntervalMs)
        showCount();
}

void TFrmCarregaArquivo::showCount()
{
    StatusPanel->setText(QString::number(m_blocks) + QStringLiteral(" registros Processados"));
    StatusBar1->repaint();
    m_sincePaint.start();
}

void TFrmCarregaArquivo::closeForm()
{
    ChildWindow::close(this);
}

void TFrmCarregaArquivo::closeEvent(QCloseEvent* event)
{
    // FormClose: a title still under construction is dropped with the table.
    TblBloqueto.close();
    event->accept();
}

void TFrmCarregaArquivo::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = sub->mdiArea()) {
            const QRect r = area->viewport()->rect();
            sub->move(qMax(0, r.center().x() - sub->width() / 2),
                      qMax(0, r.center().y() - sub->height() / 2));
        }
    }
}
