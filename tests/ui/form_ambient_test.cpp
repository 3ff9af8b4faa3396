// The main window driven through its real widgets, offscreen: controls and their names, start-up,
// option clicks, typing, unit choices, unit systems and formulations. Each scenario also runs on a
// separate AmbientWindow with the events a user's actions should produce, and the widgets must show
// exactly that window's controls: the Qt window forwards every event once and computes nothing itself.

#include "form_ambient_testing.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using humidora::AmbientWindow;
using testing_ui::ChooseItem;
using testing_ui::DifferenceFromModel;
using testing_ui::FromStd;
using testing_ui::WindowUnderTest;

class FormAmbientTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlNameResolvesToItsWidgetClass_data();
    void everyControlNameResolvesToItsWidgetClass();
    void captionsAreTheWindowsOwn_data();
    void captionsAreTheWindowsOwn();
    void titleNamesProductAndWebAddress();
    void clientAreaIsTheDefaultSize();
    void unitListsHoldTheModelsItemsAndCannotBeTyped();
    void fontsAreTimesBoldInTheirSizes_data();
    void fontsAreTimesBoldInTheirSizes();
    void fixedColoursOfWindowListsAndButton();
    void startupShowsTheDefaultState();
    void startupEqualsAStandaloneOpen();
    void startupPutsFocusInTemperatureThenPressure();
    void optionClickSwitchesInputWithoutRecalculating_data();
    void optionClickSwitchesInputWithoutRecalculating();
    void optionChosenByKeyboardPutsFocusInItsBox_data();
    void optionChosenByKeyboardPutsFocusInItsBox();
    void typingRecalculatesOnEveryKeystroke_data();
    void typingRecalculatesOnEveryKeystroke();
    void typingIntoAComputedBoxChangesNothing();
    void refusalIsExplainedInToolTipAndStatusBar_data();
    void refusalIsExplainedInToolTipAndStatusBar();
    void correctingARefusalLeavesOtherMessages();
    void altitudeInputWritesPressureWithoutSecondRun();
    void unitChoiceSwitchesToCustomized();
    void choosingTheReferenceItemKeepsTheSystem();
    void percentListsDoNothing_data();
    void percentListsDoNothing();
    void britishAndBackToMetricRestoresTheStart();
    void britishAfterCustomizedRestoresPsi();
    void metricWithAltitudeGivenShowsTheDerivedPressure();
    void formulationMovesTheCheckMark();
    void customizedCannotBeChosen();
    void captionsAreNotClipped_data();
    void captionsAreNotClipped();
    void openUnitListShowsEveryItemInFull();
};

// ---- Controls ----------------------------------------------------------------------------------------

void FormAmbientTest::everyControlNameResolvesToItsWidgetClass_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    const auto add = [](const QString& name, const char* className) {
        QTest::newRow(qPrintable(name)) << name << QString::fromLatin1(className);
    };
    for (int i = 1; i <= 16; ++i) {
        add(QStringLiteral("Text%1").arg(i), "QLineEdit");
        add(QStringLiteral("Combo%1").arg(i), "QComboBox");
    }
    for (int i = 1; i <= 10; ++i)
        add(QStringLiteral("Option%1").arg(i), "QRadioButton");
    for (int i = 1; i <= 33; ++i)
        add(QStringLiteral("Label%1").arg(i), "QLabel");
    for (int i = 1; i <= 3; ++i)
        add(QStringLiteral("Frame%1").arg(i), "QGroupBox");
    add(QStringLiteral("List1"), "QListWidget");
    add(QStringLiteral("Command1"), "QPushButton");
    for (const char* menu : { "menu_file", "menu_options", "menu_calc_sat", "menu_system", "Help_menu" })
        add(QLatin1String(menu), "QMenu");
    for (const char* action : { "menu_file", "menu_open", "menu_save", "menu_saveas", "menu_report",
             "exit_menu", "menu_options", "menu_calc_sat", "menu_IAPWS", "menu_HW", "menu_system",
             "menu_metric", "menu_british", "menu_customized", "menu_convertor", "menu_sat", "Help_menu",
             "help_index_menu", "menu_broshure", "abou_menu" })
        QTest::newRow(qPrintable(QLatin1String(action) + QStringLiteral(" action")))
            << QString::fromLatin1(action) << QStringLiteral("QAction");
}

