#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A spin edit: a number edit with arrows. Its value is its text read as a whole number
// (a text that is no number reads as the minimum); typing fires changed() with whatever
// was typed, even outside the range. Setting the value clamps it into the range and,
// when that changes the text, fires changed() just as typing does.
class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    void setIncrement(int increment) { m_increment = increment; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int value() const;
    void setValue(int value);
    QLineEdit* editor() const { return m_edit; }

Q_SIGNALS:
    void changed();

private:
    QLineEdit* m_edit = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_increment = 1;
};
