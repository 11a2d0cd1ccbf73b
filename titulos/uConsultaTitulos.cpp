#include "uConsultaTitulos.h"

#include "WaitCursor.h"

#include "BloquetoFiles.h"
#include "Clock.h"
#include "Dialogs.h"
#include "KvError.h"
#include "Regional.h"
#include "TRpReport.h"
#include "TitleDetail.h"
#include "TitleListModel.h"
#include "TitleSearch.h"
#include "TitleSituacao.h"
#include "uRelBloqueto.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kAtencao = QStringLiteral("Atenção");

QLabel* buddyLabel(const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

QLineEdit* dateEdit(const QString& name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    e->setMaxLength(10);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
    return e;
}

QPushButton* copyButton(const QString& name)
{
    auto* b = new QPushButton(QStringLiteral("Copiar"));
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setEnabled(false);
    return b;
}
} // namespace

TfrmConsultaTitulos::TfrmConsultaTitulos(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmConsultaTitulos"));
    setWindowTitle(QStringLiteral("Consultar Títulos"));
    m_model = new TitleListModel(this);
    buildLayout();

    connect(edtBusca, &QLineEdit::returnPressed, this, &TfrmConsultaTitulos::btnPesquisarClick);
    connect(edtVencDe, &QLineEdit::returnPressed, this, &TfrmConsultaTitulos::btnPesquisarClick);
    connect(edtVencAte, &QLineEdit::returnPressed, this, &TfrmConsultaTitulos::btnPesquisarClick);
    connect(btnPesquisar, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnPesquisarClick);
    connect(btnVisualizar, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnVisualizarClick);
    connect(btnImprimir, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnImprimirClick);
    connect(btnExportarPdf, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnExportarPdfClick);
    connect(btnEnviarEmail, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnEnviarEmailClick);
    connect(btnCopiarLinha, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnCopiarLinhaClick);
    connect(btnCopiarPix, &QPushButton::clicked, this, &TfrmConsultaTitulos::btnCopiarPixClick);
    connect(grdTitulos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showDetail(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { showDetail(); });
    QHeaderView* header = grdTitulos->horizontalHeader();
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                runGuarded([&] {
                    const WaitCursor wait;
                    m_model->sort(column, order);
                });
                showCount();
            });
    grdTitulos->installEventFilter(this);
}

TfrmConsultaTitulos::~TfrmConsultaTitulos() = default;

