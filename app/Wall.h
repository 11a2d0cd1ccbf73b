#pragma once

#include <QBrush>
#include <QImage>
#include <QObject>
#include <QPointer>

class QMdiArea;
class QWidget;

// A wallpaper for the client area of a window: the bitmap repeated in tiles from the
// top-left corner, at its own size, never stretched. The client area is the owner's MDI
// area when it has one, otherwise the owner itself. Disabled, or with an empty bitmap,
// the area keeps its normal background.
class TWallPaper : public QObject {
    Q_OBJECT
    Q_PROPERTY(QImage Bitmap READ Bitmap WRITE setBitmap)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
public:
    explicit TWallPaper(QWidget* owner);
    ~TWallPaper() override;

    QImage Bitmap() const { return m_bitmap; }
    // Copies the picture; every change repaints the owner.
    void setBitmap(const QImage& bitmap);
    bool Enabled() const { return m_enabled; }
    // Repaints the owner when the value changes, and only then.
    void setEnabled(bool enabled);

    QWidget* clientWindow() const;

Q_SIGNALS:
    void repaintRequested();

private:
    void repaintOwner();
    QBrush currentBrush() const;

    QPointer<QWidget> m_owner;
    QPointer<QMdiArea> m_mdi;
    QBrush m_normalBackground;
    bool m_normalAutoFill = false;
    QImage m_bitmap;
    bool m_enabled = true;
};