void FormAmbientTest::everyControlNameResolvesToItsWidgetClass()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    WindowUnderTest w;
    QCOMPARE(w.window->objectName(), QStringLiteral("Form_ambient"));
    int found = 0;
    for (QObject* object : w.window->findChildren<QObject*>(name)) {
        if (object->inherits(qPrintable(className)))
            ++found;
    }
    QCOMPARE(found, 1);
}

void FormAmbientTest::captionsAreTheWindowsOwn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const std::pair<const char*, const char*> captions[] = {
        { "Label26", "Quantity" },
        { "Label27", "Unit (Metric)" },
        { "Label28", "Value" },
        { "Label1", "Minimum" },
        { "Label3", "Maximum" },
        { "Label2", "Ambient Temperature" },
        { "Option8", "Barometric Pressure" },
        { "Option9", "Altitude above Sea Level" },
        { "Option2", "Relative Humidity" },
        { "Option1", "Humidity Ratio" },
        { "Option5", "Absolute Humidity" },
        { "Option3", "Dew Point Temperature" },
        { "Option4", "Wet Bulb Temperature" },
        { "Option10", "Partial Pressure of Water in Air" },
        { "Option6", "Water Mole Fraction in Air" },
        { "Option7", "Water Mass Fraction in Air" },
        { "Frame2", "Pressure" },
        { "Frame1", "Humidity Parameters" },
        { "Frame3", "Other Properties" },
        { "Label29", "Specific Gas Const. (R)" },
        { "Label32", "Molecular Weight" },
        { "Label30", "Density" },
        { "Label31", "Specific Volume" },
        { "Label33", "Specific Enthalpy" },
        { "Command1", "www.humidora.example" },
        { "menu_file", "&File" },
        { "menu_open", "&Open" },
        { "menu_save", "&Save" },
        { "menu_saveas", "Save &As" },
        { "menu_report", "&Report" },
        { "exit_menu", "Exit" },
        { "menu_options", "O&ption" },
        { "menu_calc_sat", "Method of Calculating Saturation Condition" },
        { "menu_IAPWS", "IAPWS (International Association for the Properties of Water and Steam)" },
        { "menu_HW", "Hyland-Wexler Formulation (Recommended by ASHRAE)" },
        { "menu_system", "System of Units" },
        { "menu_metric", "Metric" },
        { "menu_british", "British" },
        { "menu_customized", "Customized" },
        { "menu_convertor", "Unit Convertor" },
        { "menu_sat", "Saturation Condition of Water" },
        { "Help_menu", "&Help" },
        { "help_index_menu", "Humidora 1.1 User's Guide" },
        { "menu_broshure", "Humidora 1.1 Brochure" },
        { "abou_menu", "About Humidora 1.1" },
    };
    for (const auto& [name, caption] : captions)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption);
}

void FormAmbientTest::captionsAreTheWindowsOwn()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    WindowUnderTest w;
    QString shown;
    if (auto* label = w.find<QLabel>(name))
        shown = label->text();
    else if (auto* button = w.find<QAbstractButton>(name))
        shown = button->text();
    else if (auto* frame = w.find<QGroupBox>(name))
        shown = frame->title();
    else if (auto* action = w.find<QAction>(name))
        shown = action->text();
    QCOMPARE(shown, caption);
}

void FormAmbientTest::titleNamesProductAndWebAddress()
{
    WindowUnderTest w;
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Humidora 1.1 (www.humidora.example)"));
    const Qt::WindowFlags flags = w.window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint) || !flags.testFlag(Qt::CustomizeWindowHint));
}

void FormAmbientTest::clientAreaIsTheDefaultSize()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    QCOMPARE(w.window->centralWidget()->size(), QSize(518, 660));
}