void TfrmConsultaTitulos::buildLayout()
{
    edtBusca = new QLineEdit;
    edtBusca->setObjectName(QStringLiteral("edtBusca"));
    edtBusca->setPlaceholderText(
        QStringLiteral("nome, CPF/CNPJ, nosso número, seu número ou beneficiário"));
    edtBusca->setClearButtonEnabled(true);
    edtVencDe = dateEdit(QStringLiteral("edtVencDe"));
    edtVencAte = dateEdit(QStringLiteral("edtVencAte"));
    cmbValidade = new QComboBox;
    cmbValidade->setObjectName(QStringLiteral("cmbValidade"));
    cmbValidade->addItems(
        {QStringLiteral("Todos"), QStringLiteral("Válidos"), QStringLiteral("Rejeitados")});
    cmbSituacao = new QComboBox;
    cmbSituacao->setObjectName(QStringLiteral("cmbSituacao"));
    cmbSituacao->addItem(QStringLiteral("Todas"));
    cmbSituacao->addItems(TitleSituacao::names());
    btnPesquisar = new QPushButton(QStringLiteral("Pesquisar"));
    btnPesquisar->setObjectName(QStringLiteral("btnPesquisar"));
    btnPesquisar->setAutoDefault(false);

    auto* filters = new QHBoxLayout;
    filters->addWidget(buddyLabel(QStringLiteral("&Buscar:"), edtBusca));
    filters->addWidget(edtBusca, 1);
    filters->addWidget(buddyLabel(QStringLiteral("V&encimento de"), edtVencDe));
    filters->addWidget(edtVencDe);
    filters->addWidget(buddyLabel(QStringLiteral("a&té"), edtVencAte));
    filters->addWidget(edtVencAte);
    filters->addWidget(buddyLabel(QStringLiteral("&Carga:"), cmbValidade));
    filters->addWidget(cmbValidade);
    filters->addWidget(buddyLabel(QStringLiteral("&Situação:"), cmbSituacao));
    filters->addWidget(cmbSituacao);
    filters->addWidget(btnPesquisar);

    grdTitulos = new QTableView;
    grdTitulos->setObjectName(QStringLiteral("grdTitulos"));
    grdTitulos->setModel(m_model);
    grdTitulos->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTitulos->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdTitulos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTitulos->setAlternatingRowColors(true);
    grdTitulos->setWordWrap(false);
    grdTitulos->verticalHeader()->hide();
    grdTitulos->verticalHeader()->setDefaultSectionSize(grdTitulos->fontMetrics().height() + 6);
    QHeaderView* header = grdTitulos->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setStretchLastSection(true);
    const QFontMetrics fm = grdTitulos->fontMetrics();
    const int widths[TitleListModel::ColumnCount] = {
        fm.horizontalAdvance(QStringLiteral("00000000000")),
        fm.horizontalAdvance(QStringLiteral("NF00410000")),
        fm.horizontalAdvance(QStringLiteral("PAGADOR NUMERO 0000 COMERCIO")),
        fm.horizontalAdvance(QStringLiteral("00000000000000")),
        fm.horizontalAdvance(QStringLiteral("00/00/0000")),
        fm.horizontalAdvance(QStringLiteral("000.000,00")),
        fm.horizontalAdvance(QStringLiteral("DISTRIBUIDORA VALE VERDE")),
        fm.horizontalAdvance(QStringLiteral("Em protesto")),
        fm.horizontalAdvance(QStringLiteral("Motivos da rejeição"))};
    for (int c = 0; c < TitleListModel::ColumnCount; ++c) {
        const int title = fm.horizontalAdvance(TitleListModel::columnTitle(c)) + 24;
        header->resizeSection(c, std::max(widths[c] + 16, title));
    }

    lblEncontrados = new QLabel;
    lblEncontrados->setObjectName(QStringLiteral("lblEncontrados"));

    edtLinhaDigitavel = new QLineEdit;
    edtLinhaDigitavel->setObjectName(QStringLiteral("edtLinhaDigitavel"));
    edtLinhaDigitavel->setReadOnly(true);
    btnCopiarLinha = copyButton(QStringLiteral("btnCopiarLinha"));
    edtPix = new QLineEdit;
    edtPix->setObjectName(QStringLiteral("edtPix"));
    edtPix->setReadOnly(true);
    btnCopiarPix = copyButton(QStringLiteral("btnCopiarPix"));
    lblValorAtualizado = new QLabel;
    lblValorAtualizado->setObjectName(QStringLiteral("lblValorAtualizado"));
    lblValorAtualizado->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* detail = new QGroupBox(QStringLiteral("Título escolhido"));
    auto* form = new QFormLayout(detail);
    auto* linha = new QHBoxLayout;
    linha->addWidget(edtLinhaDigitavel, 1);
    linha->addWidget(btnCopiarLinha);
    auto* pix = new QHBoxLayout;
    pix->addWidget(edtPix, 1);
    pix->addWidget(btnCopiarPix);
    form->addRow(QStringLiteral("Linha digitável:"), linha);
    form->addRow(QStringLiteral("PIX copia e cola:"), pix);
    form->addRow(lblValorAtualizado);

    btnVisualizar = new QPushButton(QStringLiteral("&Visualizar"));
    btnVisualizar->setObjectName(QStringLiteral("btnVisualizar"));
    btnImprimir = new QPushButton(QStringLiteral("&Imprimir"));
    btnImprimir->setObjectName(QStringLiteral("btnImprimir"));
    btnExportarPdf = new QPushButton(QStringLiteral("Exportar &PDF"));
    btnExportarPdf->setObjectName(QStringLiteral("btnExportarPdf"));
    btnEnviarEmail = new QPushButton(QStringLiteral("Enviar por &e-mail"));
    btnEnviarEmail->setObjectName(QStringLiteral("btnEnviarEmail"));
    chkValorAtualizado = new QCheckBox(QStringLiteral("Imprimir com o valor atualizado"));
    chkValorAtualizado->setObjectName(QStringLiteral("chkValorAtualizado"));
    for (QPushButton* b : {btnVisualizar, btnImprimir, btnExportarPdf, btnEnviarEmail})
        b->setAutoDefault(false);
    pnlAcoes = new QWidget;
    pnlAcoes->setObjectName(QStringLiteral("pnlAcoes"));
    layAcoes = new QHBoxLayout(pnlAcoes);
    layAcoes->setContentsMargins(0, 0, 0, 0);
    layAcoes->addWidget(btnVisualizar);
    layAcoes->addWidget(btnImprimir);
    layAcoes->addWidget(btnExportarPdf);
    layAcoes->addWidget(btnEnviarEmail);
    layAcoes->addStretch(1);
    layAcoes->addWidget(chkValorAtualizado);

    auto* top = new QVBoxLayout(this);
    top->addLayout(filters);
    top->addWidget(grdTitulos, 1);
    top->addWidget(lblEncontrados);
    top->addWidget(detail);
    top->addWidget(pnlAcoes);
    setTabOrder(edtBusca, edtVencDe);
    setTabOrder(edtVencDe, edtVencAte);
    setTabOrder(edtVencAte, cmbValidade);
    setTabOrder(cmbValidade, cmbSituacao);
    setTabOrder(cmbSituacao, btnPesquisar);
    setTabOrder(btnPesquisar, grdTitulos);
    resize(980, 600);
}

