#include "uConfiguracoes.h"

#include "BlqStatements.h"
#include "BlqTitleRow.h"
#include "DbQuery.h"
#include "Dialogs.h"
#include "IniFile.h"
#include "KvError.h"
#include "LogoPicture.h"
#include "PixKey.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace {
// Pictures of every kind the program reads, offered after the window's own filters so
// that JPEG and PNG logos can be picked without typing their names.
QString everyKnownKind()
{
    return QStringLiteral("Todas as figuras (*.bmp;*.ico;*.jpg;*.jpeg;*.png)|"
                          "*.bmp;*.ico;*.jpg;*.jpeg;*.png");
}

QLabel* smallLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    QFont f = label->font();
    f.setPointSize(7);
    label->setFont(f);
    return label;
}

QLabel* titleLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    QFont f = label->font();
    f.setPointSize(10);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

QFrame* panel(const char* name, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1StringView(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

// A picture box of a fixed inner size in a lowered frame.
QLabel* pictureBox(int width, int height, Qt::Alignment alignment, const char* name,
                   QWidget* parent)
{
    auto* box = new QLabel(parent);
    box->setObjectName(QLatin1StringView(name));
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setLineWidth(1);
    box->setFixedSize(width + 2, height + 2);
    box->setAlignment(alignment);
    return box;
}

QPushButton* chooseButton(const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QLatin1StringView(name));
    button->setFixedSize(23, 22);
    // The hint is kept for assistive tools only: this window shows no tool tips.
    button->setAccessibleDescription(QStringLiteral("Alterar Imagem"));
    button->setAutoDefault(false);
    return button;
}

QString folderOf(const QString& path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}
} // namespace

TfrmConfiguracoes::TfrmConfiguracoes(QWidget* parent) : QWidget(parent), m_filter(initialFilter())
{
    buildForm();
    FormCreate();
}

TfrmConfiguracoes::~TfrmConfiguracoes() = default;

QString TfrmConfiguracoes::initialFilter()
{
    return QStringLiteral(
        "Imagens (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico");
}

QString TfrmConfiguracoes::voucherFilter()
{
    return QStringLiteral(
        "Imagens | *.BMP; *.ICO | Arquivos Bitmap (*.bmp)|*.BMP|Ícones (*.ico)|*.ICO");
}

QString TfrmConfiguracoes::dialogFilter(const QString& pipeFilter)
{
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        description.remove(ownPatterns); // the dialog lists the patterns itself
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            // The patterns were written for a file system that ignores case; ours does
            // not, so both spellings are offered.
            for (const QString& spelling : {pattern.toLower(), pattern.toUpper()}) {
                if (!spelling.isEmpty() && !patterns.contains(spelling))
                    patterns << spelling;
            }
        }
        entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