void FormAmbientTest::unitListsHoldTheModelsItemsAndCannotBeTyped()
{
    WindowUnderTest w;
    const humidora::AmbientControls created;
    for (const humidora::NamedList& named : humidora::kUnitLists) {
        QComboBox* list = w.find<QComboBox>(FromStd(std::string(named.name)));
        QVERIFY(!list->isEditable());
        const std::vector<std::string>& items = (created.*named.list).items;
        QCOMPARE(list->count(), static_cast<int>(items.size()));
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->itemText(i), FromStd(items[static_cast<std::size_t>(i)]));
    }
    // A few keys spelled out, as the calculation recognises units by these exact texts.
    QCOMPARE(w.combo(2)->itemText(4), QStringLiteral("mm H2O"));
    QCOMPARE(w.combo(6)->itemText(0), QStringLiteral("(kg moisture)/(kg dry air)"));
    QCOMPARE(w.combo(12)->itemText(4), QStringLiteral("btu/lb-R"));
}

void FormAmbientTest::fontsAreTimesBoldInTheirSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("points");
    const std::pair<const char*, double> sizes[] = {
        { "Label2", 9 },
        { "Label27", 9 },
        { "Option10", 9 },
        { "Text1", 9 },
        { "Text16", 9 },
        { "Combo1", 8.25 },
        { "Combo7", 8.25 },
        { "Combo10", 8.25 },
        { "Combo11", 8.25 },
        { "Combo8", 9 },
        { "Combo9", 9 },
        { "Combo12", 9 },
        { "Combo16", 9 },
        { "List1", 9 },
        { "Text2", 8.25 },
        { "Frame1", 9.75 },
        { "Frame3", 9.75 },
        { "Label29", 9 },
        { "Command1", 12 },
    };
    for (const auto& [name, points] : sizes)
        QTest::newRow(name) << QString::fromLatin1(name) << points;
}

void FormAmbientTest::fontsAreTimesBoldInTheirSizes()
{
    QFETCH(QString, name);
    QFETCH(double, points);
    WindowUnderTest w;
    auto* widget = w.find<QWidget>(name);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->font().pointSizeF(), points);
    QVERIFY(widget->font().bold());
    QCOMPARE(widget->font().family(), QStringLiteral("Times New Roman"));
    // fontconfig substitutes the metric-compatible Liberation Serif on Linux.
    QCOMPARE(QFontInfo(widget->font()).family(), QStringLiteral("Liberation Serif"));
}

void FormAmbientTest::fixedColoursOfWindowListsAndButton()
{
    WindowUnderTest w;
    QCOMPARE(w.window->palette().color(QPalette::Window), QColor(216, 219, 204));
    QCOMPARE(
        w.find<QLabel>(QStringLiteral("Label2"))->palette().color(QPalette::Window), QColor(216, 219, 204));
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.combo(i)->palette().color(QPalette::Button), QColor(250, 251, 219));
    QCOMPARE(w.find<QPushButton>(QStringLiteral("Command1"))->palette().color(QPalette::Button),
        QColor(252, 224, 131));
    QCOMPARE(
        w.find<QLabel>(QStringLiteral("Label4"))->palette().color(QPalette::Window), QColor(255, 128, 128));
    QCOMPARE(
        w.find<QLabel>(QStringLiteral("Label5"))->palette().color(QPalette::Window), QColor(129, 177, 162));
    QCOMPARE(
        w.find<QListWidget>(QStringLiteral("List1"))->palette().color(QPalette::Base), QColor(255, 192, 128));
    QCOMPARE(w.text(3)->palette().color(QPalette::Base), QColor(0, 255, 255));
}

// ---- Start-up ----------------------------------------------------------------------------------------

