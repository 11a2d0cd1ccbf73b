#pragma once

#include <QDate>
#include <QList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TitleListModel;
class TfrmRelBloqueto;

// "Consultar &Títulos": finds a payer's titles by a fragment of name or document and
// shows, prints or exports their bloquetos again. The search box has the focus; Enter runs
// the search; in the grid Enter opens the preview of the current title and Ctrl+C copies
// its typeable line. The actions row (pnlAcoes) has room for more actions on the chosen
// titles (selectedTitles()).
class TfrmConsultaTitulos : public QWidget {
    Q_OBJECT
public:
    explicit TfrmConsultaTitulos(QWidget* parent = nullptr);
    ~TfrmConsultaTitulos() override;

    // The titles chosen in the grid (BlqSeq), in the grid's order; the current one when
    // none is chosen.
    QList<qint32> selectedTitles() const;

    // Components, named as the window knows them.
    QLineEdit *edtBusca = nullptr, *edtVencDe = nullptr, *edtVencAte = nullptr;
    QComboBox *cmbValidade = nullptr, *cmbSituacao = nullptr;
    QPushButton* btnPesquisar = nullptr;
    QTableView* grdTitulos = nullptr;
    QLabel* lblEncontrados = nullptr;
    QLineEdit* edtLinhaDigitavel = nullptr;
    QPushButton* btnCopiarLinha = nullptr;
    QLineEdit* edtPix = nullptr;
    QPushButton* btnCopiarPix = nullptr;
    QLabel* lblValorAtualizado = nullptr;
    QWidget* pnlAcoes = nullptr;
    QHBoxLayout* layAcoes = nullptr; // where later actions go, before the option
    QPushButton *btnVisualizar = nullptr, *btnImprimir = nullptr, *btnExportarPdf = nullptr,
                *btnEnviarEmail = nullptr;
    QCheckBox* chkValorAtualizado = nullptr;
    TitleListModel* model() const { return m_model; }

public Q_SLOTS:
    void btnPesquisarClick();
    void btnVisualizarClick();
    void btnImprimirClick();
    void btnExportarPdfClick();
    void btnEnviarEmailClick();
    void btnCopiarLinhaClick();
    void btnCopiarPixClick();

Q_SIGNALS:
    // The valid titles chosen for "Enviar por &e-mail" (BlqSeq): the frame opens the
    // sending window on them.
    void enviarPorEmail(const QList<qint32>& seqs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void showDetail();
    void showCount();
    bool readDate(QLineEdit* edit, QDate* date);
    // The valid ones among the chosen titles; tells the user when there is none.
    QList<qint32> printable();
    // A hidden single-sheet report of `seqs`, with the updated value when the option is on.
    std::unique_ptr<TfrmRelBloqueto> reportOf(const QList<qint32>& seqs);

    TitleListModel* m_model = nullptr;
    bool m_searched = false;
};
