#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// "Processar &Retorno": asks for the bank's return file, processes it with a progress bar,
// then shows the summary with buttons for the occurrences report of that file and the
// settled titles of its credit dates. A file processed before is processed again only when
// the user says so.
class TfrmProcessaRetorno : public QWidget {
    Q_OBJECT
public:
    explicit TfrmProcessaRetorno(QWidget* parent = nullptr);

    // Asks for a file and processes it; nothing happens when the user cancels.
    void chooseAndProcess();
    void processFile(const QString& path);

    QPushButton* btnProcessar = nullptr;
    QPushButton* btnOcorrencias = nullptr;
    QPushButton* btnLiquidados = nullptr;
    QPushButton* btnFechar = nullptr;
    QLabel* lblArquivo = nullptr;
    QProgressBar* pbProgresso = nullptr;
    QPlainTextEdit* memResumo = nullptr;

private:
    int m_fileSeq = 0;
};
