// The "State Points" dock on the real main window, offscreen: adding, loading, renaming, flows,
// deleting and reordering with the keyboard, the table in the window's units, and the clipboard.
#include "calc/document/calculation_document.h"
#include "form_ambient_testing.h"
#include "ui/form_chart.h"
#include "ui/process_dialog.h"
#include "ui/state_points_dock.h"

#include <QClipboard>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <cmath>

using testing_ui::WindowUnderTest;

class StatePointsDockTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        WindowUnderTest w;
        humidora::StatePointsDock* dock = new humidora::StatePointsDock(*w.window);
        QTableWidget* table = w.find<QTableWidget>(QStringLiteral("table_points"));

        Fixture()
        {
            w.window->show();
            QVERIFY(dock->isHidden()); // until Option > State Points
            w.action("menu_state_points")->trigger();
            QVERIFY(dock->isVisible());
            QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        }

        void click(const char* button)
        {
            QTest::mouseClick(w.find<QPushButton>(QLatin1String(button)), Qt::LeftButton);
        }
        void loadRowFromTable(int row)
        {
            QTest::mouseClick(
                table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 2)).center());
        }
        QString cell(int row, int column) const { return table->item(row, column)->text(); }
        QString header(int column) const
        {
            return table->horizontalHeaderItem(column)->text().replace(
                QStringLiteral("\n"), QStringLiteral(" "));
        }
        void type(int box, const QString& text)
        {
            QLineEdit* edit = w.text(box);
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
    };

