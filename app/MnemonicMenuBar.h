#pragma once

#include <QMenuBar>

// A menu bar whose menus may share an access key ("&Arquivo" and "&Ajuda"): Alt and the
// key open the first of them every time, and Alt and the key again while one of them is
// open move on to the next. The toolkit's own bar alternated between them on every press,
// so that "Alt+A, C" worked only every other time.
class MnemonicMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit MnemonicMenuBar(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void actionEvent(QActionEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The bar's menus, left to right, whose access key is `key`.
    QList<QAction*> menusWithKey(const QKeySequence& key) const;
    void openMenu(QAction* menu);

    bool m_altPending = false; // Alt pressed in an open menu, with no key yet
};
