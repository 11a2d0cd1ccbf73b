#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

// The program's help: a Portuguese user guide shipped as HTML pages inside the program,
// shown in one window with a list of topics. Context 10 is the guide's first topic.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help window (one for the whole program) at the topic of a help context.
    static HelpWindow* showContext(int context);
    static HelpWindow* current();
    static QString topicForContext(int context);

    QTextBrowser* browser() const { return m_browser; }
    QLabel* folderLabel() const { return m_folder; } // the program folder in use

private:
    QTextBrowser* m_browser = nullptr;
    QLabel* m_folder = nullptr;
};
