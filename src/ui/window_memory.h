// Where the windows were, kept between runs in the program's settings: the main window's place, size and
// docks, and for every tool window the main window announces (Form_ambient::toolWindowCreated) its place
// and whether it was open when the program ended. Nothing of the calculation is kept.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class Form_ambient;
class QWidget;

namespace humidora {

class WindowMemory : public QObject
{
    Q_OBJECT

public:
    /// Puts `window` where it was at the end of the last run and follows it and its tool windows from now
    /// on. Lives as long as the window (it is the window's child).
    explicit WindowMemory(Form_ambient& window);

    /// Opens the tool windows that were open when the program last ended, each where it was. Called once
    /// the main window is shown, so that they open in front of it.
    void reopenToolWindows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget* tool);
    void rememberMainWindow();

    Form_ambient& window_;
    QList<QPointer<QWidget>> tools_; ///< the tool windows created so far; closed ones are null
};

} // namespace humidora
