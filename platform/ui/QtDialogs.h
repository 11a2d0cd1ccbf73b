#pragma once

#include "Dialogs.h"

// The program's dialogs: Qt message boxes and file dialogs over the active window.
class QtDialogs final : public Dialogs {
public:
    void message(const QString& text, const QString& caption) override;
    Answer question(const QString& text, const QString& caption, Buttons buttons) override;
    void error(const QString& text) override;
    QString openFile(const QString& caption, const QString& startDir,
                     const QString& filter) override;
    QString saveFile(const QString& caption, const QString& startDir, const QString& filter,
                     const QString& defaultSuffix) override;
    QString openPicture(const QString& startDir, const QString& filter) override;
    QString chooseFolder(const QString& caption, const QString& startDir) override;
    bool choosePrinter(QPrinter* printer) override;
};
