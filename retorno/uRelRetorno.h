#pragma once

#include <QString>

class QWidget;

// The return file's reports from the windows: "Títulos &Liquidados" over a period of credit
// dates and "&Ocorrências do Retorno" of one processed file, each chosen in a small dialog
// and shown in the preview window.
class TfrmRelRetorno {
public:
    // `lastFile`: the period of the latest file without asking.
    static void liquidados(QWidget* parent, bool lastFile = false);
    // `fileSeq` 0: the user picks the file.
    static void ocorrencias(QWidget* parent, int fileSeq = 0);
    // Said when the period's first credit date is after its last.
    static QString badPeriodMessage();
};
