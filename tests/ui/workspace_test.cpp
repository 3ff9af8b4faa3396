// The main window as a workspace, offscreen: the chart and the State Points view dock in it, the View
// menu shows and hides them, the window grows to hold them while the calculator form keeps its size and
// every control its place, no heading of the tables is cut, the name column stays in view when the table
// scrolls sideways, and the layout comes back in the next run.
#include "ui/desktop_program.h"
#include "ui/form_ambient.h"
#include "ui/form_chart.h"
#include "ui/state_points_dock.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

using humidora::DesktopProgram;

namespace {

QAction* Action(DesktopProgram& program, const char* name)
{
    return program.window().findChild<QAction*>(QLatin1String(name));
}

QDockWidget* Dock(DesktopProgram& program, const char* name)
{
    return program.window().findChild<QDockWidget*>(QLatin1String(name));
}

/// Where every control of the calculator form lies, and how large it is.
QMap<QString, QRect> FormLayout(DesktopProgram& program)
{
    QMap<QString, QRect> places;
    QWidget* form = program.window().centralWidget();
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            places[child->objectName()] = QRect(child->mapTo(form, QPoint(0, 0)), child->size());
    }
    return places;
}

/// The headings of `table` that do not fit their column or their header: empty when none is cut.
QStringList ClippedHeadings(QTableWidget* table)
{
    QStringList clipped;
    const QHeaderView* header = table->horizontalHeader();
    const QFontMetrics metrics(header->font());
    for (int column = 0; column < table->columnCount(); ++column) {
        const QString text = table->horizontalHeaderItem(column)->text();
        const QSize needed = metrics.size(0, text);
        // The style's margins around a section's text are a few pixels on each side.
        if (header->sectionSize(column) < needed.width() + 4 || header->height() < needed.height() + 2)
            clipped << text;
    }
    return clipped;
}

} // namespace

class WorkspaceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }
    void cleanup() { QSettings().clear(); }

    void viewMenuShowsAndHidesTheDocks()
    {
        DesktopProgram program;
        program.show();
        QStringList bar;
        for (QAction* action : program.window().menuBar()->actions())
            bar << action->objectName();
        QCOMPARE(bar, (QStringList { "menu_file", "menu_edit", "menu_view", "menu_options", "Help_menu" }));
        QDockWidget* chart = Dock(program, "dock_chart");
        QDockWidget* points = Dock(program, "dock_state_points");
        QVERIFY(chart && points);
        QVERIFY(chart->isHidden() && points->isHidden());
        QVERIFY(program.window().chart() == nullptr); // not drawn until wanted

        QAction* view_chart = Action(program, "menu_view_chart");
        QAction* view_points = Action(program, "menu_state_points");
        QVERIFY(view_chart->isCheckable() && view_points->isCheckable());
        view_chart->trigger();
        QVERIFY(chart->isVisible());
        QVERIFY(program.window().chart() != nullptr);
        QCOMPARE(chart->widget(), program.window().chart());
        QVERIFY(view_chart->isChecked());
        view_chart->trigger();
        QVERIFY(chart->isHidden());
        // The Option menu's entry still opens the chart, now in its dock.
        Action(program, "menu_chart")->trigger();
        QVERIFY(chart->isVisible());
        QVERIFY(view_chart->isChecked());
        view_points->trigger();
        QVERIFY(points->isVisible());
        QCOMPARE(program.window().dockWidgetArea(points), Qt::BottomDockWidgetArea);
        QCOMPARE(program.window().dockWidgetArea(chart), Qt::RightDockWidgetArea);
        program.window().close();
    }

    void theWindowGrowsAndTheFormKeepsItsLayout()
    {
        // Points are added here: the closing window is told to let them go.
        DesktopProgram program(
            {}, {}, [](const QString&) { return humidora::FileCommands::ChangesAnswer::Discard; });
        program.show();
        QVERIFY(QTest::qWaitForWindowExposed(&program.window()));
        const QSize form_size = program.window().centralWidget()->size();
        QCOMPARE(form_size, QSize(518, 660));
        const QMap<QString, QRect> layout = FormLayout(program);
        const QSize window_size = program.window().size();

        Action(program, "menu_view_chart")->trigger();
        Action(program, "menu_state_points")->trigger();
        QDockWidget* chart = Dock(program, "dock_chart");
        QDockWidget* points = Dock(program, "dock_state_points");
        // The room is made once the docks have their places.
        QTRY_VERIFY(program.window().width() >= window_size.width() + chart->sizeHint().width() / 2);
        QTRY_VERIFY(program.window().height() >= window_size.height() + points->minimumSizeHint().height());
        QCOMPARE(program.window().centralWidget()->size(), form_size);
        QCOMPARE(FormLayout(program), layout);
        QVERIFY(chart->width() >= chart->widget()->minimumSizeHint().width());

        // No heading of either table is cut: the quantity on one line, its unit below.
        auto* table = program.window().findChild<QTableWidget*>(QStringLiteral("table_points"));
        auto* processes = program.window().findChild<QTableWidget*>(QStringLiteral("table_processes"));
        QTest::mouseClick(
            program.window().findChild<QPushButton*>(QStringLiteral("button_add_point")), Qt::LeftButton);
        QCOMPARE(table->rowCount(), 1);
        QVERIFY(table->horizontalHeaderItem(3)->text().contains(QLatin1Char('\n')));
        QCOMPARE(ClippedHeadings(table), QStringList());
        QCOMPARE(ClippedHeadings(processes), QStringList());
        program.window().close();
    }

    void theNameColumnStaysInViewWhenTheTableScrolls()
    {
        DesktopProgram program(
            {}, {}, [](const QString&) { return humidora::FileCommands::ChangesAnswer::Discard; });
        program.show();
        Action(program, "menu_state_points")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&program.window()));
        auto* table = program.window().findChild<QTableWidget*>(QStringLiteral("table_points"));
        auto* add = program.window().findChild<QPushButton*>(QStringLiteral("button_add_point"));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(add, Qt::LeftButton);
        auto* frozen = table->findChild<QTableView*>(QStringLiteral("table_points_frozen"));
        QVERIFY(frozen);
        QVERIFY(frozen->isHidden()); // nothing to cover at the table's left end
        // Narrower than the table: it scrolls sideways.
        program.window().findChild<QDockWidget*>(QStringLiteral("dock_state_points"))->setFloating(true);
        table->window()->resize(300, 420);
        QTRY_VERIFY(table->horizontalScrollBar()->maximum() > 0);
        table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
        QTRY_VERIFY(frozen->isVisible());
        QCOMPARE(frozen->columnWidth(0), table->columnWidth(0));
        QCOMPARE(frozen->x(), table->frameWidth());
        for (int column = 1; column < table->columnCount(); ++column)
            QVERIFY(frozen->isColumnHidden(column));
        QCOMPARE(frozen->model()->index(2, 0).data().toString(), QStringLiteral("C"));
        QCOMPARE(frozen->rowViewportPosition(2), table->rowViewportPosition(2));
        // It selects with the table: a click on a name there selects the row in the table.
        QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {},
            frozen->visualRect(frozen->model()->index(1, 0)).center());
        QCOMPARE(table->currentRow(), 1);
        QVERIFY(table->selectionModel()->isRowSelected(1, {}));
        table->horizontalScrollBar()->setValue(0);
        QTRY_VERIFY(frozen->isHidden());
        program.window().close();
    }

    void theLayoutComesBackInTheNextRun()
    {
        {
            DesktopProgram program;
            program.show();
            Action(program, "menu_view_chart")->trigger();
            Action(program, "menu_state_points")->trigger();
            QDockWidget* points = Dock(program, "dock_state_points");
            program.window().addDockWidget(Qt::LeftDockWidgetArea, points);
            program.window().close();
        }
        DesktopProgram program;
        program.show();
        QDockWidget* chart = Dock(program, "dock_chart");
        QDockWidget* points = Dock(program, "dock_state_points");
        QVERIFY(chart->isVisible());
        QVERIFY(program.window().chart() != nullptr);
        QVERIFY(points->isVisible());
        QCOMPARE(program.window().dockWidgetArea(points), Qt::LeftDockWidgetArea);
        QCOMPARE(program.window().dockWidgetArea(chart), Qt::RightDockWidgetArea);
        QVERIFY(Action(program, "menu_view_chart")->isChecked());
        program.window().close();
    }
};

QTEST_MAIN(WorkspaceTest)
#include "workspace_test.moc"