void TfrmConfiguracoes::buildForm()
{
    setObjectName(QStringLiteral("frmConfiguracoes"));
    setWindowTitle(caption());
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 2);
    root->setSpacing(2);

    GroupBox1 = new QGroupBox(QStringLiteral(" Contrato de Cobrança "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    QFont bold = GroupBox1->font();
    bold.setBold(true);
    GroupBox1->setFont(bold);
    cmbNomeCedente = new QComboBox(GroupBox1);
    cmbNomeCedente->setObjectName(QStringLiteral("cmbNomeCedente"));
    cmbNomeCedente->setFont(font());
    cmbNomeCedente->setEditable(true);
    // The box names a settings section: it must hold exactly what the user typed, never
    // a completion, and typing must not add names to the list.
    cmbNomeCedente->setInsertPolicy(QComboBox::NoInsert);
    cmbNomeCedente->setCompleter(nullptr);
    cmbNomeCedente->setFixedWidth(467);
    auto* groupLayout = new QHBoxLayout(GroupBox1);
    groupLayout->setContentsMargins(8, 2, 8, 6);
    groupLayout->addWidget(cmbNomeCedente);
    groupLayout->addStretch();
    root->addWidget(GroupBox1);

    QFrame* Panel1 = panel("Panel1", this);
    Panel1->setMinimumHeight(91);
    imgRecibo = pictureBox(120, 35, Qt::AlignLeft | Qt::AlignTop, "imgRecibo", Panel1);
    btnReciboSacado = chooseButton("btnReciboSacado", Panel1);
    auto* sizes1 = new QVBoxLayout;
    sizes1->setSpacing(0);
    sizes1->addWidget(smallLabel(QStringLiteral(" 35x120 pixels "), "Label4", Panel1));
    sizes1->addWidget(smallLabel(QStringLiteral(" ou "), "Label7", Panel1));
    sizes1->addWidget(smallLabel(QStringLiteral(" 0,60x2,20 cm "), "Label8", Panel1));
    auto* row1 = new QHBoxLayout;
    row1->addLayout(sizes1);
    row1->addStretch();
    row1->addWidget(imgRecibo);
    row1->addStretch();
    row1->addWidget(btnReciboSacado, 0, Qt::AlignBottom);
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(6, 4, 6, 4);
    panel1Layout->addWidget(
        titleLabel(QStringLiteral("Logomarca do 'RECIBO DO PAGADOR'"), "Label1", Panel1));
    panel1Layout->addLayout(row1);
    root->addWidget(Panel1);

    QFrame* Panel3 = panel("Panel3", this);
    Panel3->setMinimumHeight(188);
    imgComprovante = pictureBox(469, 130, Qt::AlignCenter, "imgComprovante", Panel3);
    btnComprovanteEntrega = chooseButton("btnComprovanteEntrega", Panel3);
    auto* sizes3 = new QHBoxLayout;
    sizes3->setSpacing(0);
    sizes3->addWidget(smallLabel(QStringLiteral(" 130x470 pixels "), "Label3", Panel3));
    sizes3->addWidget(smallLabel(QStringLiteral(" ou "), "Label6", Panel3));
    sizes3->addWidget(smallLabel(QStringLiteral(" 3,40x12,40 cm "), "Label5", Panel3));
    sizes3->addStretch();
    auto* row3 = new QHBoxLayout;
    row3->addWidget(imgComprovante);
    row3->addStretch();
    row3->addWidget(btnComprovanteEntrega, 0, Qt::AlignBottom);
    auto* panel3Layout = new QVBoxLayout(Panel3);
    panel3Layout->setContentsMargins(6, 4, 6, 4);
    panel3Layout->setSpacing(2);
    panel3Layout->addWidget(
        titleLabel(QStringLiteral("Logomarca do 'COMPROVANTE DE ENTREGA'"), "Label2", Panel3));
    panel3Layout->addLayout(sizes3);
    panel3Layout->addLayout(row3);
    root->addWidget(Panel3);

    QFrame* Panel5 = panel("Panel5", this);
    Panel5->setFixedHeight(41);
    btnOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Ok"),
                            Panel5);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnLimpar = new QPushButton(style()->standardIcon(QStyle::SP_DialogResetButton),
                                QStringLiteral("Limpar"), Panel5);
    btnLimpar->setObjectName(QStringLiteral("btnLimpar"));
    btnLimpar->setAutoDefault(false);
    // The PIX key and city share the bottom row with the button that stores them, so the
    // window keeps its size.
    edtChavePix = new QLineEdit(Panel5);
    edtChavePix->setObjectName(QStringLiteral("edtChavePix"));
    edtChavePix->setMaxLength(IniFile::kMaxValue);
    edtChavePix->setMinimumWidth(60);
    // The edits take the room the buttons leave, never more: the window keeps its width.
    edtChavePix->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    edtCidadePix = new QLineEdit(Panel5);
    edtCidadePix->setObjectName(QStringLiteral("edtCidadePix"));
    edtCidadePix->setMaxLength(IniFile::kMaxValue);
    edtCidadePix->setMinimumWidth(40);
    edtCidadePix->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* lblChavePix = new QLabel(QStringLiteral("Chave PIX"), Panel5);
    lblChavePix->setObjectName(QStringLiteral("lblChavePix"));
    lblChavePix->setBuddy(edtChavePix);
    auto* lblCidadePix = new QLabel(QStringLiteral("Cidade"), Panel5);
    lblCidadePix->setObjectName(QStringLiteral("lblCidadePix"));
    lblCidadePix->setBuddy(edtCidadePix);
    auto* buttons = new QHBoxLayout(Panel5);
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addWidget(lblChavePix);
    buttons->addWidget(edtChavePix, 2);
    buttons->addWidget(lblCidadePix);
    buttons->addWidget(edtCidadePix, 1);
    buttons->addSpacing(6);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnLimpar);
    root->addWidget(Panel5);
    root->addStretch();

    connect(cmbNomeCedente, &QComboBox::editTextChanged, this,
            &TfrmConfiguracoes::cmbNomeCedenteChange);
    connect(btnReciboSacado, &QPushButton::clicked, this, &TfrmConfiguracoes::btnReciboSacadoClick);
    connect(btnComprovanteEntrega, &QPushButton::clicked, this,
            &TfrmConfiguracoes::btnComprovanteEntregaClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmConfiguracoes::btnOkClick);
    connect(btnLimpar, &QPushButton::clicked, this, &TfrmConfiguracoes::btnLimparClick);
    connect(edtChavePix, &QLineEdit::textEdited, this, &TfrmConfiguracoes::pixEdited);
    connect(edtCidadePix, &QLineEdit::textEdited, this, &TfrmConfiguracoes::pixEdited);
}

