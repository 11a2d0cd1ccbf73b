#pragma once

#include "Dialogs.h"

class QPrintDialog;

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
    bool choosePrinter(QPrinter* printer, int pageCount) override;

    // The printer dialog as choosePrinter shows it: its page range spans the report's
    // pages, however many, and the page-list field is hidden, since printing takes one
    // range from the first to the last page chosen, never a list.
    static void preparePrintDialog(QPrintDialog& dialog, int pageCount);
};
