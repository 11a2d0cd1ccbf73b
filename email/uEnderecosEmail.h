#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableWidget;

// "Endereços de E-mail": the payers' address book, searched by document or address and
// edited in place. "Gravar" stores the rows changed; a row whose addresses are erased is
// removed; a malformed document or address is refused with its row, the others stored.
class TFrmEnderecosEmail : public QWidget {
    Q_OBJECT
public:
    explicit TFrmEnderecosEmail(QWidget* parent = nullptr);

    QLineEdit* edtBusca = nullptr;
    QTableWidget* tblEnderecos = nullptr;
    QPushButton* btnIncluir = nullptr;
    QPushButton* btnGravar = nullptr;

public Q_SLOTS:
    void Buscar();
    void btnIncluirClick();
    void btnGravarClick();

private:
    bool m_loading = false;
};
