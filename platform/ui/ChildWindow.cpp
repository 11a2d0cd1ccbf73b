#include "ChildWindow.h"

#include <QMdiSubWindow>

bool ChildWindow::close(QWidget* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        return sub->close();
    return window->close();
}
