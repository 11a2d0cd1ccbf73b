#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down control: two small arrow buttons that move a whole-number position within a
// minimum and a maximum, without wrapping. With a buddy edit the position lives in the
// buddy's text: reading the position takes a valid number typed there, and setting it
// writes the number back (thousands separated from 1000 on). The Up and Down keys in the
// buddy work as the arrows. The position is a plain int: a report of 40,000 titles has
// 40,000 pages, and every one of them must be reachable.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setMinimum(int value);
    void setMaximum(int value);
    int position();
    void setPosition(int value);

Q_SIGNALS:
    // An arrow moved the position (up: towards the maximum).
    void clicked(bool up);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(bool up);
    void showPosition();

    QLineEdit* m_buddy = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};
