#include "Dialogs.h"

#include "KvError.h"

#include <cstdio>
#include <new>

namespace {
class ConsoleDialogs final : public Dialogs {
public:
    void message(const QString& text, const QString& caption) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
    }
    Answer question(const QString&, const QString&, Buttons) override { return Answer::Cancel; }
    void error(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString openPicture(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool choosePrinter(QPrinter*, int) override { return false; }
};

ConsoleDialogs g_console;
Dialogs* g_current = nullptr;
} // namespace

Dialogs& dialogs()
{
    return g_current ? *g_current : g_console;
}

void setDialogs(Dialogs* implementation)
{
    g_current = implementation;
}

bool runGuarded(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const KvError& e) {
        dialogs().error(e.userText());
    } catch (const std::bad_alloc&) {
        dialogs().error(QStringLiteral("Memória insuficiente"));
    } catch (const std::exception& e) {
        dialogs().error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
