#include "ui/window_memory.h"

#include "ui/form_ambient.h"

#include <QEvent>
#include <QSettings>

namespace humidora {
namespace {

const QString kOpenToolWindowsKey = QStringLiteral("windows/open_tool_windows");

QString GeometryKey(const QWidget& window)
{
    return QStringLiteral("windows/%1/geometry").arg(window.objectName());
}

} // namespace

WindowMemory::WindowMemory(Form_ambient& window)
    : QObject(&window)
    , window_(window)
{
    QSettings settings;
    // restoreGeometry keeps a window on a screen that is still there, whatever the last run's screens.
    window_.restoreGeometry(settings.value(GeometryKey(window_)).toByteArray());
    window_.restoreState(
        settings.value(QStringLiteral("windows/%1/state").arg(window_.objectName())).toByteArray());
    window_.installEventFilter(this);
    connect(&window_, &Form_ambient::toolWindowCreated, this, &WindowMemory::follow);
}

void WindowMemory::reopenToolWindows()
{
    for (const QString& name : QSettings().value(kOpenToolWindowsKey).toStringList())
        window_.showToolWindow(name); // a name of an older or newer version is passed over
    window_.activateWindow();
}

bool WindowMemory::eventFilter(QObject* watched, QEvent* event)
{
    // Seen before the window's own close handler: the tool windows are still open when the main window
    // closes (it closes them), and a close the user then cancels only stores the same places again.
    if (event->type() == QEvent::Close) {
        if (watched == &window_)
            rememberMainWindow();
        else if (auto* tool = qobject_cast<QWidget*>(watched))
            QSettings().setValue(GeometryKey(*tool), tool->saveGeometry());
    }
    return QObject::eventFilter(watched, event);
}

void WindowMemory::follow(QWidget* tool)
{
    tools_.removeAll(nullptr);
    tools_ << tool;
    tool->restoreGeometry(QSettings().value(GeometryKey(*tool)).toByteArray());
    tool->installEventFilter(this);
}

void WindowMemory::rememberMainWindow()
{
    QSettings settings;
    settings.setValue(GeometryKey(window_), window_.saveGeometry());
    settings.setValue(QStringLiteral("windows/%1/state").arg(window_.objectName()), window_.saveState());
    QStringList open;
    for (const QPointer<QWidget>& tool : tools_) {
        if (tool && tool->isVisible())
            open << tool->objectName();
    }
    settings.setValue(kOpenToolWindowsKey, open);
}

} // namespace humidora
