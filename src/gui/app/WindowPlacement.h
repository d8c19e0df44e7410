#pragma once

class QMainWindow;
class QMdiSubWindow;

// Where the main window and the document windows show up, kept in the identity's settings: the
// main window's last normal geometry and state, and the geometry and state of the last document
// window closed, which the next first document window takes.
namespace WindowPlacement {

// How a window was shown, as the settings keep it.
enum ShowState : int { Normal = 1, Minimized = 2, Maximized = 3 };

// The stored geometry, kept on the screen.
void RestoreMainWindow(QMainWindow* window);
// The geometry, the state and the bar layout, at exit.
void StoreMainWindow(const QMainWindow* window);
// The bar layout stored at exit, once the window is shown.
void RestoreBarState(QMainWindow* window);

// Shows a new document window: with the stored geometry; maximised when it is the first and the
// last one closed was, or when the current one is.
void ShowDocumentWindow(QMdiSubWindow* window, bool first, const QMdiSubWindow* current);
// The last document window tells the next first one how to show itself.
void StoreLastDocumentWindow(const QMdiSubWindow* window);

} // namespace WindowPlacement
