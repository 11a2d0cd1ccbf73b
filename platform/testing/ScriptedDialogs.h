#pragma once

#include "Dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

// The dialogs of the tests: records every box and dialog asked for and answers from a
// script. An unscripted question answers Cancel and an unscripted file dialog answers an
// empty name (the user cancelled), so a forgotten script line shows up as a failing test,
// never as a test that hangs on a modal box.
class ScriptedDialogs final : public Dialogs {
public:
    struct Asked {
        QString kind; // "message", "question", "error", "openFile", "saveFile", "openPicture",
                      // "folder", "printer"
        QString caption;
        QString text;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    QList<Asked> asked;
    QList<Answer> answers;        // for question()
    QStringList fileNames;        // for openFile(), saveFile(), openPicture() and chooseFolder()
    QList<bool> printerAnswers;   // for choosePrinter()
    QList<int> printerPageCounts; // what each printer dialog was given as the last page
    // Plays the user at a printer dialog answered true: picks the queue, the copies, the
    // page range on the printer it is given.
    std::function<void(QPrinter*)> printerChoice;
    // When set, answers the printer dialogs in place of printerAnswers, as a user who
    // sees the printer as the dialog shows it and changes it before answering.
    std::function<bool(QPrinter*)> printerDialog;

    QStringList texts(const QString& kind) const;
    QString lastText(const QString& kind) const;
    void clear() { asked.clear(); }

    KV_DIALOGS_OVERRIDES

private:
    QString nextFile(const QString& kind, const QString& caption, const QString& detail);
};