void FormAmbientTest::startupShowsTheDefaultState()
{
    WindowUnderTest w;
    QCOMPARE(w.text(1)->text(), QStringLiteral("25"));
    QCOMPARE(w.text(2)->text(), QStringLiteral("101.325"));
    QCOMPARE(w.text(4)->text(), QStringLiteral("50"));
    QCOMPARE(w.text(10)->text(), QStringLiteral("0"));
    QVERIFY(!w.text(3)->text().isEmpty());
    for (int i = 1; i <= 16; ++i) {
        const bool input = i == 1 || i == 2 || i == 4;
        QCOMPARE(w.text(i)->isReadOnly(), !input);
        const QColor expected
            = input ? QApplication::palette(w.text(i)).color(QPalette::Base) : QColor(0, 255, 255);
        QCOMPARE(w.text(i)->palette().color(QPalette::Base), expected);
    }
    QVERIFY(w.option(8)->isChecked());
    QVERIFY(w.option(2)->isChecked());
    for (int i : { 1, 3, 4, 5, 6, 7, 9, 10 })
        QVERIFY(!w.option(i)->isChecked());
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.combo(i)->currentIndex(), humidora::kMetricSelection[static_cast<std::size_t>(i - 1)]);
    QCOMPARE(w.combo(2)->currentText(), QStringLiteral("kPa"));
    QCOMPARE(w.combo(12)->currentText(), QStringLiteral("kJ/kg-K"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label10"))->text(), QStringLiteral("100"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label11"))->text(), QStringLiteral("0"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label5"))->text(), QStringLiteral("-100"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("100"));
    QVERIFY(w.action("menu_IAPWS")->isChecked());
    QVERIFY(!w.action("menu_HW")->isChecked());
    QVERIFY(w.action("menu_metric")->isChecked());
    QVERIFY(!w.action("menu_british")->isChecked());
    QVERIFY(!w.action("menu_customized")->isChecked());
    QVERIFY(!w.action("menu_customized")->isEnabled());
    auto* listing = w.find<QListWidget>(QStringLiteral("List1"));
    QVERIFY(listing->count() > 0);
    QCOMPARE(listing->item(0)->text(), QStringLiteral("Sat. Formulation:  IAPWS"));
    QCOMPARE(DifferenceFromModel(w, w.model()), QString());
}

void FormAmbientTest::startupEqualsAStandaloneOpen()
{
    WindowUnderTest w;
    AmbientWindow reference;
    reference.Open();
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
    QCOMPARE(w.calculations(), reference.calculations());
}

void FormAmbientTest::startupPutsFocusInTemperatureThenPressure()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.text(1)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.text(2)));
}

// ---- Events ------------------------------------------------------------------------------------------

void FormAmbientTest::optionClickSwitchesInputWithoutRecalculating_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("previous");
    QTest::newRow("dew point") << 3 << 5 << 4;
    QTest::newRow("humidity ratio") << 1 << 3 << 4;
    QTest::newRow("partial pressure") << 10 << 11 << 4;
    QTest::newRow("mass fraction") << 7 << 9 << 4;
    QTest::newRow("altitude") << 9 << 10 << 2;
}

void FormAmbientTest::optionClickSwitchesInputWithoutRecalculating()
{
    QFETCH(int, option);
    QFETCH(int, box);
    QFETCH(int, previous);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    const long before = w.calculations();
    QStringList texts;
    for (int i = 1; i <= 16; ++i)
        texts << w.text(i)->text();

    QTest::mouseClick(w.option(option), Qt::LeftButton);

    QVERIFY(w.option(option)->isChecked());
    QVERIFY(!w.text(box)->isReadOnly());
    QCOMPARE(w.text(box)->palette().color(QPalette::Base),
        QApplication::palette(w.text(box)).color(QPalette::Base));
    QVERIFY(w.text(previous)->isReadOnly());
    QCOMPARE(w.text(previous)->palette().color(QPalette::Base), QColor(0, 255, 255));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.text(box)));
    QVERIFY(!w.text(box)->text().isEmpty());
    QCOMPARE(w.text(box)->selectedText(), w.text(box)->text());
    QCOMPARE(w.calculations(), before);
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.text(i)->text(), texts[i - 1]);
    for (int i = 12; i <= 16; ++i)
        QVERIFY(w.text(i)->isReadOnly());

    // The next keystroke replaces the whole value and recalculates.
    QTest::keyClick(w.text(box), Qt::Key_1);
    QCOMPARE(w.text(box)->text(), QStringLiteral("1"));
    QCOMPARE(w.calculations(), before + 1);

    AmbientWindow reference;
    reference.Open();
    reference.ClickOption(option);
    reference.EditText(box, "1");
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
}

void FormAmbientTest::optionChosenByKeyboardPutsFocusInItsBox_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::newRow("down from relative humidity") << 2 << int(Qt::Key_Down);
    QTest::newRow("up from humidity ratio") << 1 << int(Qt::Key_Up);
    QTest::newRow("down from pressure") << 8 << int(Qt::Key_Down);
    QTest::newRow("space on dew point") << 3 << int(Qt::Key_Space);
    QTest::newRow("space on altitude") << 9 << int(Qt::Key_Space);
}