void TfrmConsultaTitulos::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_searched) {
        m_searched = true;
        btnPesquisarClick(); // every title, as the window opens
    }
    edtBusca->setFocus();
}

bool TfrmConsultaTitulos::readDate(QLineEdit* edit, QDate* date)
{
    const QString text = edit->text().trimmed();
    *date = QDate();
    if (text.isEmpty())
        return true;
    *date = Regional::parseShortDate(text);
    if (date->isValid())
        return true;
    dialogs().message(
        QStringLiteral("Data inválida: %1. Escreva a data como dd/mm/aaaa.").arg(text), kAtencao);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void TfrmConsultaTitulos::btnPesquisarClick()
{
    TitleSearch::Criteria c = m_model->criteria();
    if (!readDate(edtVencDe, &c.dueFrom) || !readDate(edtVencAte, &c.dueUntil))
        return;
    c.text = edtBusca->text();
    c.validity = TitleSearch::Validity(cmbValidade->currentIndex());
    c.situacao = cmbSituacao->currentIndex() > 0 ? cmbSituacao->currentText() : QString();
    runGuarded([&] {
        const WaitCursor wait;
        m_model->search(c);
    });
    showCount();
    if (m_model->rowCount() > 0)
        grdTitulos->setCurrentIndex(m_model->index(0, 0));
}

void TfrmConsultaTitulos::showCount()
{
    const int n = m_model->found();
    lblEncontrados->setText(n == 1 ? QStringLiteral("1 título encontrado")
                                   : QStringLiteral("%1 títulos encontrados").arg(n));
}

void TfrmConsultaTitulos::showDetail()
{
    edtLinhaDigitavel->clear();
    edtPix->clear();
    lblValorAtualizado->clear();
    const TitleSearch::Row* row = m_model->rowAt(grdTitulos->currentIndex().row());
    if (row) {
        runGuarded([&] {
            if (!row->valid) {
                lblValorAtualizado->setText(
                    QStringLiteral("Título rejeitado na carga: %1").arg(row->msgErr));
                return;
            }
            const TitleDetail d = TitleDetail::of(TitleSearch::title(row->seq), Clock::today());
            edtLinhaDigitavel->setText(d.typeableLine);
            edtPix->setText(d.pixPayload);
            edtPix->setCursorPosition(0);
            lblValorAtualizado->setText(d.problem.isEmpty() ? d.updatedValue : d.problem);
        });
    }
    btnCopiarLinha->setEnabled(!edtLinhaDigitavel->text().isEmpty());
    btnCopiarPix->setEnabled(!edtPix->text().isEmpty());
}

void TfrmConsultaTitulos::btnCopiarLinhaClick()
{
    if (!edtLinhaDigitavel->text().isEmpty())
        QGuiApplication::clipboard()->setText(edtLinhaDigitavel->text());
}

void TfrmConsultaTitulos::btnCopiarPixClick()
{
    if (!edtPix->text().isEmpty())
        QGuiApplication::clipboard()->setText(edtPix->text());
}

QList<qint32> TfrmConsultaTitulos::selectedTitles() const
{
    QList<int> rows;
    for (const QModelIndex& i : grdTitulos->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty() && grdTitulos->currentIndex().isValid())
        rows << grdTitulos->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    QList<qint32> out;
    for (int r : rows) {
        if (const TitleSearch::Row* row = m_model->rowAt(r))
            out << row->seq;
    }
    return out;
}

QList<qint32> TfrmConsultaTitulos::printable()
{
    const QList<qint32> chosen = selectedTitles();
    if (chosen.isEmpty()) {
        dialogs().message(QStringLiteral("Escolha um título na lista."), kAtencao);
        return {};
    }
    QList<qint32> out;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const TitleSearch::Row* row = m_model->rowAt(r);
        if (row->valid && chosen.contains(row->seq))
            out << row->seq;
    }
    // In the order chosen, which is the grid's.
    std::stable_sort(out.begin(), out.end(), [&chosen](qint32 a, qint32 b) {
        return chosen.indexOf(a) < chosen.indexOf(b);
    });
    if (out.isEmpty())
        dialogs().message(QStringLiteral("Os títulos escolhidos foram rejeitados na carga e não "
                                         "têm bloqueto."),
                          kAtencao);
    return out;
}

