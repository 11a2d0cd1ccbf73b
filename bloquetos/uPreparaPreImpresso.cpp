#include "uPreparaPreImpresso.h"

#include "ContinuoRowsModel.h"
#include "ContinuoRun.h"
#include "ContinuoSelection.h"
#include "Dialogs.h"
#include "FormModel.h"
#include "PortChannel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QString printerPort()
{
    return QStringLiteral("LPT1");
}
} // namespace

TFrmPreparaPreImpresso::TFrmPreparaPreImpresso(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmPreparaPreImpresso"));
    setWindowTitle(caption());
    buildForm();
    resize(sizeHint());
    FormCreate();
}

TFrmPreparaPreImpresso::~TFrmPreparaPreImpresso() = default;

void TFrmPreparaPreImpresso::buildForm()
{
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1StringView(name));
        return widget;
    };
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* contrato =
        named(new QGroupBox(QStringLiteral("Selecione o Contrato:"), this), "GroupBox1");
    auto* heading = named(
        new QLabel(QStringLiteral("Agência    Contrato         Beneficiário"), contrato), "Label1");
    heading->setFont(fixed);
    cmbContrato = named(new QComboBox(contrato), "cmbContrato");
    cmbContrato->setEditable(true);
    cmbContrato->setInsertPolicy(QComboBox::NoInsert);
    cmbContrato->setFont(fixed);
    auto* contratoLayout = new QVBoxLayout(contrato);
    contratoLayout->addWidget(heading);
    contratoLayout->addWidget(cmbContrato);

    auto* modelo =
        named(new QGroupBox(QStringLiteral(" Modelo do Formulário Contínuo "), this), "GroupBox2");
    RdbMod80074 =
        named(new QRadioButton(FormModels::caption(FormModel::Small), modelo), "RdbMod80074");
    RdbMod80071 =
        named(new QRadioButton(FormModels::caption(FormModel::Large), modelo), "RdbMod80071");
    RdbMod80071->setChecked(true);
    auto* modeloLayout = new QVBoxLayout(modelo);
    modeloLayout->addWidget(RdbMod80074);
    modeloLayout->addWidget(RdbMod80071);

    auto* situacao =
        named(new QGroupBox(QStringLiteral(" Situação da Impressão "), this), "GroupBox3");
    QtdSel = named(new QLineEdit(situacao), "QtdSel");
    QtdImp = named(new QLineEdit(situacao), "QtdImp");
    for (QLineEdit* counter : {QtdSel, QtdImp}) {
        counter->setEnabled(false);
        counter->setAlignment(Qt::AlignRight);
    }
    auto* situacaoLayout = new QHBoxLayout(situacao);
    situacaoLayout->addWidget(new QLabel(QStringLiteral("Bloquetos Selecionados:"), situacao));
    situacaoLayout->addWidget(QtdSel);
    situacaoLayout->addSpacing(12);
    situacaoLayout->addWidget(new QLabel(QStringLiteral("Bloquetos Impressos:"), situacao));
    situacaoLayout->addWidget(QtdImp);

    auto* grade =
        named(new QGroupBox(QStringLiteral("Selecione o primeiro bloqueto a ser impresso "), this),
              "GroupBox4");
    QryMovimento = named(new ContinuoRowsModel(this), "QryMovimento");
    DBGrid1 = named(new QTableView(grade), "DBGrid1");
    DBGrid1->setModel(QryMovimento);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setColumnWidth(ContinuoRowsModel::SeuNumero, 100);
    DBGrid1->setColumnWidth(ContinuoRowsModel::Vencimento, 100);
    DBGrid1->setColumnWidth(ContinuoRowsModel::Valor, 120);
    DBGrid1->setColumnWidth(ContinuoRowsModel::NumeroBloqueto, 50);
    DBGrid1->setMinimumHeight(60);
    auto* gradeLayout = new QVBoxLayout(grade);
    gradeLayout->addWidget(DBGrid1);

    btnImprimir = named(new QPushButton(QStringLiteral("&Imprimir"), this), "btnImprimir");
    BtnCancelaImpressao =
        named(new QPushButton(QStringLiteral("Cancela Impressão"), this), "BtnCancelaImpressao");
    btnFechar = named(new QPushButton(QStringLiteral("&Fechar"), this), "btnFechar");
    btnImprimir->setEnabled(false);
    btnImprimir->installEventFilter(this);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnImprimir);
    botoes->addWidget(BtnCancelaImpressao);
    botoes->addWidget(btnFechar);

    // The window keeps its small size of 448 by 404 with the usual fonts.
    for (QGroupBox* group : {contrato, modelo, situacao, grade})
        group->layout()->setContentsMargins(6, 4, 6, 4);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(contrato);
    layout->addWidget(modelo);
    layout->addWidget(situacao);
    layout->addWidget(grade, 1);
    layout->addLayout(botoes);

    connect(cmbContrato, &QComboBox::editTextChanged, this,
            &TFrmPreparaPreImpresso::cmbContratoChange);
    connect(RdbMod80074, &QRadioButton::clicked, this, &TFrmPreparaPreImpresso::RdbMod80074Click);
    connect(RdbMod80071, &QRadioButton::clicked, this, &TFrmPreparaPreImpresso::RdbMod80071Click);
    connect(btnImprimir, &QPushButton::clicked, this, &TFrmPreparaPreImpresso::btnImprimirClick);
    connect(BtnCancelaImpressao, &QPushButton::clicked, this,
            &TFrmPreparaPreImpresso::BtnCancelaImpressaoClick);
    connect(btnFechar, &QPushButton::clicked, this, &TFrmPreparaPreImpresso::btnFecharClick);
}

