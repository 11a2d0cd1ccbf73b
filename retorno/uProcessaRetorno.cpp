#include "uProcessaRetorno.h"

#include "Dialogs.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "RetProcessor.h"
#include "uRelRetorno.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfrmProcessaRetorno::TfrmProcessaRetorno(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmProcessaRetorno"));
    setWindowTitle(QStringLiteral("Processar Retorno"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    lblArquivo = new QLabel(QStringLiteral("Escolha o arquivo de retorno enviado pelo banco."));
    lblArquivo->setObjectName(QStringLiteral("lblArquivo"));
    pbProgresso = new QProgressBar;
    pbProgresso->setObjectName(QStringLiteral("pbProgresso"));
    pbProgresso->setValue(0);
    memResumo = new QPlainTextEdit;
    memResumo->setObjectName(QStringLiteral("memResumo"));
    memResumo->setReadOnly(true);
    btnProcessar = new QPushButton(QStringLiteral("&Processar Arquivo..."));
    btnProcessar->setObjectName(QStringLiteral("btnProcessar"));
    btnOcorrencias = new QPushButton(QStringLiteral("&Ocorrências do Retorno"));
    btnOcorrencias->setObjectName(QStringLiteral("btnOcorrencias"));
    btnLiquidados = new QPushButton(QStringLiteral("Títulos &Liquidados"));
    btnLiquidados->setObjectName(QStringLiteral("btnLiquidados"));
    btnFechar = new QPushButton(QStringLiteral("&Fechar"));
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnOcorrencias->setEnabled(false);
    btnLiquidados->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnProcessar);
    buttons->addStretch();
    buttons->addWidget(btnOcorrencias);
    buttons->addWidget(btnLiquidados);
    buttons->addWidget(btnFechar);
    layout->addWidget(lblArquivo);
    layout->addWidget(pbProgresso);
    layout->addWidget(memResumo);
    layout->addLayout(buttons);
    resize(560, 300);

    connect(btnProcessar, &QPushButton::clicked, this,
            [this] { runGuarded([this] { chooseAndProcess(); }); });
    connect(btnOcorrencias, &QPushButton::clicked, this,
            [this] { runGuarded([this] { TfrmRelRetorno::ocorrencias(this, m_fileSeq); }); });
    connect(btnLiquidados, &QPushButton::clicked, this,
            [this] { runGuarded([this] { TfrmRelRetorno::liquidados(this, true); }); });
    connect(btnFechar, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmProcessaRetorno::chooseAndProcess()
{
    const QString path = dialogs().openFile(
        QStringLiteral("Arquivo de retorno"), ProgramDir::path(),
        QStringLiteral("Arquivos de retorno (*.ret *.RET *.txt);;Todos os arquivos (*)"));
    if (path.isEmpty())
        return;
    processFile(path);
}

void TfrmProcessaRetorno::processFile(const QString& path)
{
    lblArquivo->setText(QStringLiteral("Arquivo: %1").arg(QFileInfo(path).fileName()));
    memResumo->clear();
    pbProgresso->setValue(0);
    btnOcorrencias->setEnabled(false);
    btnLiquidados->setEnabled(false);
    RetProcessor processor(QStringLiteral("cobrancaKV"), [this](qint64 done, qint64 total) {
        pbProgresso->setMaximum(int(total));
        pbProgresso->setValue(int(done));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    bool reprocess = false;
    {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QDateTime when = processor.processedBefore(f.readAll());
            if (when.isValid()) {
                const auto answer = dialogs().question(
                    RetProcessor::alreadyProcessedMessage(when) +
                        QStringLiteral(" Deseja processá-lo de novo, substituindo as ocorrências "
                                       "dele?"),
                    QStringLiteral("Confirmação"), Dialogs::Buttons::YesNoDefaultNo);
                if (answer != Dialogs::Answer::Yes) {
                    memResumo->setPlainText(QStringLiteral("Nada foi gravado."));
                    return;
                }
                reprocess = true;
            }
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const RetSummary s = processor.process(path, reprocess);
        QApplication::restoreOverrideCursor();
        m_fileSeq = s.fileSeq;
        pbProgresso->setMaximum(100);
        pbProgresso->setValue(100);
        memResumo->setPlainText(s.lines().join(QLatin1Char('\n')));
        btnOcorrencias->setEnabled(true);
        btnLiquidados->setEnabled(s.settlements > 0);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        memResumo->setPlainText(QStringLiteral("Nada foi gravado."));
        throw;
    }
}
