#pragma once

#include <QDialog>

class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

// The About box: the bank's picture about its collection product and how to reach it,
// and "Ok". Shown modally; Esc does not close it.
class TfrmSobre : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget* parent = nullptr);
    ~TfrmSobre() override;

    static QString caption() { return QStringLiteral("Cobrança Ravessa"); }

    QFrame* pnlSobre = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblPasta = nullptr; // the program folder in use
    QFrame* pnlSobre1 = nullptr;
    QPushButton* btnOk = nullptr;

public Q_SLOTS:
    void btnOkClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
