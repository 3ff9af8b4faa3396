// The main window's menu bar, keyboard shortcuts, tool windows, about window, help documents, web
// button and closing, driven offscreen with a recording desktop in place of the real one.

#include "calc/document/calculation_document.h"
#include "form_ambient_testing.h"
#include "ui/form_about.h"
#include "ui/form_chart.h"
#include "ui/form_saturation.h"
#include "ui/form_unit_convertor.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

using testing_ui::WindowUnderTest;

namespace {

/// The visible top-level windows of class T.
template <class T> QList<T*> OpenWindows()
{
    QList<T*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible())
            windows << window;
    }
    return windows;
}

/// The entries of a menu as object names, "-" for a separator.
QStringList Entries(QMenu* menu)
{
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return entries;
}

} // namespace

class FormAmbientMenusTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void menuTreeInOrder_data();
    void menuTreeInOrder();
    void shortcutsAsListed_data();
    void shortcutsAsListed();
    void shortcutKeysTriggerTheirEntries_data();
    void shortcutKeysTriggerTheirEntries();
    void cutInAnEditableBoxDoesNotExit();
    void cutKeyInAComputedBoxDoesNotExit();
    void selectAllInABoxIsNotSaveAs();
    void exitKeyOutsideTextBoxesExits();
    void fileCommandsDoNothingVisibleYet_data();
    void fileCommandsDoNothingVisibleYet();
    void toolWindowOpensOnceAndAnewAfterClosing_data();
    void toolWindowOpensOnceAndAnewAfterClosing();
    void aboutWindowAsDesigned();
    void exitClosesEveryWindow();
    void closingTheMainWindowClosesEveryWindow();
    void destroyingTheMainWindowDestroysToolWindows();
    void helpEntriesOpenTheirDocuments();
    void f1OpensTheUsersGuide();
    void webButtonOpensTheWebAddress();
    void documentThatDoesNotOpenIsExplained_data();
    void documentThatDoesNotOpenIsExplained();
    void webAddressThatDoesNotOpenIsExplained();
    void convertValuesEntryConvertsAndIsRemembered();
};

void FormAmbientMenusTest::initTestCase()
{
    // The chart window remembers its range: never in the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
}

void FormAmbientMenusTest::cleanup()
{
    // No window of one test may leak into the next.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->isVisible())
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void FormAmbientMenusTest::menuTreeInOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("File") << QStringLiteral("menu_file")
                          << QStringList { "menu_open", "-", "menu_save", "menu_saveas", "-",
                                 "menu_properties", "menu_report", "-", "exit_menu" };
    QTest::newRow("Edit") << QStringLiteral("menu_edit") << QStringList { "menu_undo", "menu_redo" };
    QTest::newRow("Option") << QStringLiteral("menu_options")
                            << QStringList { "menu_calc_sat", "-", "menu_system", "menu_convert_units", "-",
                                   "menu_convertor", "menu_chart", "-", "menu_sat", "-", "menu_uncertainty" };
    QTest::newRow("Method") << QStringLiteral("menu_calc_sat")
                            << QStringList { "menu_IAPWS", "-", "menu_HW" };
    QTest::newRow("System") << QStringLiteral("menu_system")
                            << QStringList { "menu_metric", "-", "menu_british", "-", "menu_customized" };
    QTest::newRow("Help") << QStringLiteral("Help_menu")
                          << QStringList { "help_index_menu", "-", "menu_broshure", "-", "abou_menu" };
}

void FormAmbientMenusTest::menuTreeInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    WindowUnderTest w;
    QCOMPARE(Entries(w.find<QMenu>(menu)), entries);
    QStringList bar;
    for (QAction* action : w.window->menuBar()->actions())
        bar << action->objectName();
    QCOMPARE(bar, (QStringList { "menu_file", "menu_edit", "menu_options", "Help_menu" }));
}

void FormAmbientMenusTest::shortcutsAsListed_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Open") << QStringLiteral("menu_open") << QKeySequence(QStringLiteral("Ctrl+O"));
    QTest::newRow("Save") << QStringLiteral("menu_save") << QKeySequence(QStringLiteral("Ctrl+S"));
    QTest::newRow("Save As") << QStringLiteral("menu_saveas") << QKeySequence(QStringLiteral("Ctrl+A"));
    QTest::newRow("Report") << QStringLiteral("menu_report") << QKeySequence(QStringLiteral("Ctrl+R"));
    QTest::newRow("Exit") << QStringLiteral("exit_menu") << QKeySequence(QStringLiteral("Ctrl+X"));
    QTest::newRow("Undo") << QStringLiteral("menu_undo") << QKeySequence(QStringLiteral("Ctrl+Z"));
    QTest::newRow("Redo") << QStringLiteral("menu_redo") << QKeySequence(QStringLiteral("Ctrl+Shift+Z"));
    QTest::newRow("User's Guide") << QStringLiteral("help_index_menu") << QKeySequence(QStringLiteral("F1"));
    QTest::newRow("Brochure") << QStringLiteral("menu_broshure") << QKeySequence();
    QTest::newRow("Metric") << QStringLiteral("menu_metric") << QKeySequence();
    QTest::newRow("Psychrometric Chart")
        << QStringLiteral("menu_chart") << QKeySequence(QStringLiteral("Ctrl+H"));
}