// The keyboard chooses an option as a click does: the focus goes into its value box, whole text selected,
// so that typing replaces the value the user looks at.
void FormAmbientTest::optionChosenByKeyboardPutsFocusInItsBox()
{
    QFETCH(int, start);
    QFETCH(int, key);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    if (!w.option(start)->isChecked())
        QTest::mouseClick(w.option(start), Qt::LeftButton);
    w.option(start)->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.option(start)));

    QTest::keyClick(w.option(start), Qt::Key(key));

    int chosen = 0;
    for (int option = 1; option <= 10; ++option) {
        const bool same_group = (option == 8 || option == 9) == (start == 8 || start == 9);
        if (same_group && w.option(option)->isChecked())
            chosen = option;
    }
    QVERIFY(chosen != 0);
    if (key != Qt::Key_Space)
        QVERIFY(chosen != start);
    QLineEdit* box = w.text(humidora::BoxOfOption(chosen));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
    QVERIFY(!box->isReadOnly());
    QCOMPARE(box->selectedText(), box->text());
    QTest::keyClicks(box, QStringLiteral("1"));
    QCOMPARE(box->text(), QStringLiteral("1"));
}

void FormAmbientTest::typingRecalculatesOnEveryKeystroke_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("refused");
    QTest::newRow("temperature 30") << 1 << QStringLiteral("30") << false;
    QTest::newRow("temperature minus only") << 1 << QStringLiteral("-") << true;
    QTest::newRow("temperature minus 40") << 1 << QStringLiteral("-40") << false;
    QTest::newRow("temperature 12abc") << 1 << QStringLiteral("12abc") << true;
    QTest::newRow("temperature above limit") << 1 << QStringLiteral("150") << true;
    QTest::newRow("pressure 90") << 2 << QStringLiteral("90") << false;
    QTest::newRow("relative humidity 60") << 4 << QStringLiteral("60") << false;
    QTest::newRow("relative humidity 160") << 4 << QStringLiteral("160") << true;
}

void FormAmbientTest::typingRecalculatesOnEveryKeystroke()
{
    QFETCH(int, box);
    QFETCH(QString, keys);
    QFETCH(bool, refused);
    WindowUnderTest w;
    AmbientWindow reference;
    reference.Open();
    QLineEdit* edit = w.text(box);
    edit->selectAll();

    QString typed;
    for (const QChar key : keys) {
        const long before = w.calculations();
        QTest::keyClicks(edit, QString(key));
        typed += key;
        QCOMPARE(edit->text(), typed);
        QCOMPARE(w.calculations(), before + 1);
        reference.EditText(box, typed.toStdString());
    }
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
    QCOMPARE(edit->palette().color(QPalette::Base) == QColor(255, 0, 0), refused);

    // Deleting back to an empty box recalculates on every key as well; an empty box is refused.
    while (!typed.isEmpty()) {
        const long before = w.calculations();
        QTest::keyClick(edit, Qt::Key_Backspace);
        typed.chop(1);
        QCOMPARE(edit->text(), typed);
        QCOMPARE(w.calculations(), before + 1);
        reference.EditText(box, typed.toStdString());
    }
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(255, 0, 0));
}

void FormAmbientTest::typingIntoAComputedBoxChangesNothing()
{
    WindowUnderTest w;
    const QString before = w.text(3)->text();
    const long calculations = w.calculations();
    w.text(3)->setFocus();
    QTest::keyClicks(w.text(3), QStringLiteral("123"));
    QTest::keyClick(w.text(3), Qt::Key_Backspace);
    QCOMPARE(w.text(3)->text(), before);
    QCOMPARE(w.calculations(), calculations);
    QTest::keyClicks(w.text(14), QStringLiteral("9"));
    QCOMPARE(w.calculations(), calculations);
}

