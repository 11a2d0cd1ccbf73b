#pragma once

#include <QWidget>

class ContinuoRowsModel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// Prints the valid bloquetos of a contract on continuous pre-printed forms: the user picks
// the contract, the form model and the first bloqueto, then aligns the first form.
class TFrmPreparaPreImpresso : public QWidget {
    Q_OBJECT
public:
    explicit TFrmPreparaPreImpresso(QWidget* parent = nullptr);
    ~TFrmPreparaPreImpresso() override;

    static QString caption()
    {
        return QStringLiteral("Preparando Impressão de Bloquetos Pré-Impressos");
    }

    // 448 by 404, unless the machine's fonts need more room.
    QSize sizeHint() const override;

    // Components, named as the window knows them.
    QComboBox* cmbContrato = nullptr;
    QRadioButton* RdbMod80074 = nullptr;
    QRadioButton* RdbMod80071 = nullptr;
    QLineEdit* QtdSel = nullptr;
    QLineEdit* QtdImp = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* btnImprimir = nullptr;
    QPushButton* btnFechar = nullptr;
    QPushButton* BtnCancelaImpressao = nullptr;
    ContinuoRowsModel* QryMovimento = nullptr;

    // Reruns the bloqueto selection for the contract box's text.
    void SelecionaMovimento();
    bool isPrinting() const { return FRunning; }
    bool cancelPending() const { return FCancelar; }
    // The text last written to the main window's status panel 1.
    QString statusText() const { return FStatus; }

public Q_SLOTS:
    void cmbContratoChange();
    void RdbMod80074Click();
    void RdbMod80071Click();
    void btnImprimirClick();
    void BtnCancelaImpressaoClick();
    void btnImprimirKeyPress(QChar key);
    void btnFecharClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    void FormCreate();
    void setPrinting(bool printing);
    void setStatusPanel(const QString& text);
    void dropCancelRequest();
    void showRow(int row);

    bool FCarregando = false;
    bool FCancelar = false;
    bool FRunning = false;
    QString FStatus;
};
