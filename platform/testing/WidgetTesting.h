#pragma once

// Helpers of the window tests only: header-only and built on Qt Widgets, so that it stays
// out of kvtesting, which the tests of the core (without widgets) link too. Include it only
// from a test that links a window library.

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

namespace WidgetTesting {

// Saves a picture of a window into the folder KVCOB_SCREENSHOTS names, for a look by eye;
// nothing when it is not set.
inline void shoot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("KVCOB_SCREENSHOTS");
    if (!dir.isEmpty())
        w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Shows a window and waits until it is on screen; false when it never got there.
inline bool shown(QWidget& w)
{
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// Deletes every top-level window of type W still alive, so that one test's windows do not
// answer in the next one.
template <typename W> void deleteTopLevels()
{
    QList<QPointer<W>> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* t = qobject_cast<W*>(w))
            found << t;
    }
    qDeleteAll(found);
}

// Counts the paint events of the widget it is installed on as an event filter.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Polls the event loop every few milliseconds until `ready` holds, then runs `then` once.
// For windows that run a modal loop of their own: the test cannot wait for them from outside.
inline void whenReady(const std::function<bool()>& ready, const std::function<void()>& then)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [=] {
        if (!ready())
            return;
        poll->stop(); // `then` may run a modal loop: it must not be called twice
        poll->deleteLater();
        then();
    });
    poll->start();
}

} // namespace WidgetTesting
