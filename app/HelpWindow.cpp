#include "HelpWindow.h"

#include "ProgramDir.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<HelpWindow> g_help;

struct Topic {
    const char* file;
    const char* title;
};
constexpr Topic kTopics[] = {
    {"index.html", "Início"},
    {"importar.html", "Carregar o arquivo do banco"},
    {"folha-solta.html", "Bloquetos em folha solta"},
    {"continuo.html", "Bloquetos em formulário contínuo"},
    {"rejeitados.html", "Títulos rejeitados"},
    {"logos.html", "Logomarcas do bloqueto"},
    {"arquivos.html", "Onde ficam os arquivos"},
};
} // namespace

static void initHelpResources()
{
    // The pages live in a static library: their resource must be registered by hand.
    Q_INIT_RESOURCE(help);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    initHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda do Dizuvar id Azovadodu KV"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* topics = new QListWidget(this);
    topics->setObjectName(QStringLiteral("lstTopicos"));
    for (const Topic& t : kTopics) {
        auto* item = new QListWidgetItem(QString::fromUtf8(t.title), topics);
        item->setData(Qt::UserRole, QStringLiteral("qrc:/help/") + QLatin1StringView(t.file));
    }
    topics->setMaximumWidth(240);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtAjuda"));
    m_browser->setOpenLinks(true);
    connect(topics, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            m_browser->setSource(QUrl(item->data(Qt::UserRole).toString()));
    });
    // Which folder "Onde ficam os arquivos" is about on this desk.
    m_folder = new QLabel(ProgramDir::describeCurrent(), this);
    m_folder->setObjectName(QStringLiteral("lblPasta"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* pages = new QHBoxLayout;
    pages->addWidget(topics);
    pages->addWidget(m_browser, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pages, 1);
    layout->addWidget(m_folder);
    resize(900, 620);
}

QString HelpWindow::topicForContext(int context)
{
    Q_UNUSED(context); // the guide knows one context, 10: its first page
    return QStringLiteral("qrc:/help/index.html");
}

HelpWindow* HelpWindow::current()
{
    return g_help;
}

HelpWindow* HelpWindow::showContext(int context)
{
    if (!g_help)
        g_help = new HelpWindow;
    g_help->m_browser->setSource(QUrl(topicForContext(context)));
    g_help->show();
    g_help->raise();
    g_help->activateWindow();
    return g_help;
}
