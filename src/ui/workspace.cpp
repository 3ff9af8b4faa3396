#include "ui/workspace.h"

#include "ui/form_ambient.h"
#include "ui/state_points_dock.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace humidora {

Workspace::Workspace(Form_ambient& window, StatePointsDock& points)
    : QObject(&window)
    , window_(window)
{
    window.setDockOptions(
        QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
    // The chart beside the form, the points table below both: the table's many columns get the width of
    // the whole window.
    window.addDockWidget(Qt::BottomDockWidgetArea, &points);
    QDockWidget& chart = *window.chartDock();

    QMenuBar* bar = window.menuBar();
    auto* view = new QMenu(QStringLiteral("&View"), bar);
    view->setObjectName(QStringLiteral("menu_view"));
    view->menuAction()->setObjectName(QStringLiteral("menu_view"));
    auto* options = window.findChild<QMenu*>(QStringLiteral("menu_options"));
    bar->insertMenu(options ? options->menuAction() : nullptr, view);
    QAction* show_chart = chart.toggleViewAction();
    show_chart->setObjectName(QStringLiteral("menu_view_chart"));
    show_chart->setText(QStringLiteral("Psychrometric &Chart"));
    view->addAction(show_chart);
    QAction* show_points = points.toggleViewAction();
    show_points->setText(QStringLiteral("&State Points"));
    view->addAction(show_points);
    for (QDockWidget* dock : { &chart, static_cast<QDockWidget*>(&points) })
        follow(*dock);
}

void Workspace::follow(QDockWidget& dock)
{
    dock.setAllowedAreas(Qt::AllDockWidgetAreas);
    dock.setFeatures(
        QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    // Shown by the user (a menu entry), not by the window's state coming back at start-up: the place is
    // made once the dock has its place in the window's layout.
    connect(dock.toggleViewAction(), &QAction::triggered, this, [this, &dock](bool shown) {
        if (shown)
            QTimer::singleShot(0, this, [this, &dock] { makeRoomFor(dock); });
    });
}

void Workspace::makeRoomFor(QDockWidget& dock)
{
    if (!dock.isVisible() || dock.isFloating() || window_.isMaximized() || window_.isFullScreen())
        return;
    QWidget* form = window_.centralWidget();
    const Qt::DockWidgetArea area = window_.dockWidgetArea(&dock);
    const bool beside = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
    const QSize wanted = dock.sizeHint().expandedTo(dock.minimumSizeHint());
    // Grow by what the dock lacks of its preferred size plus what the form lost to it.
    QSize grow(0, 0);
    if (beside)
        grow.setWidth(
            std::max(0, wanted.width() - dock.width()) + std::max(0, form->minimumWidth() - form->width()));
    else
        grow.setHeight(std::max(0, wanted.height() - dock.height())
            + std::max(0, form->minimumHeight() - form->height()));
    if (grow.width() == 0 && grow.height() == 0)
        return;
    // Never beyond the screen: a window taller than the screen hides the dock's lower part (its buttons)
    // under the screen's edge; the dock then takes what room there is and its tables scroll.
    QSize target = window_.size() + grow;
    if (const QScreen* screen = window_.screen()) {
        const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
        target = target.boundedTo((screen->availableGeometry().size() - frame).expandedTo(window_.size()));
    }
    window_.resize(target);
    window_.resizeDocks(
        { &dock }, { beside ? wanted.width() : wanted.height() }, beside ? Qt::Horizontal : Qt::Vertical);
}

} // namespace humidora