QSize TFrmPreparaPreImpresso::sizeHint() const
{
    return QSize(448, 404).expandedTo(minimumSizeHint());
}

void TFrmPreparaPreImpresso::FormCreate()
{
    FCancelar = false;
    FCarregando = true;
    if (FormModels::saved() == FormModel::Small)
        RdbMod80074->setChecked(true);
    else
        RdbMod80071->setChecked(true);
    FCarregando = false;

    QString conversionError;
    QStringList entries;
    // An engine failure is shown and leaves the list empty; the window still opens.
    const bool listed =
        runGuarded([&] { entries = ContinuoSelection::contractEntries(&conversionError); });
    {
        const QSignalBlocker quiet(cmbContrato);
        cmbContrato->clear();
        cmbContrato->addItems(entries);
        if (!entries.isEmpty())
            cmbContrato->setCurrentIndex(0);
    }
    if (!conversionError.isEmpty())
        dialogs().error(conversionError);
    if (listed)
        cmbContratoChange();
}

void TFrmPreparaPreImpresso::SelecionaMovimento()
{
    btnImprimir->setEnabled(false);
    QryMovimento->SelecionaMovimento(cmbContrato->currentText());
    showRow(0);
    btnImprimir->setEnabled(!FRunning && QryMovimento->rowCount() > 0);
}

void TFrmPreparaPreImpresso::showRow(int row)
{
    const int rows = QryMovimento->rowCount();
    if (rows == 0)
        return;
    DBGrid1->setCurrentIndex(QryMovimento->index(qBound(0, row, rows - 1), 0));
}

void TFrmPreparaPreImpresso::cmbContratoChange()
{
    runGuarded([this] { SelecionaMovimento(); });
}

void TFrmPreparaPreImpresso::RdbMod80074Click()
{
    RdbMod80074->setChecked(true);
    if (!FCarregando)
        dialogs().message(QStringLiteral("Aplicativo Setado para usar bloquetos pequenos"),
                          QStringLiteral("Informação"));
}

void TFrmPreparaPreImpresso::RdbMod80071Click()
{
    RdbMod80071->setChecked(true);
    if (!FCarregando)
        dialogs().message(QStringLiteral("Aplicativo Setado para usar bloquetos grandes"),
                          QStringLiteral("Informação"));
}

void TFrmPreparaPreImpresso::setPrinting(bool printing)
{
    FRunning = printing;
    cmbContrato->setEnabled(!printing);
    btnFechar->setEnabled(!printing);
    btnImprimir->setEnabled(!printing && QryMovimento->rowCount() > 0);
    if (printing)
        BtnCancelaImpressao->setFocus();
    else if (btnImprimir->isEnabled())
        btnImprimir->setFocus();
}

void TFrmPreparaPreImpresso::btnImprimirClick()
{
    runGuarded([this] {
        if (FRunning || ContinuoRun::isActive()) {
            dialogs().message(QStringLiteral("Aguarde o fim da impressão em andamento"),
                              QStringLiteral("Atenção"));
            return;
        }
        const QList<BlqTitle> rows = QryMovimento->rows();
        if (rows.isEmpty())
            return;
        FormModels::save(RdbMod80074->isChecked() ? FormModel::Small : FormModel::Large);
        QtdSel->setText(QString::number(rows.size()));
        QtdImp->clear();
        dialogs().message(QStringLiteral("Posicione o formulário contínuo e pressione OK"),
                          QStringLiteral("Atenção"));

        ContinuoRun::Hooks hooks;
        hooks.model = [this] {
            return RdbMod80074->isChecked() ? FormModel::Small : FormModel::Large;
        };
        hooks.takeCancel = [this] {
            if (!FCancelar)
                return false;
            setStatusPanel(QStringLiteral(" "));
            FCancelar = false;
            return true;
        };
        hooks.processEvents = [] { QCoreApplication::processEvents(); };
        hooks.confirmFirst = &ContinuoRun::askFirstPrinted;
        hooks.passDone = [this](int passes) { QtdImp->setText(QString::number(passes)); };
        hooks.atRow = [this](int row) { showRow(row); };

        const int start = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().row() : 0;
        PortChannel channel(printerPort());
        setPrinting(true);
        ContinuoRun::Result result;
        try {
            result = ContinuoRun::run(rows, start, channel, hooks);
        } catch (...) {
            setPrinting(false);
            throw;
        }
        setPrinting(false);
        showRow(result.stoppedAt);
    });
}

void TFrmPreparaPreImpresso::BtnCancelaImpressaoClick()
{
    setStatusPanel(QStringLiteral("Cancelando impressão. Aguarde..."));
    FCancelar = true;
}

void TFrmPreparaPreImpresso::btnImprimirKeyPress(QChar key)
{
    if (key.unicode() == 27)
        BtnCancelaImpressaoClick();
}

void TFrmPreparaPreImpresso::btnFecharClick()
{
    close();
}

bool TFrmPreparaPreImpresso::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == btnImprimir && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        btnImprimirKeyPress(QChar(27));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmPreparaPreImpresso::keyPressEvent(QKeyEvent* event)
{
    // "&Imprimir" is disabled while printing, so Esc anywhere in the window cancels then.
    if (FRunning && event->key() == Qt::Key_Escape) {
        btnImprimirKeyPress(QChar(27));
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFrmPreparaPreImpresso::closeEvent(QCloseEvent* event)
{
    if (FRunning) {
        event->ignore();
        return;
    }
    QryMovimento->close();
    event->accept();
}

void TFrmPreparaPreImpresso::setStatusPanel(const QString& text)
{
    FStatus = text;
    if (auto* panel = window()->findChild<QLabel*>(QStringLiteral("pnlStatus1")))
        panel->setText(text);
}