void TfrmConfiguracoes::FormCreate()
{
    runGuarded([this] {
        DbQuery qryNomeCedente;
        qryNomeCedente.setStatement(BlqStatements::beneficiaries());
        qryNomeCedente.open();
        QStringList names;
        for (; !qryNomeCedente.eof(); qryNomeCedente.next())
            names << BlqTitleRow::read(qryNomeCedente).nomCed;
        qryNomeCedente.close();
        const QSignalBlocker quiet(cmbNomeCedente);
        cmbNomeCedente->addItems(names);
        // With no beneficiary at all the box stays empty and the window works on the
        // section of that empty name.
        if (!names.isEmpty())
            cmbNomeCedente->setCurrentIndex(0);
    });
    // A missing logo of the first beneficiary is reported once; the window opens anyway.
    runGuarded([this] { LeArquivoIni(); });
}

QString TfrmConfiguracoes::beneficiary() const
{
    return cmbNomeCedente->currentText();
}

void TfrmConfiguracoes::clearBox(QLabel* box)
{
    box->clear();
}

void TfrmConfiguracoes::showPicture(QLabel* box, const QImage& picture)
{
    // Drawn at its own size, never scaled; the part outside the box is cut here so that
    // it cannot paint over the box's frame.
    const QSize area = box->contentsRect().size();
    QRect part(QPoint(0, 0), area);
    if (box->alignment() & Qt::AlignHCenter)
        part.moveLeft((picture.width() - area.width()) / 2);
    if (box->alignment() & Qt::AlignVCenter)
        part.moveTop((picture.height() - area.height()) / 2);
    box->setPixmap(QPixmap::fromImage(picture.copy(part.intersected(picture.rect()))));
}

void TfrmConfiguracoes::cmbNomeCedenteChange()
{
    runGuarded([this] { LeArquivoIni(); });
}

void TfrmConfiguracoes::LeArquivoIni()
{
    clearBox(imgRecibo);
    clearBox(imgComprovante);
    m_pix = BeneficiaryPix::read(beneficiary());
    edtChavePix->setText(m_pix.chave);
    edtCidadePix->setText(m_pix.cidade);
    m_logos = BeneficiaryLogos::read(beneficiary());
    if (!m_logos.recibo.isEmpty())
        showPicture(imgRecibo, LogoPicture::load(m_logos.recibo));
    if (!m_logos.comprovante.isEmpty())
        showPicture(imgComprovante, LogoPicture::load(m_logos.comprovante));
    btnOk->setEnabled(false);
}

