#pragma once

class QWidget;

// The windows that open inside the main window's frame.
namespace ChildWindow {
// Closes the window the user sees: the frame around a child of the main window (which
// frees the child with it), or the widget itself when it stands alone, as in the tests.
// Answers whether it closed.
bool close(QWidget* window);
} // namespace ChildWindow
