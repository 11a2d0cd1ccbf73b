#pragma once

#include "KvVersion.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class TWallPaper;

// The frame of the program: an MDI window whose menu leads to every other window.
class TFrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmPrincipal(QWidget* parent = nullptr);
    ~TFrmPrincipal() override;

    static QString caption() { return QStringLiteral("Dizuvar id Azovadodu KV - v" KVCOB_VERSION); }

    QMdiArea* mdiArea() const { return m_mdi; }
    QLabel* clockPanel() const { return m_clock; }

    // Menu items, named as the program's menu knows them.
    QAction* CarregarArquivo1 = nullptr;
    QAction* ProcessarRetorno1 = nullptr;
    QAction* TtulosLiquidados1 = nullptr;
    QAction* OcorrenciasRetorno1 = nullptr;
    QAction* ConsultarTitulos1 = nullptr;
    QAction* Sair1 = nullptr;
    QAction* mnuFolhaSolta = nullptr;
    QAction* mnuContinuo = nullptr;
    QAction* TtulosRejeitados1 = nullptr;
    QAction* mnuEnviarEmail = nullptr;
    QAction* mnuEnderecosEmail = nullptr;
    QAction* PersonalizarBloqueto1 = nullptr;
    QAction* AjudadoDizuvaridAzovadoduKV1 = nullptr;
    QAction* Sobre1 = nullptr;
    QAction* AjudadaCobrana1 = nullptr; // the popup menu's help item, F1
    QMenu* PopupMenu1 = nullptr;
    TWallPaper* WallPaper1 = nullptr; // the picture behind the child windows

public Q_SLOTS:
    void CarregarArquivo1Click();
    void ProcessarRetorno1Click();
    void TtulosLiquidados1Click();
    void OcorrenciasRetorno1Click();
    void ConsultarTitulos1Click();
    void mnuFolhaSoltaClick();
    void mnuContinuoClick();
    void TtulosRejeitados1Click();
    void mnuEnviarEmailClick();
    void mnuEnderecosEmailClick();
    void PersonalizarBloqueto1Click();
    void AjudaClick();
    void Sobre1Click();
    void Timer1Timer();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Child windows are asked first: one that refuses (a print run under way) keeps the
    // program open.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void buildMenus();
    // Opens the table and reads its row count; shows "Não há Dados na Base" when empty.
    bool tableHasRows();
    // Adds a child window to the MDI area, shows it, and lets it free itself when closed.
    void showChild(QWidget* child, const QSize& minimumSize = QSize());

    QMdiArea* m_mdi = nullptr;
    QLabel* m_clock = nullptr;
    QLabel* m_panel1 = nullptr;
    QTimer* m_timer = nullptr;
};
