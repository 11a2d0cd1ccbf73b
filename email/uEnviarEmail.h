#pragma once

#include "BloquetoMailing.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Enviar Bloquetos por E-mail": who will get what (counts, the titles whose payer has no
// address), then the sending with a progress bar and a cancel button, and the outcome of
// each message. "Testar servidor" sends one message to the sender's own address.
class TFrmEnviarEmail : public QWidget {
    Q_OBJECT
public:
    // Every valid title; `seqs` (BlqSeq) narrows it to the titles given (the titles
    // window's "Enviar por e-mail").
    explicit TFrmEnviarEmail(const QList<int>& seqs = {}, QWidget* parent = nullptr);

    QLabel* lblResumo = nullptr;
    QListWidget* lstSemEndereco = nullptr;
    QCheckBox* chkReenviar = nullptr;
    QProgressBar* barProgresso = nullptr;
    QPushButton *btnEnviar = nullptr, *btnCancelar = nullptr, *btnTestar = nullptr;
    QTableWidget* tblResultado = nullptr;

public Q_SLOTS:
    void Atualizar(); // the plan again (after the address book changed)
    void btnEnviarClick();
    void btnCancelarClick() { m_cancel = true; }
    void btnTestarClick();

private:
    void addResult(const BloquetoMailing::Item& item, const QString& result);

    BloquetoMailing::Options m_options;
    bool m_cancel = false;
    bool m_sending = false;
};
