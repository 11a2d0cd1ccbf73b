#include "uSobre.h"

#include "ProgramDir.h"
#include "ShellPictures.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QFrame* bevelledPanel(const char* name, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1StringView(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    return panel;
}
} // namespace

TfrmSobre::TfrmSobre(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSobre"));
    setWindowTitle(caption());
    setModal(true);
    setFixedSize(516, 358);

    pnlSobre = bevelledPanel("pnlSobre", this);
    QPalette white = pnlSobre->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlSobre->setPalette(white);
    pnlSobre->setAutoFillBackground(true);
    Image1 = new QLabel(pnlSobre);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(500, 275);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop); // at its own size, from the corner
    Image1->setPixmap(QPixmap::fromImage(ShellPictures::aboutPicture()));
    // Under the picture, the folder of this desk's database and settings: the first thing
    // support asks for. A long path is cut in the middle; the tip holds all of it.
    lblPasta = new QLabel(pnlSobre);
    lblPasta->setObjectName(QStringLiteral("lblPasta"));
    QFont small = lblPasta->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblPasta->setFont(small);
    const QString folder = ProgramDir::describeCurrent();
    lblPasta->setText(lblPasta->fontMetrics().elidedText(folder, Qt::ElideMiddle, Image1->width()));
    lblPasta->setToolTip(folder);
    auto* pictureLayout = new QVBoxLayout(pnlSobre);
    pictureLayout->setContentsMargins(7, 7, 7, 2);
    pictureLayout->setSpacing(2);
    pictureLayout->addWidget(Image1, 0, Qt::AlignCenter);
    pictureLayout->addWidget(lblPasta, 0, Qt::AlignLeft);

    pnlSobre1 = bevelledPanel("pnlSobre1", this);
    pnlSobre1->setFixedHeight(41);
    btnOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Ok"),
                            pnlSobre1);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    auto* buttonLayout = new QHBoxLayout(pnlSobre1);
    buttonLayout->setContentsMargins(4, 4, 4, 4);
    buttonLayout->addWidget(btnOk, 0, Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlSobre, 1);
    layout->addWidget(pnlSobre1);

    connect(btnOk, &QPushButton::clicked, this, &TfrmSobre::btnOkClick);
}

TfrmSobre::~TfrmSobre() = default;

void TfrmSobre::btnOkClick()
{
    accept();
}

void TfrmSobre::keyPressEvent(QKeyEvent* event)
{
    // The box has no cancel button, so Esc has nothing to do; "Ok", Enter and the close
    // box end it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