private slots:
    // The flow unit is remembered between runs: every test starts from none.
    void init() { QSettings().remove(QStringLiteral("StatePoints")); }
    void cleanupTestCase() { QSettings().remove(QStringLiteral("StatePoints")); }

    void everyControlResolvesByName()
    {
        Fixture f;
        QVERIFY(f.table);
        for (const char* name :
            { "button_add_point", "button_delete_point", "button_point_up", "button_point_down" })
            QVERIFY2(f.w.find<QPushButton>(QLatin1String(name)), name);
        QVERIFY(f.w.action("menu_copy_results"));
        QVERIFY(f.w.action("menu_state_points"));
        QVERIFY(f.w.window->findChild<QMenu*>(QStringLiteral("menu_edit")));
    }

    void addPointStoresTheWindowsStateWithItsTexts()
    {
        Fixture f;
        f.click("button_add_point");
        f.type(1, QStringLiteral("30"));
        f.click("button_add_point");
        QCOMPARE(f.table->rowCount(), 2);
        QCOMPARE(f.cell(0, 0), QStringLiteral("A"));
        QCOMPARE(f.cell(1, 0), QStringLiteral("B"));
        QCOMPARE(f.cell(1, 1), QStringLiteral("30"));
        // Every state column is the window's own text for the point, as the window shows it now.
        QCOMPARE(f.cell(1, 2), f.w.text(3)->text());
        QCOMPARE(f.cell(1, 3), f.w.text(4)->text());
        QCOMPARE(f.cell(1, 4), f.w.text(6)->text());
        QCOMPARE(f.cell(1, 5), f.w.text(5)->text());
        QCOMPARE(f.cell(1, 6), f.w.text(16)->text());
        QCOMPARE(f.cell(1, 7), f.w.text(15)->text());
        QCOMPARE(f.header(1), QStringLiteral("Dry Bulb Temperature (C)"));
        QCOMPARE(f.header(8), QStringLiteral("Dry-Air Flow (kg/s)"));
    }

    void selectingAPointLoadsItsInputsAsTyped()
    {
        Fixture f;
        f.w.option(3)->click();
        f.type(5, QStringLiteral("12.5"));
        f.click("button_add_point");
        f.type(1, QStringLiteral("31"));
        f.click("button_add_point");
        QTest::mouseClick(
            f.table->viewport(), Qt::LeftButton, {}, f.table->visualItemRect(f.table->item(0, 3)).center());
        QCOMPARE(f.w.text(1)->text(), QStringLiteral("25"));
        QCOMPARE(f.w.text(5)->text(), QStringLiteral("12.5"));
        QVERIFY(f.w.option(3)->isChecked());
        QVERIFY(!f.w.text(5)->isReadOnly());
    }

    void theTableFollowsTheWindowsUnits()
    {
        Fixture f;
        f.click("button_add_point");
        f.w.action("menu_british")->trigger();
        QCOMPARE(f.header(1), QStringLiteral("Dry Bulb Temperature (F)"));
        QCOMPARE(f.header(8), QStringLiteral("Dry-Air Flow (lb/h)"));
        QCOMPARE(f.cell(0, 1), QStringLiteral("77"));
        // The same state typed in British units (101325 Pa is 14.69594877551345 PSI) reads the same texts
        // as the table.
        f.type(1, QStringLiteral("77"));
        f.type(2, QStringLiteral("14.69594877551345"));
        QCOMPARE(f.cell(0, 2), f.w.text(3)->text());
        QCOMPARE(f.cell(0, 6), f.w.text(16)->text());
    }

    void renamingAndFlowsAreEditedInPlace()
    {
        Fixture f;
        f.click("button_add_point");
        f.click("button_add_point");
        f.table->item(0, 0)->setText(QStringLiteral("Outdoor"));
        QCOMPARE(f.dock->list().points()[0].name, std::string("Outdoor"));
        f.table->item(1, 0)->setText(QStringLiteral("Outdoor")); // taken: refused
        QCOMPARE(f.dock->list().points()[1].name, std::string("B"));
        f.table->item(0, 8)->setText(QStringLiteral("2.5"));
        QCOMPARE(*f.dock->list().points()[0].flow_kg_s, 2.5);
        f.table->item(0, 8)->setText(QStringLiteral("-1"));
        QCOMPARE(*f.dock->list().points()[0].flow_kg_s, 2.5);
        QVERIFY(!f.w.window->statusBar()->currentMessage().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(f.cell(0, 8), QStringLiteral("2.5"));
        QCOMPARE(f.cell(1, 0), QStringLiteral("B"));
    }

    void deleteAndReorderWithTheKeyboard()
    {
        Fixture f;
        for (int i = 0; i < 3; ++i)
            f.click("button_add_point");
        f.table->setFocus();
        f.table->setCurrentCell(0, 0);
        QTest::keyClick(f.table, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(f.cell(0, 0), QStringLiteral("B"));
        QCOMPARE(f.cell(1, 0), QStringLiteral("A"));
        QCOMPARE(f.table->currentRow(), 1);
        QTest::keyClick(f.table, Qt::Key_Delete);
        QCOMPARE(f.table->rowCount(), 2);
        QCOMPARE(f.cell(0, 0), QStringLiteral("B"));
        QCOMPARE(f.cell(1, 0), QStringLiteral("C"));
        // The next point takes the first free name.
        f.click("button_add_point");
        QCOMPARE(f.cell(2, 0), QStringLiteral("A"));
    }

    void copyGivesTabSeparatedTextAndAnHtmlTable()
    {
        Fixture f;
        f.click("button_add_point");
        f.type(1, QStringLiteral("-5.5"));
        f.click("button_add_point");
        f.table->setFocus();
        f.table->selectAll();
        QTest::keyClick(f.table, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        const QStringList lines = data->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(
            QStringLiteral("Point\tDry Bulb Temperature (C)\tHumidity Ratio ((kg moisture)/(kg dry air))")));
        QCOMPARE(lines[2].split('\t').value(1), QStringLiteral("-5.5"));
        QCOMPARE(lines[2].split('\t').size(), 9);
        QVERIFY(data->html().contains(QStringLiteral("<td>-5.5</td>")));

        f.w.action("menu_copy_results")->trigger();
        const QStringList results = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(results.size(), 2);
        const QStringList header = results[0].split('\t');
        const QStringList values = results[1].split('\t');
        QCOMPARE(header.size(), 16);
        QCOMPARE(values.size(), 16);
        QCOMPARE(header[0], QStringLiteral("Ambient Temperature (C)"));
        QCOMPARE(values[0], QStringLiteral("-5.5"));
        QCOMPARE(header[15], QStringLiteral("Specific Enthalpy (kJ/kg (dry air))"));
        QCOMPARE(values[15], f.w.text(16)->text());
    }

    void aProcessAddsItsLeavingPointAndShowsItsLoads()
    {
        Fixture f;
        f.type(1, QStringLiteral("30"));
        f.click("button_add_point");
        f.table->item(0, 8)->setText(QStringLiteral("2"));
        humidora::ProcessDialog dialog(f.w.window->document(), f.w.window->logic().CurrentInputs(), f.dock);
        auto* kind = dialog.findChild<QComboBox*>(QStringLiteral("combo_process_kind"));
        auto* points = dialog.findChild<QListWidget*>(QStringLiteral("list_process_points"));
        auto* problem = dialog.findChild<QLabel*>(QStringLiteral("label_process_problem"));
        kind->setCurrentIndex(kind->findText(QStringLiteral("Cooling Coil")));
        QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("edit_to-temperature"))->isHidden());
        points->item(0)->setSelected(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("edit_adp"))->setText(QStringLiteral("10"));
        QVERIFY(!dialog.apply()); // the bypass factor is missing
        QCOMPARE(problem->text(),
            QStringLiteral(
                "Cooling Coil takes Apparatus Dew Point and Bypass Factor (0..1), or Leaving Dry Bulb and "
                "Leaving Relative Humidity."));
        dialog.findChild<QLineEdit*>(QStringLiteral("edit_bypass-factor"))->setText(QStringLiteral("0"));
        QVERIFY2(dialog.apply(), qPrintable(problem->text()));
        f.dock->processAdded();
        QCOMPARE(f.table->rowCount(), 2);
        QCOMPARE(f.cell(1, 0), QStringLiteral("B"));
        QCOMPARE(f.cell(1, 3), QStringLiteral("100")); // saturated at the ADP
        QCOMPARE(f.cell(1, 5), QStringLiteral("10"));
        QCOMPARE(f.cell(1, 8), QStringLiteral("2"));
        auto* processes = f.w.find<QTableWidget>(QStringLiteral("table_processes"));
        QCOMPARE(processes->rowCount(), 1);
        QCOMPARE(processes->item(0, 0)->text(), QStringLiteral("Cooling Coil"));
        QCOMPARE(processes->item(0, 1)->text(), QStringLiteral("A"));
        QCOMPARE(processes->item(0, 3)->text(), QStringLiteral("Apparatus Dew Point 10 C; Bypass Factor 0"));
        QVERIFY(processes->item(0, 4)->text().startsWith(QStringLiteral("Total Load ")));
        QVERIFY(processes->item(0, 4)->text().contains(QStringLiteral("Condensate ")));
        QVERIFY(!processes->item(0, 4)->text().contains(QStringLiteral("Apparatus Dew Point")));
        // The leaving point is shown in the window, and loads again like any other.
        QCOMPARE(f.table->currentRow(), 1);
        QCOMPARE(f.w.text(4)->text(), QStringLiteral("100"));
        f.loadRowFromTable(0);
        QCOMPARE(f.w.text(1)->text(), QStringLiteral("30"));
        f.type(1, QStringLiteral("20"));
        f.loadRowFromTable(0);
        QCOMPARE(f.w.text(1)->text(), QStringLiteral("30"));

        // A refused process says why in the dialog and adds nothing.
        humidora::ProcessDialog heat(f.w.window->document(), f.w.window->logic().CurrentInputs(), f.dock);
        heat.findChild<QComboBox*>(QStringLiteral("combo_process_kind"))->setCurrentIndex(1);
        heat.findChild<QListWidget*>(QStringLiteral("list_process_points"))->item(0)->setSelected(true);
        heat.findChild<QLineEdit*>(QStringLiteral("edit_to-temperature"))->setText(QStringLiteral("5"));
        QVERIFY(!heat.apply());
        QVERIFY(heat.findChild<QLabel*>(QStringLiteral("label_process_problem"))
                    ->text()
                    .contains(QStringLiteral("cooling coil")));
        QCOMPARE(f.dock->list().points().size(), std::size_t(2));
    }

    // Edit Process opens filled with the kept process; an unchanged OK changes nothing, a new apparatus dew
    // point moves the leaving point (same name) and is one step that Undo takes back.
    void editingAProcessMovesItsLeavingPointAndUndoes()
    {
        Fixture f;
        f.type(1, QStringLiteral("30"));
        f.click("button_add_point");
        humidora::ProcessSpec coil;
        coil.kind = humidora::ProcessKind::Coil;
        coil.points = { "A" };
        coil.adp_K = 273.15 + 10;
        coil.bypass_factor = 0.2;
        QCOMPARE(QString::fromStdString(f.w.window->document().AddProcess(coil)), QString());
        f.dock->processAdded();
        const QString leaving = f.cell(1, 5);

        humidora::ProcessDialog unchanged(
            f.w.window->document(), f.w.window->logic().CurrentInputs(), f.dock);
        unchanged.editProcess(0);
        QCOMPARE(unchanged.windowTitle(), QStringLiteral("Edit Process"));
        QCOMPARE(unchanged.findChild<QComboBox*>(QStringLiteral("combo_process_kind"))->currentText(),
            QStringLiteral("Cooling Coil"));
        auto* points = unchanged.findChild<QListWidget*>(QStringLiteral("list_process_points"));
        QVERIFY(points->item(0)->isSelected());
        QVERIFY(!points->item(1)->isSelected());
        QCOMPARE(unchanged.findChild<QLineEdit*>(QStringLiteral("edit_adp"))->text(), QStringLiteral("10"));
        QCOMPARE(unchanged.findChild<QLineEdit*>(QStringLiteral("edit_bypass-factor"))->text(),
            QStringLiteral(".2"));
        auto* name = unchanged.findChild<QLineEdit*>(QStringLiteral("edit_result_name"));
        QCOMPARE(name->text(), QStringLiteral("B"));
        QVERIFY(name->isReadOnly());
        QAction* undo = f.w.action("menu_undo");
        const QString last_step = undo->text();
        QVERIFY(unchanged.apply());
        QCOMPARE(undo->text(), last_step); // the same process: no step

        humidora::ProcessDialog warmer(f.w.window->document(), f.w.window->logic().CurrentInputs(), f.dock);
        warmer.editProcess(0);
        warmer.findChild<QLineEdit*>(QStringLiteral("edit_adp"))->setText(QStringLiteral("12"));
        QVERIFY2(warmer.apply(),
            qPrintable(warmer.findChild<QLabel*>(QStringLiteral("label_process_problem"))->text()));
        QCOMPARE(f.table->rowCount(), 2);
        QCOMPARE(f.cell(1, 0), QStringLiteral("B"));
        QVERIFY(f.cell(1, 5) != leaving);
        auto* processes = f.w.find<QTableWidget>(QStringLiteral("table_processes"));
        QCOMPARE(processes->item(0, 3)->text(), QStringLiteral("Apparatus Dew Point 12 C; Bypass Factor .2"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Edit Cooling Coil"));
        undo->trigger();
        QCOMPARE(f.cell(1, 5), leaving);
        QCOMPARE(processes->item(0, 3)->text(), QStringLiteral("Apparatus Dew Point 10 C; Bypass Factor .2"));
    }

    void addProcessStartsWithTheSelectedPoints()
    {
        Fixture f;
        for (const char* temperature : { "30", "24", "18" }) {
            f.type(1, QLatin1String(temperature));
            f.click("button_add_point");
        }
        // What the dialog shows when it opens, for the selection in the table.
        const auto opened = [&f](const std::vector<int>& rows) {
            f.table->clearSelection();
            for (const int row : rows)
                f.table->selectionModel()->select(
                    f.table->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            QStringList chosen;
            QString kind;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto* points = dialog->findChild<QListWidget*>(QStringLiteral("list_process_points"));
                for (const QListWidgetItem* item : points->selectedItems())
                    chosen << item->text();
                kind = dialog->findChild<QComboBox*>(QStringLiteral("combo_process_kind"))->currentText();
                dialog->reject();
            });
            f.click("button_add_process");
            chosen.sort();
            return chosen.join(QLatin1Char(' ')) + QStringLiteral(" / ") + kind;
        };
        QCOMPARE(opened({ 1 }), QStringLiteral("B / Mixing"));
        QCOMPARE(opened({ 0, 2 }), QStringLiteral("A C / Mixing"));
        QCOMPARE(opened({}), QStringLiteral(" / Mixing"));
    }

    // A flow is shown and typed in the unit chosen under the table: a volume as actual air at the point's
    // state or as standard air (1.2 kg/m^3); the point keeps its dry-air mass flow, a refused text names
    // the point, the value and the limit, and each edit is one undoable step.
    void flowsInVolumeUnitsAsActualOrStandardAir()
    {
        Fixture f;
        f.type(1, QStringLiteral("30"));
        f.click("button_add_point");
        auto* unit = f.w.find<QComboBox>(QStringLiteral("combo_flow_unit"));
        auto* basis = f.w.find<QComboBox>(QStringLiteral("combo_flow_basis"));
        QCOMPARE(unit->currentText(), QStringLiteral("kg/s"));
        QVERIFY(!basis->isEnabled()); // a mass flow has no basis
        f.table->item(0, 8)->setText(QStringLiteral("2.4"));

        unit->setCurrentText(QStringLiteral("m^3/h"));
        basis->setCurrentIndex(basis->findText(QStringLiteral("Standard Air")));
        QVERIFY(basis->isEnabled());
        QCOMPARE(f.header(8), QStringLiteral("Dry-Air Flow (m^3/h at 1.2 kg/m^3)"));
        QCOMPARE(f.cell(0, 8), QStringLiteral("7200")); // 2.4 kg/s over 1.2 kg/m^3, 3600 s
        f.table->item(0, 8)->setText(QStringLiteral("3600"));
        QCOMPARE(*f.dock->list().points()[0].flow_kg_s, 1.2);
        QCoreApplication::processEvents();
        QCOMPARE(f.cell(0, 8), QStringLiteral("3600"));

        // The actual volume is the standard one times the point's specific volume times 1.2 kg/m^3.
        basis->setCurrentIndex(basis->findText(QStringLiteral("Actual")));
        QCOMPARE(f.header(8), QStringLiteral("Dry-Air Flow (m^3/h)"));
        const double v = f.cell(0, 7).toDouble();
        QVERIFY(v > 0.8 && v < 0.95);
        QVERIFY(std::abs(f.cell(0, 8).toDouble() / (3600 * 1.2 * v) - 1) < 1e-4);

        f.table->item(0, 8)->setText(QStringLiteral("-5"));
        QCOMPARE(f.w.window->statusBar()->currentMessage(),
            QStringLiteral("The dry-air flow of point A, -5 m^3/h, is below its minimum of 0 m^3/h."));
        QCOMPARE(*f.dock->list().points()[0].flow_kg_s, 1.2);

        QAction* undo = f.w.action("menu_undo");
        QCOMPARE(undo->text(), QStringLiteral("&Undo Flow of Point A"));
        undo->trigger();
        QCOMPARE(*f.dock->list().points()[0].flow_kg_s, 2.4);

        // British lists its own units; the metric choice is not one of them.
        f.w.action("menu_british")->trigger();
        QStringList british;
        for (int i = 0; i < unit->count(); ++i)
            british << unit->itemText(i);
        QCOMPARE(british, (QStringList { "lb/h", "lb/min", "cfm" }));
        QCOMPARE(unit->currentText(), QStringLiteral("lb/h"));
        unit->setCurrentText(QStringLiteral("cfm"));
        basis->setCurrentIndex(basis->findText(QStringLiteral("Standard Air")));
        QCOMPARE(f.header(8), QStringLiteral("Dry-Air Flow (cfm at 0.075 lb/ft^3)"));
        // 2.4 kg/s is 19048.2 lb/h; at 0.075 lb/ft^3 that is 4232.93 cfm.
        QCOMPARE(f.cell(0, 8), QStringLiteral("4232.9"));
    }

    void theChosenFlowUnitComesBackInTheNextRun()
    {
        {
            Fixture f;
            f.w.find<QComboBox>(QStringLiteral("combo_flow_unit"))->setCurrentText(QStringLiteral("L/s"));
        }
        Fixture again;
        QCOMPARE(
            again.w.find<QComboBox>(QStringLiteral("combo_flow_unit"))->currentText(), QStringLiteral("L/s"));
    }

    void theChartDrawsThePointsAndAnArrowPerProcess()
    {
        Fixture f;
        f.type(1, QStringLiteral("32"));
        f.click("button_add_point");
        f.table->item(0, 8)->setText(QStringLiteral("1"));
        f.type(1, QStringLiteral("24"));
        f.click("button_add_point");
        f.table->item(1, 8)->setText(QStringLiteral("3"));
        ProcessSpecForTest(f, { "A", "B" });
        f.w.action("menu_chart")->trigger();
        Form_chart* chart = f.w.window->chart();
        QVERIFY(chart);
        const humidora::chart::ChartOverlay& overlay = chart->model().overlay();
        QCOMPARE(overlay.points.size(), std::size_t(3));
        QCOMPARE(overlay.points[2].label, std::string("C"));
        QCOMPARE(overlay.arrows.size(), std::size_t(2));
        QCOMPARE(overlay.arrows[0].to, std::size_t(2));
        QCOMPARE(overlay.arrows[1].from, std::size_t(1));
        QCOMPARE(overlay.arrows[0].label, std::string("mix"));
        QCOMPARE(overlay.arrows[1].label, std::string());
        // The picture of the chart carries them, and a deleted point leaves the chart.
        QCOMPARE(chart->picture().overlay.points.size(), std::size_t(3));
        f.table->setCurrentCell(0, 0);
        // A point the mixing uses goes with the mixing, when the user says so.
        QString asked;
        f.dock->setDeleteConfirmation([&](const QString& question) {
            asked = question;
            return true;
        });
        f.dock->deleteSelected();
        QCOMPARE(asked, QStringLiteral("Delete point A and the process that uses it?"));
        QCOMPARE(chart->model().overlay().points.size(), std::size_t(2));
        QCOMPARE(chart->model().overlay().arrows.size(), std::size_t(0));
    }

private:
    static void ProcessSpecForTest(Fixture& f, std::vector<std::string> points)
    {
        humidora::ProcessSpec mix;
        mix.points = std::move(points);
        QCOMPARE(f.w.window->document().AddProcess(mix), std::string());
        f.dock->processAdded();
    }
};

QTEST_MAIN(StatePointsDockTest)
#include "state_points_dock_test.moc"