std::unique_ptr<TfrmRelBloqueto> TfrmConsultaTitulos::reportOf(const QList<qint32>& seqs)
{
    // No owner: the preview's wait outlives this window when the user closes it first.
    auto form = std::make_unique<TfrmRelBloqueto>(nullptr);
    if (chkValorAtualizado->isChecked())
        form->rel().updatedValueOn = Clock::today();
    form->rel().selectTitles(seqs);
    return form;
}

void TfrmConsultaTitulos::btnVisualizarClick()
{
    runGuarded([this] {
        const QList<qint32> seqs = printable();
        if (seqs.isEmpty())
            return;
        std::unique_ptr<TfrmRelBloqueto> form;
        {
            const WaitCursor wait;
            form = reportOf(seqs);
        }
        form->preview();
    });
}

void TfrmConsultaTitulos::btnImprimirClick()
{
    runGuarded([this] {
        const QList<qint32> seqs = printable();
        if (seqs.isEmpty())
            return;
        std::unique_ptr<TfrmRelBloqueto> form = reportOf(seqs);
        QPrinter& printer = form->rptBloqueto().printer();
        // One sheet a title.
        if (!dialogs().choosePrinter(&printer, int(seqs.size())))
            return;
        {
            const WaitCursor wait;
            form->rptBloqueto().printTo(printer);
        }
        dialogs().message(QStringLiteral("Relatório enviado para impressora com sucesso"),
                          QStringLiteral("Informação"));
    });
}

void TfrmConsultaTitulos::btnEnviarEmailClick()
{
    const QList<qint32> seqs = printable();
    if (!seqs.isEmpty())
        Q_EMIT enviarPorEmail(seqs);
}

void TfrmConsultaTitulos::btnExportarPdfClick()
{
    runGuarded([this] {
        const QList<qint32> seqs = printable();
        if (seqs.isEmpty())
            return;
        Dialogs::Answer answer = Dialogs::Answer::No;
        if (seqs.size() > 1) {
            answer = dialogs().question(
                QStringLiteral("Gravar um arquivo PDF para cada bloqueto?\n\n"
                               "Sim: um arquivo por bloqueto, com um índice dos arquivos, "
                               "na pasta que escolher.\n"
                               "Não: todos os bloquetos num arquivo só."),
                QStringLiteral("Confirmação"), Dialogs::Buttons::YesNoCancel);
        }
        if (answer == Dialogs::Answer::Yes) {
            const QString folder = dialogs().chooseFolder(
                QStringLiteral("Pasta dos arquivos dos bloquetos"), QString());
            if (folder.isEmpty())
                return;
            std::unique_ptr<TfrmRelBloqueto> form = reportOf(seqs);
            const WaitCursor wait;
            const int files = BloquetoFiles::write(form->rel(), folder);
            dialogs().message(
                QStringLiteral("%1 bloqueto(s) gravado(s) em %2, um arquivo por bloqueto.")
                    .arg(files)
                    .arg(QDir::toNativeSeparators(folder)),
                QStringLiteral("Informação"));
            return;
        }
        if (answer != Dialogs::Answer::No)
            return;
        QString fileName =
            dialogs().saveFile(QStringLiteral("Exportar PDF"), QString(),
                               QStringLiteral("Arquivos PDF (*.pdf)"), QStringLiteral("pdf"));
        if (fileName.isEmpty())
            return;
        if (QFileInfo(fileName).suffix().isEmpty())
            fileName += QStringLiteral(".pdf");
        if (QFileInfo::exists(fileName) &&
            dialogs().question(
                QStringLiteral("Arquivo %1 já existe. Deseja sobrepôr?").arg(fileName),
                QStringLiteral("Confirmação"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return;
        std::unique_ptr<TfrmRelBloqueto> form = reportOf(seqs);
        int pages = 0;
        {
            const WaitCursor wait;
            pages = form->rel().writePdf(fileName);
        }
        dialogs().message(QStringLiteral("%1 bloqueto(s) gravado(s) em %2")
                              .arg(pages)
                              .arg(QDir::toNativeSeparators(fileName)),
                          QStringLiteral("Informação"));
    });
}

bool TfrmConsultaTitulos::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdTitulos && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            // Enter on a row: that title's preview alone.
            grdTitulos->selectRow(grdTitulos->currentIndex().row());
            btnVisualizarClick();
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            btnCopiarLinhaClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