void FormAmbientMenusTest::shortcutsAsListed()
{
    QFETCH(QString, entry);
    QFETCH(QKeySequence, keys);
    WindowUnderTest w;
    QCOMPARE(w.find<QAction>(entry)->shortcut(), keys);
}

void FormAmbientMenusTest::shortcutKeysTriggerTheirEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+O") << QStringLiteral("menu_open") << int(Qt::Key_O);
    QTest::newRow("Ctrl+S") << QStringLiteral("menu_save") << int(Qt::Key_S);
    QTest::newRow("Ctrl+R") << QStringLiteral("menu_report") << int(Qt::Key_R);
    QTest::newRow("Ctrl+H") << QStringLiteral("menu_chart") << int(Qt::Key_H);
}

void FormAmbientMenusTest::shortcutKeysTriggerTheirEntries()
{
    QFETCH(QString, entry);
    QFETCH(int, key);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy triggered(w.find<QAction>(entry), &QAction::triggered);
    QTest::keyClick(w.text(1), static_cast<Qt::Key>(key), Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    QVERIFY(w.window->isVisible());
}

void FormAmbientMenusTest::cutInAnEditableBoxDoesNotExit()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy exits(w.action("exit_menu"), &QAction::triggered);
    QLineEdit* temperature = w.text(1);
    temperature->setFocus();
    temperature->selectAll();
    const long before = w.calculations();
    QTest::keyClick(temperature, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(exits.count(), 0);
    QVERIFY(w.window->isVisible());
    QCOMPARE(temperature->text(), QString()); // the text was cut
    QCOMPARE(w.calculations(), before + 1);   // and the cut is an edit
}

void FormAmbientMenusTest::cutKeyInAComputedBoxDoesNotExit()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy exits(w.action("exit_menu"), &QAction::triggered);
    for (int box : { 3, 10, 12 }) {
        QLineEdit* computed = w.text(box);
        QVERIFY(computed->isReadOnly());
        const QString text = computed->text();
        computed->setFocus();
        computed->selectAll();
        QTest::keyClick(computed, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exits.count(), 0);
        QCOMPARE(computed->text(), text);
    }
    QVERIFY(w.window->isVisible());
}

void FormAmbientMenusTest::selectAllInABoxIsNotSaveAs()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy save_as(w.action("menu_saveas"), &QAction::triggered);
    QLineEdit* pressure = w.text(2);
    pressure->setFocus();
    pressure->deselect();
    QTest::keyClick(pressure, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(save_as.count(), 0);
    QCOMPARE(pressure->selectedText(), pressure->text());

    // Outside a text box the key is Save As.
    w.combo(1)->setFocus();
    QTest::keyClick(w.combo(1), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(save_as.count(), 1);
}

void FormAmbientMenusTest::exitKeyOutsideTextBoxesExits()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy exits(w.action("exit_menu"), &QAction::triggered);
    w.combo(2)->setFocus();
    QTest::keyClick(w.combo(2), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(exits.count(), 1);
    QVERIFY(!w.window->isVisible());
}

void FormAmbientMenusTest::fileCommandsDoNothingVisibleYet_data()
{
    QTest::addColumn<QString>("entry");
    for (const char* entry : { "menu_open", "menu_save", "menu_saveas", "menu_properties", "menu_report" })
        QTest::newRow(entry) << QString::fromLatin1(entry);
}

void FormAmbientMenusTest::fileCommandsDoNothingVisibleYet()
{
    QFETCH(QString, entry);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const int windows = QApplication::topLevelWidgets().size();
    const humidora::AmbientControls before = w.model();
    const long calculations = w.calculations();
    QVERIFY(w.find<QAction>(entry)->isEnabled());
    w.find<QAction>(entry)->trigger();
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(w.model() == before);
    QCOMPARE(w.calculations(), calculations);
    QVERIFY(w.window->isVisible());
}

void FormAmbientMenusTest::toolWindowOpensOnceAndAnewAfterClosing_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("className");
    QTest::newRow("unit convertor") << QStringLiteral("menu_convertor")
                                    << QStringLiteral("Form_unit_convertor");
    QTest::newRow("saturation") << QStringLiteral("menu_sat") << QStringLiteral("Form_saturation");
    QTest::newRow("about") << QStringLiteral("abou_menu") << QStringLiteral("form_about");
}