void FormAmbientTest::refusalIsExplainedInToolTipAndStatusBar_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("above maximum") << 4 << QStringLiteral("120")
                                   << QStringLiteral("Relative Humidity 120 % is above its maximum of 100 %");
    QTest::newRow("comma") << 4 << QStringLiteral("50,5")
                           << QStringLiteral(
                                  "Relative Humidity '50,5' is not a number (the decimal point is '.')");
    QTest::newRow("temperature") << 1 << QStringLiteral("-150")
                                 << QStringLiteral(
                                        "Ambient Temperature -150 C is below its minimum of -100 C");
}

void FormAmbientTest::refusalIsExplainedInToolTipAndStatusBar()
{
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, sentence);
    WindowUnderTest w;
    QLineEdit* edit = w.text(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->toolTip(), sentence);
    QCOMPARE(w.window->statusBar()->currentMessage(), sentence);
    for (int other = 1; other <= 16; ++other) {
        if (other != box)
            QVERIFY2(w.text(other)->toolTip().isEmpty(), qPrintable(w.text(other)->objectName()));
    }
    // The red box and the listing stay as they were.
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(DifferenceFromModel(w, w.model()), QString());

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("20"));
    QVERIFY(edit->toolTip().isEmpty());
    QVERIFY(w.window->statusBar()->currentMessage().isEmpty());
}

void FormAmbientTest::correctingARefusalLeavesOtherMessages()
{
    WindowUnderTest w;
    w.text(4)->setFocus();
    w.text(4)->selectAll();
    QTest::keyClicks(w.text(4), QStringLiteral("120"));
    w.window->statusBar()->showMessage(QStringLiteral("Saved \"coil.humidora\"."));
    QTest::keyClick(w.text(4), Qt::Key_Backspace);
    QCOMPARE(w.window->statusBar()->currentMessage(), QStringLiteral("Saved \"coil.humidora\"."));
}

void FormAmbientTest::altitudeInputWritesPressureWithoutSecondRun()
{
    WindowUnderTest w;
    QTest::mouseClick(w.option(9), Qt::LeftButton);
    QVERIFY(w.text(2)->isReadOnly());
    const long before = w.calculations();
    w.text(10)->selectAll();
    QTest::keyClicks(w.text(10), QStringLiteral("1000"));
    QCOMPARE(w.calculations(), before + 4);
    QVERIFY(w.text(2)->text() != QStringLiteral("101.325"));
    QVERIFY(w.text(2)->text().startsWith(QStringLiteral("89.")));

    AmbientWindow reference;
    reference.Open();
    reference.ClickOption(9);
    for (const char* text : { "1", "10", "100", "1000" })
        reference.EditText(10, text);
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
}

