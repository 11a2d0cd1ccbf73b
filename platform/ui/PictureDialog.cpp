#include "PictureDialog.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

namespace {
constexpr int kPreviewSide = 180;
}

PictureDialog::PictureDialog(QWidget* parent, const QString& startDir, const QString& filter)
    : QFileDialog(parent, QString(), startDir, filter)
{
    setObjectName(QStringLiteral("OpenPictureDialog1"));
    // The preview lives in the toolkit's own dialog: a desktop's native one has no room
    // for it.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    // Files the filter leaves out are shown greyed rather than hidden: hidden, a name the
    // user types (a JPEG logo under the bitmap filter) is not found and the dialog refuses
    // it, though the program reads that kind.
    if (auto* model = findChild<QFileSystemModel*>())
        model->setNameFilterDisables(true);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_preview->setMinimumSize(kPreviewSide, kPreviewSide);
    m_preview->setWordWrap(true);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &PictureDialog::showPreview);
    showPreview(QString());
}

void PictureDialog::showPreview(const QString& path)
{
    const QFileInfo info(path);
    QImage picture;
    if (info.isFile()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        picture = reader.read();
    }
    if (picture.isNull()) {
        m_preview->setPixmap(QPixmap());
        m_preview->setText(info.isFile() ? QStringLiteral("Não é uma figura que o programa leia")
                                         : QStringLiteral("Escolha uma figura para vê-la aqui"));
        return;
    }
    const QSize own = picture.size();
    const QSize room =
        m_preview->contentsRect().size().boundedTo(QSize(kPreviewSide, kPreviewSide));
    // Small logos are shown at their own size; only larger ones are reduced to fit.
    if (picture.width() > room.width() || picture.height() > room.height())
        picture = picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_preview->setPixmap(QPixmap::fromImage(picture));
    m_preview->setToolTip(QStringLiteral("%1: %2 × %3 pixels")
                              .arg(info.fileName())
                              .arg(own.width())
                              .arg(own.height()));
}
