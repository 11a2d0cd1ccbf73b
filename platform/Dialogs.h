#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

// Every message box, question and file or printer dialog of the program goes through this
// interface. The program installs the Qt implementation; tests install a scripted one.
class Dialogs {
public:
    enum class Answer { Ok, Yes, No, Cancel };
    enum class Buttons { YesNo, YesNoCancel, YesNoDefaultNo };

    virtual ~Dialogs() = default;

    // A notice with an OK button ("Atenção", "Aviso", "Informação" captions).
    virtual void message(const QString& text, const QString& caption) = 0;
    // A question with "&Sim", "&Não" and, for YesNoCancel, "Cancela"; caption "Confirmação".
    // "&Sim" is the default button, except for YesNoDefaultNo.
    virtual Answer question(const QString& text, const QString& caption, Buttons buttons) = 0;
    // The application's error box. Its caption is the application title (applicationName).
    virtual void error(const QString& text) = 0;
    // File dialogs answer an empty text when the user cancels.
    virtual QString openFile(const QString& caption, const QString& startDir,
                             const QString& filter) = 0;
    virtual QString saveFile(const QString& caption, const QString& startDir, const QString& filter,
                             const QString& defaultSuffix) = 0;
    virtual QString openPicture(const QString& startDir, const QString& filter) = 0;
    // A folder, which the dialog lets the user create; empty when the user cancels.
    virtual QString chooseFolder(const QString& caption, const QString& startDir) = 0;
    // The printer choice dialog; false when the user cancels. Its page range offers the
    // pages 1 to `pageCount` of the report (0: not known yet, the dialog's own bounds).
    virtual bool choosePrinter(QPrinter* printer, int pageCount) = 0;
};

// Declares every answer of the interface in an implementation that gives them all.
#define KV_DIALOGS_OVERRIDES                                                                       \
    void message(const QString& text, const QString& caption) override;                            \
    Answer question(const QString& text, const QString& caption, Buttons buttons) override;        \
    void error(const QString& text) override;                                                      \
    QString openFile(const QString& caption, const QString& startDir, const QString& filter)       \
        override;                                                                                  \
    QString saveFile(const QString& caption, const QString& startDir, const QString& filter,       \
                     const QString& defaultSuffix) override;                                       \
    QString openPicture(const QString& startDir, const QString& filter) override;                  \
    QString chooseFolder(const QString& caption, const QString& startDir) override;                \
    bool choosePrinter(QPrinter* printer, int pageCount) override;

// Dialogs without a window: messages and errors on standard error, no answers, no files,
// no printer. Programs without windows derive from it to say things their own way.
class ConsoleDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& caption) override;
    Answer question(const QString&, const QString&, Buttons) override { return Answer::Cancel; }
    void error(const QString& text) override;
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString openPicture(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool choosePrinter(QPrinter*, int) override { return false; }
};

Dialogs& dialogs();
// Installs a dialogs implementation (not owned); nullptr restores the default, which
// writes notices and errors to standard error and cancels every question and dialog.
void setDialogs(Dialogs* implementation);

// The top-level handler: runs a command and shows any error it raises in the error box.
// Returns false when the command ended with an error.
bool runGuarded(const std::function<void()>& command);
