#include "uEnviarEmail.h"

#include "Dialogs.h"
#include "EmailConfig.h"
#include "KvError.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFrmEnviarEmail::TFrmEnviarEmail(const QList<int>& seqs, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmEnviarEmail"));
    setWindowTitle(QStringLiteral("Enviar Bloquetos por E-mail"));
    m_options.seqs = seqs;
    auto* layout = new QVBoxLayout(this);
    lblResumo = new QLabel(this);
    lblResumo->setObjectName(QStringLiteral("lblResumo"));
    lblResumo->setWordWrap(true);
    layout->addWidget(lblResumo);
    auto* semLabel = new QLabel(QStringLiteral("Títulos sem endereço de e-mail:"), this);
    layout->addWidget(semLabel);
    lstSemEndereco = new QListWidget(this);
    lstSemEndereco->setObjectName(QStringLiteral("lstSemEndereco"));
    lstSemEndereco->setMaximumHeight(90);
    layout->addWidget(lstSemEndereco);
    chkReenviar = new QCheckBox(QStringLiteral("&Reenviar os já enviados"), this);
    chkReenviar->setObjectName(QStringLiteral("chkReenviar"));
    connect(chkReenviar, &QCheckBox::toggled, this, &TFrmEnviarEmail::Atualizar);
    layout->addWidget(chkReenviar);
    barProgresso = new QProgressBar(this);
    barProgresso->setObjectName(QStringLiteral("barProgresso"));
    barProgresso->setValue(0);
    layout->addWidget(barProgresso);
    auto* buttons = new QHBoxLayout;
    btnEnviar = new QPushButton(QStringLiteral("&Enviar"), this);
    btnEnviar->setObjectName(QStringLiteral("btnEnviar"));
    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setEnabled(false);
    btnTestar = new QPushButton(QStringLiteral("&Testar servidor"), this);
    btnTestar->setObjectName(QStringLiteral("btnTestar"));
    buttons->addWidget(btnEnviar);
    buttons->addWidget(btnCancelar);
    buttons->addStretch();
    buttons->addWidget(btnTestar);
    layout->addLayout(buttons);
    tblResultado = new QTableWidget(0, 4, this);
    tblResultado->setObjectName(QStringLiteral("tblResultado"));
    tblResultado->setHorizontalHeaderLabels({QStringLiteral("Nosso número"),
                                             QStringLiteral("Sacado"), QStringLiteral("Endereço"),
                                             QStringLiteral("Resultado")});
    tblResultado->horizontalHeader()->setStretchLastSection(true);
    tblResultado->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResultado->verticalHeader()->hide();
    layout->addWidget(tblResultado, 1);
    connect(btnEnviar, &QPushButton::clicked, this, &TFrmEnviarEmail::btnEnviarClick);
    connect(btnCancelar, &QPushButton::clicked, this, &TFrmEnviarEmail::btnCancelarClick);
    connect(btnTestar, &QPushButton::clicked, this, &TFrmEnviarEmail::btnTestarClick);
    resize(640, 480);
    Atualizar();
}

void TFrmEnviarEmail::Atualizar()
{
    m_options.resend = chkReenviar->isChecked();
    runGuarded([this] {
        const BloquetoMailing::Plan p = BloquetoMailing().plan(m_options);
        lblResumo->setText(
            QStringLiteral("%1 título(s) válido(s): %2 mensagem(ns) a enviar, %3 já enviada(s) "
                           "antes, %4 título(s) sem endereço de e-mail.")
                .arg(p.titles)
                .arg(p.toSend.size())
                .arg(p.alreadySent.size())
                .arg(p.withoutAddress.size()));
        lstSemEndereco->clear();
        for (const BloquetoMailing::Item& i : p.withoutAddress)
            lstSemEndereco->addItem(
                QStringLiteral("%1  %2  (CPF/CNPJ %3)")
                    .arg(i.nossoNumero, i.sacado,
                         i.document.isEmpty() ? QStringLiteral("ausente") : i.document));
        btnEnviar->setEnabled(!p.toSend.isEmpty());
    });
}

void TFrmEnviarEmail::addResult(const BloquetoMailing::Item& item, const QString& result)
{
    const int row = tblResultado->rowCount();
    tblResultado->insertRow(row);
    const QStringList cells{item.nossoNumero, item.sacado, item.address, result};
    for (int c = 0; c < cells.size(); ++c) {
        auto* cell = new QTableWidgetItem(cells.at(c));
        cell->setToolTip(cells.at(c)); // a server's long answer is cut at the edge
        tblResultado->setItem(row, c, cell);
    }
    // The result takes what is left of the width rather than running past the edge.
    for (int c = 0; c + 1 < cells.size(); ++c)
        tblResultado->resizeColumnToContents(c);
}

void TFrmEnviarEmail::btnEnviarClick()
{
    if (m_sending)
        return;
    m_sending = true;
    m_cancel = false;
    btnEnviar->setEnabled(false);
    btnTestar->setEnabled(false);
    btnCancelar->setEnabled(true);
    tblResultado->setRowCount(0);
    barProgresso->setValue(0);
    runGuarded([this] {
        BloquetoMailing::Outcome out = BloquetoMailing().run(
            m_options, [this](int done, int total, const BloquetoMailing::Item& item) {
                barProgresso->setMaximum(total);
                barProgresso->setValue(done);
                addResult(item, item.sent ? QStringLiteral("enviado") : item.answer);
                // The window answers between messages: the cancel button among others.
                QApplication::processEvents();
                return !m_cancel;
            });
        // The message the server failed on is listed already, with its failure.
        for (qsizetype k = out.error.isEmpty() ? 0 : 1; k < out.notSent.size(); ++k)
            addResult(out.notSent.at(k), out.cancelled ? QStringLiteral("não enviado (cancelado)")
                                                       : QStringLiteral("não enviado"));
        const QString summary = BloquetoMailing::summary(out).join(QLatin1Char('\n'));
        if (!out.error.isEmpty())
            throw KvError(out.error, out.advice + QLatin1Char('\n') + summary);
        dialogs().message(summary, QStringLiteral("Envio por e-mail"));
    });
    btnCancelar->setEnabled(false);
    btnTestar->setEnabled(true);
    m_sending = false;
    Atualizar();
}

void TFrmEnviarEmail::btnTestarClick()
{
    runGuarded([] {
        const EmailConfig c = EmailConfig::read();
        const QString answer = BloquetoMailing::testServer(c);
        dialogs().message(QStringLiteral("O servidor %1 aceitou a mensagem de teste para %2 (%3).")
                              .arg(c.serverName(), c.senderAddress, answer),
                          QStringLiteral("Testar servidor"));
    });
}
