#include "MnemonicMenuBar.h"

#include <QActionEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcutEvent>

MnemonicMenuBar::MnemonicMenuBar(QWidget* parent) : QMenuBar(parent) {}

QList<QAction*> MnemonicMenuBar::menusWithKey(const QKeySequence& key) const
{
    QList<QAction*> out;
    for (QAction* a : actions()) {
        if (a->isVisible() && a->isEnabled() && !a->isSeparator() &&
            QKeySequence::mnemonic(a->text()) == key)
            out << a;
    }
    return out;
}

void MnemonicMenuBar::openMenu(QAction* menu)
{
    // The bar may still hold the menu last used as its current one, and would then
    // not open it again.
    setActiveAction(nullptr);
    setActiveAction(menu);
}

bool MnemonicMenuBar::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        const QList<QAction*> menus = menusWithKey(shortcut->key());
        if (menus.size() > 1) {
            m_altPending = false; // Alt became part of this chord
            qsizetype open = -1;
            for (qsizetype i = 0; i < menus.size() && open < 0; ++i) {
                if (menus.at(i)->menu() && menus.at(i)->menu()->isVisible())
                    open = i;
            }
            openMenu(open >= 0 ? menus.at((open + 1) % menus.size()) : menus.constFirst());
            return true;
        }
    }
    return QMenuBar::event(event);
}

void MnemonicMenuBar::keyPressEvent(QKeyEvent* event)
{
    // With the bar in keyboard mode (after a menu closed) the keys come here rather than
    // as shortcuts: Alt and the key open the first menu of that key again.
    if (event->modifiers() == Qt::AltModifier && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z) {
        const QList<QAction*> menus =
            menusWithKey(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(event->key()))));
        if (menus.size() > 1) {
            openMenu(menus.constFirst());
            return;
        }
    }
    QMenuBar::keyPressEvent(event);
}

void MnemonicMenuBar::actionEvent(QActionEvent* event)
{
    QMenuBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded && event->action()->menu())
        event->action()->menu()->installEventFilter(this);
}

bool MnemonicMenuBar::eventFilter(QObject* watched, QEvent* event)
{
    // An open menu closes at the press of Alt, so Alt and the key again would only reopen
    // the first menu. The press is held back instead: the menu closes when Alt is let go
    // alone, as before, and Alt with a menu's key moves to that menu, or to the next one
    // of the same key.
    auto* menu = qobject_cast<QMenu*>(watched);
    if (!menu || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QMenuBar::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Alt) {
        if (event->type() == QEvent::KeyPress) {
            if (!key->isAutoRepeat())
                m_altPending = true;
        } else if (!key->isAutoRepeat()) {
            if (m_altPending && menu->isVisible())
                menu->close();
            m_altPending = false;
        }
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QMenuBar::eventFilter(watched, event);
    m_altPending = false;
    if (key->modifiers() == Qt::AltModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
        const QList<QAction*> menus =
            menusWithKey(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key->key()))));
        if (!menus.isEmpty()) {
            const qsizetype at = menus.indexOf(menu->menuAction());
            openMenu(at >= 0 ? menus.at((at + 1) % menus.size()) : menus.constFirst());
            return true;
        }
    }
    return QMenuBar::eventFilter(watched, event);
}
