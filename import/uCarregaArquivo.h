#pragma once

#include "DbTable.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class QLabel;
class QStatusBar;
class QTimer;

// The import window: a second after it opens it asks for the bank file, replaces the
// bloqueto table's rows with the file's titles, counting the blocks in its status bar,
// announces the end and closes itself. Cancelling the file dialog closes it with the
// table untouched; an error leaves it open on its last count until the user closes it.
//
// The import runs inside the timer event and takes no input; the count is repainted at
// most about 30 times a second, and the last count shown is exact.
class TFrmCarregaArquivo : public QWidget {
    Q_OBJECT
public:
    explicit TFrmCarregaArquivo(QWidget* parent = nullptr);
    ~TFrmCarregaArquivo() override;

    static QString caption() { return QStringLiteral("Arquivos para Impressão de Boleta"); }
    // 441 by 275, as designed: the frame then shows the caption whole.
    QSize sizeHint() const override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr; // the status bar's one panel
    QTimer* Timer1 = nullptr;
    DbTable TblBloqueto;

    bool CargaConcluida = false;
    qint64 blockCount() const { return m_blocks; }

public Q_SLOTS:
    void Timer1Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ProcessaArquivo();
    void progress(qint64 blocks);
    void showCount();
    void closeForm();

    qint64 m_blocks = 0;
    QElapsedTimer m_sincePaint;
};

// The import window the main window opened last; cleared when it goes.
extern QPointer<TFrmCarregaArquivo> FrmCarregaArquivo;