void FormAmbientTest::unitChoiceSwitchesToCustomized()
{
    WindowUnderTest w;
    const long before = w.calculations();
    ChooseItem(w.combo(1), 2);
    QCOMPARE(w.combo(1)->currentText(), QStringLiteral("F"));
    QVERIFY(w.action("menu_customized")->isChecked());
    QVERIFY(!w.action("menu_metric")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (Customized)"));
    QCOMPARE(w.calculations(), before + 1);
    QCOMPARE(w.text(1)->text(), QStringLiteral("25"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label5"))->text(), QStringLiteral("-148"));

    AmbientWindow reference;
    reference.Open();
    reference.SelectUnit(1, 2);
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());

    // Setting the list back by hand does not leave Customized.
    ChooseItem(w.combo(1), 0);
    QVERIFY(w.action("menu_customized")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (Customized)"));
}

void FormAmbientTest::choosingTheReferenceItemKeepsTheSystem()
{
    WindowUnderTest w;
    const long before = w.calculations();
    ChooseItem(w.combo(2), 1);
    QCOMPARE(w.calculations(), before + 1);
    QVERIFY(w.action("menu_metric")->isChecked());
    QVERIFY(!w.action("menu_customized")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (Metric)"));
}

void FormAmbientTest::percentListsDoNothing_data()
{
    QTest::addColumn<int>("list");
    QTest::newRow("relative humidity") << 5;
    QTest::newRow("mole fraction") << 8;
    QTest::newRow("mass fraction") << 9;
}

void FormAmbientTest::percentListsDoNothing()
{
    QFETCH(int, list);
    WindowUnderTest w;
    const long before = w.calculations();
    ChooseItem(w.combo(list), 0);
    QCOMPARE(w.calculations(), before);
    QVERIFY(w.action("menu_metric")->isChecked());
}

void FormAmbientTest::britishAndBackToMetricRestoresTheStart()
{
    WindowUnderTest w;
    QStringList start;
    for (int i = 1; i <= 16; ++i)
        start << w.text(i)->text();

    w.action("menu_british")->trigger();
    QVERIFY(w.action("menu_british")->isChecked());
    QVERIFY(!w.action("menu_metric")->isChecked());
    QVERIFY(!w.action("menu_customized")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (British)"));
    QCOMPARE(w.combo(1)->currentText(), QStringLiteral("F"));
    QCOMPARE(w.combo(2)->currentText(), QStringLiteral("PSI"));
    QCOMPARE(w.combo(10)->currentText(), QStringLiteral("ft"));
    QCOMPARE(w.combo(12)->currentText(), QStringLiteral("btu/lb-R"));
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.combo(i)->currentIndex(), humidora::kBritishSelection[static_cast<std::size_t>(i - 1)]);
    QCOMPARE(w.text(2)->text(), QStringLiteral("14.6957"));
    QCOMPARE(w.text(1)->text(), QStringLiteral("25"));
    QVERIFY(w.text(3)->text() != start[2]); // 25 F is far drier air than 25 C

    AmbientWindow reference;
    reference.Open();
    reference.ChooseBritish();
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());

    w.action("menu_metric")->trigger();
    QVERIFY(w.action("menu_metric")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (Metric)"));
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.text(i)->text(), start[i - 1]);

    // Metric again, although already checked, runs in full: the pressure text is reset too.
    w.text(2)->selectAll();
    QTest::keyClicks(w.text(2), QStringLiteral("95"));
    const long before = w.calculations();
    w.action("menu_metric")->trigger();
    QVERIFY(w.action("menu_metric")->isChecked());
    QCOMPARE(w.text(2)->text(), QStringLiteral("101.325"));
    QVERIFY(w.calculations() > before);
}

void FormAmbientTest::britishAfterCustomizedRestoresPsi()
{
    WindowUnderTest w;
    w.action("menu_british")->trigger();
    ChooseItem(w.combo(2), 2);
    QCOMPARE(w.combo(2)->currentText(), QStringLiteral("Bar"));
    QVERIFY(w.action("menu_customized")->isChecked());
    QVERIFY(!w.action("menu_british")->isChecked());
    QCOMPARE(w.find<QLabel>(QStringLiteral("Label27"))->text(), QStringLiteral("Unit (Customized)"));

    w.action("menu_british")->trigger();
    QCOMPARE(w.combo(2)->currentText(), QStringLiteral("PSI"));
    QCOMPARE(w.text(2)->text(), QStringLiteral("14.6957"));
    QVERIFY(w.action("menu_british")->isChecked());
    QVERIFY(!w.action("menu_customized")->isChecked());
}

void FormAmbientTest::metricWithAltitudeGivenShowsTheDerivedPressure()
{
    WindowUnderTest w;
    QTest::mouseClick(w.option(9), Qt::LeftButton);
    w.text(10)->selectAll();
    QTest::keyClicks(w.text(10), QStringLiteral("2000"));
    const QString derived = w.text(2)->text();
    w.action("menu_metric")->trigger();
    QCOMPARE(w.text(2)->text(), derived);
    QVERIFY(w.text(2)->text() != QStringLiteral("101.325"));
    QCOMPARE(w.text(10)->text(), QStringLiteral("2000"));
}

void FormAmbientTest::formulationMovesTheCheckMark()
{
    WindowUnderTest w;
    auto* listing = w.find<QListWidget>(QStringLiteral("List1"));
    const QString iapws_dew_point = w.text(5)->text();
    long before = w.calculations();

    w.action("menu_HW")->trigger();
    QVERIFY(w.action("menu_HW")->isChecked());
    QVERIFY(!w.action("menu_IAPWS")->isChecked());
    QCOMPARE(listing->item(0)->text(), QStringLiteral("Sat. Formulation:  Hyland-Wexler"));
    QCOMPARE(w.calculations(), before + 1);
    QStringList texts;
    for (int i = 1; i <= 16; ++i)
        texts << w.text(i)->text();

    // Chosen again: still checked (a checkable entry must not toggle itself off), recalculated, same values.
    before = w.calculations();
    w.action("menu_HW")->trigger();
    QVERIFY(w.action("menu_HW")->isChecked());
    QVERIFY(!w.action("menu_IAPWS")->isChecked());
    QCOMPARE(w.calculations(), before + 1);
    for (int i = 1; i <= 16; ++i)
        QCOMPARE(w.text(i)->text(), texts[i - 1]);

    w.action("menu_IAPWS")->trigger();
    QVERIFY(w.action("menu_IAPWS")->isChecked());
    QVERIFY(!w.action("menu_HW")->isChecked());
    QCOMPARE(w.text(5)->text(), iapws_dew_point);
    w.action("menu_IAPWS")->trigger();
    QVERIFY(w.action("menu_IAPWS")->isChecked());

    AmbientWindow reference;
    reference.Open();
    reference.ChooseHylandWexler();
    reference.ChooseHylandWexler();
    reference.ChooseIapws();
    reference.ChooseIapws();
    QCOMPARE(DifferenceFromModel(w, reference.controls()), QString());
}

void FormAmbientTest::customizedCannotBeChosen()
{
    WindowUnderTest w;
    QAction* customized = w.action("menu_customized");
    QVERIFY(!customized->isEnabled());
    const long before = w.calculations();
    customized->trigger();
    QVERIFY(!customized->isChecked());
    QVERIFY(w.action("menu_metric")->isChecked());
    QCOMPARE(w.calculations(), before);
}

// ---- Layout ------------------------------------------------------------------------------------------

void FormAmbientTest::captionsAreNotClipped_data()
{
    QTest::addColumn<QSize>("client");
    QTest::newRow("default 518 x 660") << QSize(518, 660);
    QTest::newRow("wide 900 x 800") << QSize(900, 800);
}

void FormAmbientTest::captionsAreNotClipped()
{
    QFETCH(QSize, client);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->resize(w.window->size() + client - w.window->centralWidget()->size());
    QTRY_COMPARE(w.window->centralWidget()->size(), client);

    for (QLabel* label : w.window->centralWidget()->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(label->contentsRect().width() >= needed, qPrintable(label->objectName()));
        QVERIFY2(label->height() >= label->fontMetrics().height(), qPrintable(label->objectName()));
    }
    for (QAbstractButton* button : w.window->centralWidget()->findChildren<QAbstractButton*>())
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->objectName()));
    for (QGroupBox* frame : w.window->centralWidget()->findChildren<QGroupBox*>())
        QVERIFY2(frame->width() >= frame->fontMetrics().horizontalAdvance(frame->title()) + 10,
            qPrintable(frame->objectName()));
    // Every control lies inside the client area.
    const QRect client_rect = w.window->centralWidget()->rect();
    for (QWidget* child : w.window->centralWidget()->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->isWindow())
            continue;
        const QRect in_client(child->mapTo(w.window->centralWidget(), QPoint(0, 0)), child->size());
        QVERIFY2(client_rect.contains(in_client), qPrintable(child->objectName()));
    }
    // A unit text cut short in a narrow list is offered in full as the list's tooltip; once the window is
    // wide enough the longest unit texts show in full.
    QComboBox* list = w.combo(6);
    if (client.width() >= 900) {
        QVERIFY(list->width() > list->fontMetrics().horizontalAdvance(list->currentText()) + 20);
        list->repaint();
        QVERIFY(list->toolTip().isEmpty());
    } else {
        list->repaint();
        QCOMPARE(list->toolTip(), QStringLiteral("(kg moisture)/(kg dry air)"));
        w.combo(1)->repaint();
        QVERIFY(w.combo(1)->toolTip().isEmpty());
    }
}

void FormAmbientTest::openUnitListShowsEveryItemInFull()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    for (int number : { 6, 7, 15, 16 }) {
        QComboBox* list = w.combo(number);
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->view()->fontMetrics().horizontalAdvance(list->itemText(i)));
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        QVERIFY2(list->view()->viewport()->width() >= widest, qPrintable(list->objectName()));
        list->hidePopup();
    }
}

QTEST_MAIN(FormAmbientTest)
#include "form_ambient_test.moc"
