#pragma once

#include <QFileDialog>

class QLabel;

// The open-picture dialog: a file dialog with a preview of the picture under the cursor,
// beside the list, so that the user sees the logo before choosing it.
class PictureDialog : public QFileDialog {
    Q_OBJECT
public:
    PictureDialog(QWidget* parent, const QString& startDir, const QString& filter);

    QLabel* preview() const { return m_preview; }

public Q_SLOTS:
    void showPreview(const QString& path);

private:
    QLabel* m_preview = nullptr;
};
