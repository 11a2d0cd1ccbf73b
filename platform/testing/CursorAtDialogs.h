#pragma once

#include "ScriptedDialogs.h"

#include <QGuiApplication>

// Scripted dialogs that also note, for each notice, whether the wait cursor was still up
// when it showed: a clerk told "done" under an hourglass thinks the program still busy.
// Installs itself over `script` for its life; answers as `script` does.
class CursorAtDialogs final : public Dialogs {
public:
    explicit CursorAtDialogs(ScriptedDialogs& script) : m_script(script) { setDialogs(this); }
    ~CursorAtDialogs() override { setDialogs(&m_script); }

    QStringList underWaitCursor; // the notices shown with an override cursor up

    void message(const QString& text, const QString& caption) override
    {
        if (QGuiApplication::overrideCursor())
            underWaitCursor << text;
        m_script.message(text, caption);
    }
    Answer question(const QString& text, const QString& caption, Buttons buttons) override
    {
        return m_script.question(text, caption, buttons);
    }
    void error(const QString& text) override { m_script.error(text); }
    QString openFile(const QString& caption, const QString& startDir,
                     const QString& filter) override
    {
        return m_script.openFile(caption, startDir, filter);
    }
    QString saveFile(const QString& caption, const QString& startDir, const QString& filter,
                     const QString& defaultSuffix) override
    {
        return m_script.saveFile(caption, startDir, filter, defaultSuffix);
    }
    QString openPicture(const QString& startDir, const QString& filter) override
    {
        return m_script.openPicture(startDir, filter);
    }
    QString chooseFolder(const QString& caption, const QString& startDir) override
    {
        return m_script.chooseFolder(caption, startDir);
    }
    bool choosePrinter(QPrinter* printer, int pageCount) override
    {
        return m_script.choosePrinter(printer, pageCount);
    }

private:
    ScriptedDialogs& m_script;
};
