#pragma once

#include "Dialogs.h"

class QPrintDialog;

// The program's dialogs: Qt message boxes and file dialogs over the active window.
class QtDialogs final : public Dialogs {
public:
    KV_DIALOGS_OVERRIDES

    // The printer dialog as choosePrinter shows it: its page range spans the report's
    // pages, however many, and the page-list field is hidden, since printing takes one
    // range from the first to the last page chosen, never a list.
    static void preparePrintDialog(QPrintDialog& dialog, int pageCount);
};
