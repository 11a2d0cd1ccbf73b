#include "TSpinEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TSpinEdit::TSpinEdit(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_edit = new QLineEdit(this);
    row->addWidget(m_edit, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    row->addLayout(arrows);
    for (bool up : {true, false}) {
        auto* b = new QToolButton(this);
        b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(14);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        arrows->addWidget(b);
        connect(b, &QToolButton::clicked, this,
                [this, up] { setValue(value() + (up ? m_increment : -m_increment)); });
    }
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &TSpinEdit::changed);
}

void TSpinEdit::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
}

int TSpinEdit::value() const
{
    bool ok = false;
    const int v = m_edit->text().trimmed().toInt(&ok);
    return ok ? v : m_min;
}

void TSpinEdit::setValue(int value)
{
    const QString text = QString::number(std::clamp(value, m_min, m_max));
    if (text != m_edit->text())
        m_edit->setText(text); // fires changed()
}
