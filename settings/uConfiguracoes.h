#pragma once

#include "BeneficiaryLogos.h"
#include "BeneficiaryPix.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Personalizar Bloqueto": chooses, for each beneficiary of the bloqueto table, the logo
// printed on the payer's receipt and the one printed on the delivery voucher. Every
// choice is stored at once in the settings file; "Limpar" brings back the default
// pictures. The beneficiary's PIX key and city are typed below the pictures and stored
// with "Ok", only when the key is one a payer can pay to. An MDI child that frees itself
// when closed.
class TfrmConfiguracoes : public QWidget {
    Q_OBJECT
public:
    explicit TfrmConfiguracoes(QWidget* parent = nullptr);
    ~TfrmConfiguracoes() override;

    static QString caption() { return QStringLiteral("Configurações - Personalizar Bloqueto"); }
    // The picture dialog's filters as the window keeps them: "description|patterns|...".
    static QString initialFilter();
    static QString voucherFilter();
    // A filter of that kind in the file dialog's own notation.
    static QString dialogFilter(const QString& pipeFilter);

    // The logos of the beneficiary named by the box, as last read or chosen.
    const BeneficiaryLogos& logos() const { return m_logos; }
    // The filter the next picture dialog of this window will show.
    const QString& currentFilter() const { return m_filter; }

    QGroupBox* GroupBox1 = nullptr;
    QComboBox* cmbNomeCedente = nullptr;
    QLabel *imgRecibo = nullptr, *imgComprovante = nullptr;
    QPushButton *btnReciboSacado = nullptr, *btnComprovanteEntrega = nullptr;
    QLineEdit *edtChavePix = nullptr, *edtCidadePix = nullptr;
    QPushButton *btnOk = nullptr, *btnLimpar = nullptr;

public Q_SLOTS:
    void cmbNomeCedenteChange();
    void btnReciboSacadoClick();
    void btnComprovanteEntregaClick();
    void btnOkClick();
    void btnLimparClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildForm();
    void FormCreate();
    void LeArquivoIni();
    void GravaArquivoIni();
    void pixEdited();
    void chooseLogo(QLabel* box, QString BeneficiaryLogos::*path, bool voucher);
    void refreshQuietly(QLabel* box, const QString& path);
    static void clearBox(QLabel* box);
    static void showPicture(QLabel* box, const QImage& picture);
    QString beneficiary() const;

    // Each window keeps the logos of its own beneficiary: two windows open on different
    // beneficiaries must never write one's logos into the other's section.
    BeneficiaryLogos m_logos;
    BeneficiaryPix m_pix;
    QString m_filter;
};