void TfrmConfiguracoes::GravaArquivoIni()
{
    m_logos.write(beneficiary());
    btnOk->setEnabled(false);
}

void TfrmConfiguracoes::chooseLogo(QLabel* box, QString BeneficiaryLogos::*path, bool voucher)
{
    const QString filter = dialogFilter(m_filter + QLatin1Char('|') + everyKnownKind());
    const QString chosen = dialogs().openPicture(folderOf(m_logos.*path), filter);
    if (chosen.isEmpty())
        return;
    const QString fullPath = QFileInfo(chosen).absoluteFilePath();
    // Checked in full before anything changes: a bad file leaves the setting as it was.
    const QImage picture = LogoPicture::load(fullPath);
    showPicture(box, picture);
    if (voucher)
        m_filter = voucherFilter(); // and so it stays for both buttons of this window
    // The other logo is taken from the file as it is now: another window on the same
    // beneficiary may have changed it, and writing this window's older copy would undo that.
    const BeneficiaryLogos stored = BeneficiaryLogos::read(beneficiary());
    QLabel* otherBox = voucher ? imgRecibo : imgComprovante;
    QString BeneficiaryLogos::*other =
        voucher ? &BeneficiaryLogos::recibo : &BeneficiaryLogos::comprovante;
    if (stored.*other != m_logos.*other) {
        m_logos.*other = stored.*other;
        refreshQuietly(otherBox, m_logos.*other);
    }
    m_logos.*path = fullPath;
    try {
        GravaArquivoIni();
    } catch (...) {
        // Nothing was stored: the boxes go back to what the file really holds, so that
        // the user does not take the new logo for saved.
        m_logos = stored;
        refreshQuietly(imgRecibo, m_logos.recibo);
        refreshQuietly(imgComprovante, m_logos.comprovante);
        throw;
    }
    btnOk->setEnabled(true);
}

void TfrmConfiguracoes::refreshQuietly(QLabel* box, const QString& path)
{
    // Only a courtesy of the display: a problem with that picture is reported when its
    // beneficiary is read again, not in the middle of this choice.
    clearBox(box);
    if (path.isEmpty())
        return;
    try {
        showPicture(box, LogoPicture::load(path));
    } catch (const KvError&) {
    }
}

void TfrmConfiguracoes::btnReciboSacadoClick()
{
    runGuarded([this] { chooseLogo(imgRecibo, &BeneficiaryLogos::recibo, false); });
}

void TfrmConfiguracoes::btnComprovanteEntregaClick()
{
    runGuarded([this] { chooseLogo(imgComprovante, &BeneficiaryLogos::comprovante, true); });
}

void TfrmConfiguracoes::pixEdited()
{
    btnOk->setEnabled(true);
}

void TfrmConfiguracoes::btnOkClick()
{
    runGuarded([this] {
        // Checked before anything is written: a key that is no key is never stored.
        BeneficiaryPix typed{edtChavePix->text().trimmed(), edtCidadePix->text().trimmed()};
        if (!typed.chave.isEmpty()) {
            const std::optional<PixKey> key = PixKey::parse(typed.chave);
            if (!key)
                throw KvError(QStringLiteral("Chave PIX inválida"));
            typed.chave = key->value();
        }
        GravaArquivoIni();
        // A beneficiary that uses no PIX keeps its section as it was.
        if (!(typed == BeneficiaryPix::read(beneficiary())))
            typed.write(beneficiary());
        m_pix = typed;
        edtChavePix->setText(m_pix.chave);
        edtCidadePix->setText(m_pix.cidade);
    });
}

void TfrmConfiguracoes::btnLimparClick()
{
    runGuarded([this] {
        clearBox(imgRecibo);
        clearBox(imgComprovante);
        m_logos = {};
        GravaArquivoIni();
    });
}

void TfrmConfiguracoes::keyPressEvent(QKeyEvent* event)
{
    // "Ok" is the window's default button, as it would be in a dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (btnOk->isEnabled())
            btnOk->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