void FormAmbientMenusTest::toolWindowOpensOnceAndAnewAfterClosing()
{
    QFETCH(QString, entry);
    QFETCH(QString, className);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const auto open = [&className] {
        QList<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits(qPrintable(className)) && widget->isVisible())
                found << widget;
        }
        return found;
    };

    w.find<QAction>(entry)->trigger();
    QCOMPARE(open().size(), 1);
    QPointer<QWidget> first = open().first();
    QVERIFY(first->isWindow());
    QVERIFY(first->parentWidget() == nullptr || first->isWindow());

    // Chosen again: the same window, not a second one; the main window stays usable (modeless).
    w.find<QAction>(entry)->trigger();
    QCOMPARE(open().size(), 1);
    QCOMPARE(open().first(), first.data());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(w.window->isEnabled());

    // Closed by the user, it is destroyed, and the entry creates it anew.
    first->close();
    QTRY_VERIFY(first.isNull());
    QCOMPARE(open().size(), 0);
    w.find<QAction>(entry)->trigger();
    QCOMPARE(open().size(), 1);
}

void FormAmbientMenusTest::aboutWindowAsDesigned()
{
    WindowUnderTest w;
    w.action("abou_menu")->trigger();
    const QList<form_about*> abouts = OpenWindows<form_about>();
    QCOMPARE(abouts.size(), 1);
    form_about* about = abouts.first();
    QCOMPARE(about->objectName(), QStringLiteral("form_about"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Humidora 1.1"));
    QCOMPARE(about->size(), QSize(343, 341));
    QVERIFY(!about->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!about->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(about->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(about->palette().color(QPalette::Window), QColor(228, 228, 222));
    QVERIFY(about->testAttribute(Qt::WA_DeleteOnClose));
    auto* image = about->findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image != nullptr);
    QCOMPARE(image->pixmap().size(), QSize(348, 341));
    QCOMPARE(image->pos(), QPoint(0, 0));
    QVERIFY(about->findChildren<QAbstractButton*>().isEmpty());
}

void FormAmbientMenusTest::exitClosesEveryWindow()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    for (const char* entry : { "menu_convertor", "menu_sat", "abou_menu", "menu_chart" })
        w.action(entry)->trigger();
    QPointer<Form_unit_convertor> convertor = OpenWindows<Form_unit_convertor>().value(0);
    QPointer<Form_saturation> saturation = OpenWindows<Form_saturation>().value(0);
    QPointer<form_about> about = OpenWindows<form_about>().value(0);
    // The chart is docked in the main window and goes with it.
    QPointer<Form_chart> chart = w.window->chart();
    QVERIFY(convertor && saturation && about && chart);
    QVERIFY(chart->isVisible());

    w.action("exit_menu")->trigger();
    QVERIFY(!w.window->isVisible());
    QVERIFY(!chart->isVisible());
    QTRY_VERIFY(convertor.isNull() && saturation.isNull() && about.isNull());
}

void FormAmbientMenusTest::closingTheMainWindowClosesEveryWindow()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w.action("menu_convertor")->trigger();
    w.action("abou_menu")->trigger();
    QPointer<Form_unit_convertor> convertor = OpenWindows<Form_unit_convertor>().value(0);
    QPointer<form_about> about = OpenWindows<form_about>().value(0);
    QVERIFY(convertor && about);
    QVERIFY(w.window->close());
    QTRY_VERIFY(convertor.isNull() && about.isNull());
}

void FormAmbientMenusTest::destroyingTheMainWindowDestroysToolWindows()
{
    QPointer<Form_saturation> saturation;
    QPointer<Form_chart> chart;
    {
        WindowUnderTest w;
        w.action("menu_sat")->trigger();
        w.action("menu_chart")->trigger();
        saturation = OpenWindows<Form_saturation>().value(0);
        chart = w.window->chart();
        QVERIFY(saturation && chart);
    }
    QVERIFY(saturation.isNull() && chart.isNull());
}

void FormAmbientMenusTest::helpEntriesOpenTheirDocuments()
{
    WindowUnderTest w;
    w.action("help_index_menu")->trigger();
    w.action("menu_broshure")->trigger();
    QCOMPARE(w.desktop->documents,
        (QStringList {
            QStringLiteral("Humidora_Users Guide.pdf"), QStringLiteral("Humidora_Brochure.pdf") }));
    QVERIFY(w.desktop->addresses.isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void FormAmbientMenusTest::f1OpensTheUsersGuide()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QTest::keyClick(w.text(1), Qt::Key_F1);
    QCOMPARE(w.desktop->documents, QStringList { QStringLiteral("Humidora_Users Guide.pdf") });
}

void FormAmbientMenusTest::webButtonOpensTheWebAddress()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    auto* button = w.find<QPushButton>(QStringLiteral("Command1"));
    const long before = w.calculations();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(w.desktop->addresses, QStringList { QStringLiteral("https://www.humidora.example") });
    QVERIFY(w.desktop->documents.isEmpty());
    QCOMPARE(w.calculations(), before);
}

void FormAmbientMenusTest::documentThatDoesNotOpenIsExplained_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("message");
    const QString guide = QStringLiteral("Humidora_Users Guide.pdf");
    const QString brochure = QStringLiteral("Humidora_Brochure.pdf");
    QTest::newRow("guide missing")
        << "help_index_menu" << guide << false
        << QStringLiteral(
               "The document \"Humidora_Users Guide.pdf\" was not found; looked for \"/work/Humidora_Users "
               "Guide.pdf\", \"/opt/share/humidora/Humidora_Users Guide.pdf\".");
    QTest::newRow("brochure without viewer")
        << "menu_broshure" << brochure << true
        << QStringLiteral("Could not open \"/opt/share/humidora/Humidora_Brochure.pdf\": the desktop has no "
                          "program that shows it.");
}

