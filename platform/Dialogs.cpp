#include "Dialogs.h"

#include "KvError.h"

#include <cstdio>
#include <new>

void ConsoleDialogs::message(const QString& text, const QString& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
}

void ConsoleDialogs::error(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

namespace {
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
