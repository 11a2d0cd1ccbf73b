#include "Wall.h"

#include <QMdiArea>
#include <QPixmap>
#include <QWidget>

TWallPaper::TWallPaper(QWidget* owner) : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("WallPaper1"));
    if (auto* mdi = qobject_cast<QMdiArea*>(owner))
        m_mdi = mdi;
    else if (owner)
        m_mdi = owner->findChild<QMdiArea*>(QString(), Qt::FindDirectChildrenOnly);
    // The MDI area paints its own background brush, and a brush with a texture is laid
    // in tiles from the top-left corner of the area: all the painting the wallpaper needs.
    if (m_mdi) {
        m_normalBackground = m_mdi->background();
    } else if (m_owner) {
        m_normalBackground = m_owner->palette().brush(QPalette::Window);
        m_normalAutoFill = m_owner->autoFillBackground();
    }
}

TWallPaper::~TWallPaper()
{
    // Give the area its normal background back, if it outlives the wallpaper.
    if (m_mdi) {
        m_mdi->setBackground(m_normalBackground);
    } else if (m_owner) {
        QPalette palette = m_owner->palette();
        palette.setBrush(QPalette::Window, m_normalBackground);
        m_owner->setPalette(palette);
        m_owner->setAutoFillBackground(m_normalAutoFill);
    }
}

QWidget* TWallPaper::clientWindow() const
{
    if (m_mdi)
        return m_mdi;
    return m_owner;
}

void TWallPaper::setBitmap(const QImage& bitmap)
{
    m_bitmap = bitmap;
    repaintOwner();
}

void TWallPaper::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    repaintOwner();
}

QBrush TWallPaper::currentBrush() const
{
    if (!m_enabled || m_bitmap.isNull())
        return m_normalBackground;
    return QBrush(QPixmap::fromImage(m_bitmap));
}

void TWallPaper::repaintOwner()
{
    if (m_mdi) {
        m_mdi->setBackground(currentBrush());
        m_mdi->viewport()->update();
    } else if (m_owner) {
        QPalette palette = m_owner->palette();
        palette.setBrush(QPalette::Window, currentBrush());
        m_owner->setPalette(palette);
        m_owner->setAutoFillBackground(m_normalAutoFill || (m_enabled && !m_bitmap.isNull()));
    }
    if (m_owner)
        m_owner->update();
    Q_EMIT repaintRequested();
}
