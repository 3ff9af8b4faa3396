// The unit converter driven through its widgets, found by name, as a user would: keyboard selections in
// the lists and typing in the input box.
#include "ui/form_unit_convertor.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace {

constexpr int kTwipsPerPixel = 15;

// Moves a closed list to an item with the arrow keys, as a user would; each step is a user selection.
bool Choose(QComboBox* combo, const QString& item)
{
    const int target = combo->findText(item);
    if (target < 0)
        return false;
    for (int step = 0; step < 20 && combo->currentIndex() != target; ++step)
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    return combo->currentIndex() == target;
}

} // namespace

class FormUnitConvertorTest : public QObject
{
    Q_OBJECT

private:
    QPointer<Form_unit_convertor> window;
    QComboBox* combo(const QString& name) { return window->findChild<QComboBox*>(name); }
    QLineEdit* box(const char* name) { return window->findChild<QLineEdit*>(name); }
    QLabel* label(const char* name) { return window->findChild<QLabel*>(name); }

    // Types a whole new input: select all, then the characters one by one.
    void type(const QString& text)
    {
        box("Text1")->setFocus();
        box("Text1")->selectAll();
        QTest::keyClicks(box("Text1"), text);
    }

    // The visible pair of unit lists, as indices of their quantity; -1 when not exactly one is visible.
    int visiblePair(const char* family)
    {
        int visible = -1;
        for (int q = 0; q < 7; ++q) {
            if (combo(QString("%1_%2").arg(family).arg(q))->isVisibleTo(window)) {
                if (visible >= 0)
                    return -1;
                visible = q;
            }
        }
        return visible;
    }

private slots:
    void init()
    {
        window = new Form_unit_convertor;
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup() { delete window; }

    void everyControlNameResolvesToItsKind()
    {
        QList<std::pair<QString, const char*>> controls = {
            { "Label1", "QLabel" },
            { "Label2", "QLabel" },
            { "Label3", "QLabel" },
            { "Combo1", "QComboBox" },
            { "Text1", "QLineEdit" },
            { "Text2", "QLineEdit" },
        };
        for (int q = 0; q < 7; ++q) {
            controls.append({ QString("Combo2_%1").arg(q), "QComboBox" });
            controls.append({ QString("Combo3_%1").arg(q), "QComboBox" });
        }
        for (const auto& [name, kind] : controls) {
            const QList<QWidget*> found = window->findChildren<QWidget*>(name);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first()->metaObject()->className(), kind);
            if (const auto* list = qobject_cast<QComboBox*>(found.first()))
                QVERIFY(!list->isEditable());
        }
        QVERIFY(!box("Text1")->isReadOnly());
        QVERIFY(box("Text2")->isReadOnly());
    }

    void windowHasItsTitleSizeColoursAndFont()
    {
        QCOMPARE(window->objectName(), QString("Form_unit_convertor"));
        QCOMPARE(window->windowTitle(), QString("Unit Convertor"));
        QCOMPARE(window->size(), QSize(175, 222));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(216, 219, 204));
        QCOMPARE(window->font().family(), QString("Times New Roman"));
        QVERIFY(window->font().bold());
        QCOMPARE(window->font().pointSize(), 9);
        QCOMPARE(box("Text2")->font(), window->font());

