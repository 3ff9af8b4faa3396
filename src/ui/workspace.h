// The main window as a workspace: the psychrometric chart and the State Points view dock beside or below
// the calculator form, tabbed or floating; the View menu shows and hides each; a dock that opens docked
// widens or heightens the window by its own size, so the form keeps its size and layout. Where the docks
// were is kept with the window's place (WindowMemory saves and restores the window's state).
#pragma once

#include <QObject>

class Form_ambient;
class QDockWidget;

namespace humidora {

class StatePointsDock;

class Workspace : public QObject
{
    Q_OBJECT

public:
    /// Arranges `points` and the window's chart dock and adds the View menu; a child of the window.
    Workspace(Form_ambient& window, StatePointsDock& points);

    /// Widens or heightens the window so that `dock`, docked in it, gets its preferred size while the
    /// calculator form keeps its own.
    void makeRoomFor(QDockWidget& dock);

private:
    void follow(QDockWidget& dock);

    Form_ambient& window_;
};

} // namespace humidora
