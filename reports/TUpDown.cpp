#include "TUpDown.h"

#include "Regional.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(false); });
}

void TUpDown::setBuddy(QLineEdit* buddy)
{
    m_buddy = buddy;
    if (buddy)
        buddy->installEventFilter(this);
    showPosition();
}

void TUpDown::setMinimum(int value)
{
    m_min = value;
}

void TUpDown::setMaximum(int value)
{
    m_max = value;
}

int TUpDown::position()
{
    if (m_buddy) {
        QString text = m_buddy->text().trimmed();
        text.remove(Regional::thousandSeparator());
        bool ok = false;
        const int typed = text.toInt(&ok);
        if (ok && typed >= m_min && typed <= m_max)
            m_position = typed;
    }
    return m_position;
}

void TUpDown::setPosition(int value)
{
    m_position = std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max));
    showPosition();
}

void TUpDown::showPosition()
{
    if (!m_buddy)
        return;
    QString text = QString::number(m_position);
    const qsizetype digitsStart = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype i = text.size() - 3; i > digitsStart; i -= 3)
        text.insert(i, Regional::thousandSeparator());
    m_buddy->setText(text);
}

void TUpDown::step(bool up)
{
    const int from = position();
    const int to = up ? std::min(from + 1, m_max) : std::max(from - 1, m_min);
    setPosition(to);
    Q_EMIT clicked(up);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