        QCOMPARE(label("Label1")->palette().color(QPalette::Window), QColor(255, 128, 128));
        QCOMPARE(label("Label2")->palette().color(QPalette::Window), QColor(129, 177, 162));
        QCOMPARE(label("Label3")->palette().color(QPalette::Window), QColor(129, 177, 162));
        QCOMPARE(combo("Combo1")->palette().color(QPalette::Button), QColor(250, 251, 219));
        QCOMPARE(box("Text2")->palette().color(QPalette::Base), QColor(255, 192, 128));
        for (const char* name : { "Label1", "Label2", "Label3" })
            QCOMPARE(label(name)->alignment(), Qt::AlignCenter);
        QCOMPARE(label("Label1")->text(), QString("Quantity"));
        QCOMPARE(label("Label2")->text(), QString("From"));
        QCOMPARE(label("Label3")->text(), QString("To"));
    }

    void controlsStandInOneColumn()
    {
        QList<std::pair<QString, int>> tops = {
            { "Label1", 120 },
            { "Combo1", 480 },
            { "Label2", 960 },
            { "Text1", 1320 },
            { "Label3", 2160 },
            { "Text2", 2520 },
        };
        for (int q = 0; q < 7; ++q) {
            tops.append({ QString("Combo2_%1").arg(q), 1680 });
            tops.append({ QString("Combo3_%1").arg(q), 2880 });
        }
        for (const auto& [name, top] : tops) {
            const QWidget* control = window->findChild<QWidget*>(name);
            QCOMPARE(control->geometry().topLeft(), QPoint(120, top) / kTwipsPerPixel);
            QCOMPARE(control->width(), 2415 / kTwipsPerPixel);
            QVERIFY(control->geometry().bottom() < 3330 / kTwipsPerPixel);
        }
    }

    void openingShowsCelsiusToCelsiusWithFocusOnTheQuantity()
    {
        QCOMPARE(combo("Combo1")->currentText(), QString("Temperature"));
        QCOMPARE(combo("Combo2_0")->currentText(), QString("C"));
        QCOMPARE(combo("Combo3_0")->currentText(), QString("C"));
        for (int q = 0; q < 7; ++q) {
            QCOMPARE(combo(QString("Combo2_%1").arg(q))->currentIndex(), 0);
            QCOMPARE(combo(QString("Combo3_%1").arg(q))->currentIndex(), 0);
        }
        QCOMPARE(visiblePair("Combo2"), 0);
        QCOMPARE(visiblePair("Combo3"), 0);
        QCOMPARE(box("Text1")->text(), QString("1"));
        QCOMPARE(box("Text2")->text(), QString("1"));
        QCOMPARE(QApplication::focusWidget(), combo("Combo1"));
    }

    void conversionsThroughTheWidgets_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        QTest::newRow("100 C to F") << "Temperature" << 0 << "C"
                                    << "F"
                                    << "100"
                                    << "212";
        QTest::newRow("1 F to F") << "Temperature" << 0 << "F"
                                  << "F"
                                  << "1"
                                  << "1";
        QTest::newRow("1 Atmosphere to PSI") << "Pressure" << 1 << "Atmosphere"
                                             << "PSI"
                                             << "1"
                                             << "14.6959494004";
        QTest::newRow("1 Pa to kPa") << "Pressure" << 1 << "Pa"
                                     << "kPa"
                                     << "1"
                                     << ".001";
        QTest::newRow("1 mile to ft") << "Length" << 2 << "mile"
                                      << "ft"
                                      << "1"
                                      << "5279.9868766404";
        QTest::newRow("1E20 m to m") << "Length" << 2 << "m"
                                     << "m"
                                     << "1E20"
                                     << "1E+20";
        QTest::newRow("0.42992 btu/lb to kJ/kg") << "Specific Enthalpy" << 6 << "btu/lb (dry air)"
                                                 << "kJ/kg (dry air)"
                                                 << "0.42992"
                                                 << "1";
    }
    void conversionsThroughTheWidgets()
    {
        QFETCH(QString, quantity);
        QFETCH(int, index);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, input);
        QFETCH(QString, result);
        QVERIFY(Choose(combo("Combo1"), quantity));
        QCOMPARE(visiblePair("Combo2"), index);
        QCOMPARE(visiblePair("Combo3"), index);
        QVERIFY(Choose(combo(QString("Combo2_%1").arg(index)), from));
        QVERIFY(Choose(combo(QString("Combo3_%1").arg(index)), to));
        type(input);
        QCOMPARE(box("Text1")->text(), input);
        QCOMPARE(box("Text2")->text(), result);
    }

    void emptyInputShowsErrorAndKeepsTheFocusInTheInput()
    {
        box("Text1")->setFocus();
        box("Text1")->selectAll();
        QTest::keyClick(box("Text1"), Qt::Key_Backspace);
        QCOMPARE(box("Text1")->text(), QString());
        QCOMPARE(box("Text2")->text(), QString("Error"));
        QCOMPARE(QApplication::focusWidget(), box("Text1"));
    }

    void lettersShowErrorWithTheFocusBackInTheInputAndItsTextSelected()
    {
        combo("Combo1")->setFocus();
        QVERIFY(QApplication::clipboard());
        QApplication::clipboard()->setText("abc");
        if (QApplication::clipboard()->text() != "abc")
            QSKIP("this platform has no clipboard");
        box("Text1")->selectAll();
        QTest::keyClick(box("Text1"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box("Text1")->text(), QString("abc"));
        QCOMPARE(box("Text2")->text(), QString("Error"));
        QCOMPARE(QApplication::focusWidget(), box("Text1"));
        QCOMPARE(box("Text1")->selectedText(), QString("abc"));
    }

    void eachKeystrokeThatIsNoNumberSelectsTheInput()
    {
        type("12");
        QCOMPARE(box("Text2")->text(), QString("12"));
        QTest::keyClick(box("Text1"), Qt::Key_X);
        QCOMPARE(box("Text1")->text(), QString("12x"));
        QCOMPARE(box("Text2")->text(), QString("Error"));
        QCOMPARE(box("Text1")->selectedText(), QString("12x"));
        // A number typed next replaces the selected text and converts again.
        QTest::keyClick(box("Text1"), Qt::Key_7);
        QCOMPARE(box("Text1")->text(), QString("7"));
        QCOMPARE(box("Text2")->text(), QString("7"));
    }

    void negativeAndExponentNumbersCanBeTypedKeyByKey()
    {
        type("-40");
        QCOMPARE(box("Text1")->text(), QString("-40"));
        QCOMPARE(box("Text2")->text(), QString("-40"));
        QVERIFY(Choose(combo("Combo1"), "Length"));
        type("1e-3");
        QCOMPARE(box("Text1")->text(), QString("1e-3"));
        QCOMPARE(box("Text2")->text(), QString(".001"));
        // In the middle of the exponent the box says "Error" but keeps the keystrokes unselected.
        QTest::keyClick(box("Text1"), Qt::Key_Backspace);
        QCOMPARE(box("Text2")->text(), QString("Error"));
        QCOMPARE(QApplication::focusWidget(), box("Text1"));
        QVERIFY(!box("Text1")->hasSelectedText());
    }

    void overflowingResultIsOutOfRange()
    {
        QVERIFY(Choose(combo("Combo1"), "Pressure"));
        QVERIFY(Choose(combo("Combo2_1"), "kPa"));
        QVERIFY(Choose(combo("Combo3_1"), "Pa"));
        type("1E308");
        QCOMPARE(box("Text2")->text(), QString("Out of Range"));
    }

    void switchingQuantitiesKeepsTheHiddenSelections()
    {
        QVERIFY(Choose(combo("Combo1"), "Pressure"));
        QVERIFY(Choose(combo("Combo2_1"), "kPa"));
        QVERIFY(Choose(combo("Combo3_1"), "mm Hg"));
        const QString pressure_result = box("Text2")->text();
        QVERIFY(Choose(combo("Combo1"), "Length"));
        QCOMPARE(visiblePair("Combo2"), 2);
        QVERIFY(!combo("Combo2_1")->isVisibleTo(window));
        QCOMPARE(combo("Combo2_1")->currentText(), QString("kPa"));
        QCOMPARE(box("Text2")->text(), QString("1"));
        QVERIFY(Choose(combo("Combo1"), "Pressure"));
        QCOMPARE(visiblePair("Combo3"), 1);
        QCOMPARE(combo("Combo2_1")->currentText(), QString("kPa"));
        QCOMPARE(combo("Combo3_1")->currentText(), QString("mm Hg"));
        QCOMPARE(box("Text2")->text(), pressure_result);
        QCOMPARE(pressure_result, QString("7.5006375542"));
    }

    void closingDeletesTheWindow()
    {
        QWidget owner;
        QPointer<Form_unit_convertor> owned = new Form_unit_convertor(&owner);
        QVERIFY(owned->isWindow());
        owned->show();
        owned->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(owned.isNull());
    }
};

QTEST_MAIN(FormUnitConvertorTest)
#include "form_unit_convertor_test.moc"