// A fake desktop that finds nothing, or finds the document but has no viewer for it: the status bar says
// so with the paths, and no message box appears.
void FormAmbientMenusTest::documentThatDoesNotOpenIsExplained()
{
    QFETCH(QString, entry);
    QFETCH(QString, document);
    QFETCH(bool, found);
    QFETCH(QString, message);
    WindowUnderTest w;
    const QString installed = QStringLiteral("/opt/share/humidora/") + document;
    w.desktop->opening = humidora::DocumentOpening { { QStringLiteral("/work/") + document, installed },
        found ? installed : QString(), false };
    w.action(qPrintable(entry))->trigger();
    QCOMPARE(w.desktop->documents, QStringList { document });
    QCOMPARE(w.window->statusBar()->currentMessage(), message);
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    // Once it opens, nothing more is said.
    w.window->statusBar()->clearMessage();
    w.desktop->opening.reset();
    w.action(qPrintable(entry))->trigger();
    QVERIFY(w.window->statusBar()->currentMessage().isEmpty());
}

void FormAmbientMenusTest::webAddressThatDoesNotOpenIsExplained()
{
    WindowUnderTest w;
    w.desktop->address_opens = false;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    QTest::mouseClick(w.find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(w.window->statusBar()->currentMessage(),
        QStringLiteral("Could not open https://www.humidora.example: the desktop has no web browser."));
}

void FormAmbientMenusTest::convertValuesEntryConvertsAndIsRemembered()
{
    QSettings().clear();
    {
        WindowUnderTest w;
        QAction* convert = w.action("menu_convert_units");
        QVERIFY(convert->isCheckable());
        QVERIFY(!convert->isChecked());
        // Off: the number stays and is read in the new unit.
        testing_ui::ChooseItem(w.combo(1), 2);
        QCOMPARE(w.text(1)->text(), QStringLiteral("25"));
        testing_ui::ChooseItem(w.combo(1), 0);
        convert->trigger();
        QVERIFY(convert->isChecked());
        QVERIFY(w.window->document().convertOnUnitChange());
        w.text(1)->selectAll();
        QTest::keyClicks(w.text(1), "35");
        const QString humidity_ratio = w.text(3)->text();
        testing_ui::ChooseItem(w.combo(1), 2);
        QCOMPARE(w.text(1)->text(), QStringLiteral("95"));
        QCOMPARE(w.text(3)->text(), humidity_ratio);
        QVERIFY(testing_ui::DifferenceFromModel(w, w.window->logic().controls()).isEmpty());
        // The change of unit with its conversion is one step: undone, the typed text and unit are back.
        QCOMPARE(w.action("menu_undo")->text(), QStringLiteral("&Undo Unit of Ambient Temperature"));
        w.action("menu_undo")->trigger();
        QCOMPARE(w.text(1)->text(), QStringLiteral("35"));
        QCOMPARE(w.combo(1)->currentIndex(), 0);
        QCOMPARE(w.text(3)->text(), humidity_ratio);
        w.action("menu_redo")->trigger();
        QCOMPARE(w.text(1)->text(), QStringLiteral("95"));
        QCOMPARE(w.combo(1)->currentIndex(), 2);
        QVERIFY(w.action("menu_convert_units")->isChecked());
    }
    {
        // The next window starts with the choice of the last one.
        WindowUnderTest w;
        QVERIFY(w.action("menu_convert_units")->isChecked());
        QVERIFY(w.window->document().convertOnUnitChange());
        w.action("menu_convert_units")->trigger();
        QVERIFY(!w.window->document().convertOnUnitChange());
    }
    WindowUnderTest w;
    QVERIFY(!w.action("menu_convert_units")->isChecked());
    QSettings().clear();
}

QTEST_MAIN(FormAmbientMenusTest)
#include "form_ambient_menus_test.moc"
