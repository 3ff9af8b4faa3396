// The saturation window driven through its widgets, found by name, as a user would: keyboard selections
// in the lists and typing in the input box.
#include "ui/form_saturation.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace {

constexpr int kTwipsPerPixel = 15;

template <typename Widget> Widget* Find(QWidget* window, const char* name)
{
    return window->findChild<Widget*>(name);
}

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

// Replaces the whole input by typing.
void Type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

} // namespace

class FormSaturationTest : public QObject
{
    Q_OBJECT

private:
    QPointer<Form_saturation> window;
    QComboBox* combo(const char* name) { return Find<QComboBox>(window, name); }
    QLineEdit* box(const char* name) { return Find<QLineEdit>(window, name); }
    QLabel* label(const char* name) { return Find<QLabel>(window, name); }

private slots:
    void init()
    {
        window = new Form_saturation;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { delete window; }

    void everyControlNameResolvesToItsKind()
    {
        const std::pair<const char*, const char*> controls[] = {
            { "Label1", "QLabel" },
            { "Label2", "QLabel" },
            { "Label3", "QLabel" },
            { "Label4", "QLabel" },
            { "Label5", "QLabel" },
            { "Label6", "QLabel" },
            { "Label7", "QLabel" },
            { "Combo1", "QComboBox" },
            { "Combo2", "QComboBox" },
            { "Combo3", "QComboBox" },
            { "Text1", "QLineEdit" },
            { "Text2", "QLineEdit" },
            { "Text3", "QLineEdit" },
        };
        for (const auto& [name, kind] : controls) {
            const QList<QWidget*> found = window->findChildren<QWidget*>(name);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first()->metaObject()->className(), kind);
        }
        for (const char* name : { "Combo1", "Combo2", "Combo3" })
            QVERIFY(!combo(name)->isEditable());
        QVERIFY(!box("Text1")->isReadOnly());
        QVERIFY(box("Text2")->isReadOnly());
        QVERIFY(box("Text3")->isReadOnly());
    }

    void windowIsATopLevelToolWindowThatDeletesItselfOnClose()
    {
        QCOMPARE(window->objectName(), QString("Form_saturation"));
        QCOMPARE(window->windowTitle(), QString("Saturation Condition of Water"));
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QWidget owner;
        QPointer<Form_saturation> owned = new Form_saturation(&owner);
        QVERIFY(owned->isWindow());
        owned->show();
        owned->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(owned.isNull());
    }

    void captionsAndListsAreThoseOfTheWindow()
    {
        QCOMPARE(label("Label1")->text(), QString("  Input"));
        QCOMPARE(label("Label2")->text(), QString("  Unit"));
        QCOMPARE(label("Label3")->text(), QString("  Output"));
        QCOMPARE(label("Label5")->text(), QString("  Unit"));
        QCOMPARE(label("Label6")->text(), QString("  IAPWS"));
        QCOMPARE(label("Label7")->text(), QString("  Hyland- Wexler"));
        const auto items = [](QComboBox* list) {
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            return texts;
        };
        QCOMPARE(items(combo("Combo1")), QStringList({ "Temperature", "Pressure" }));
        QCOMPARE(items(combo("Combo2")), QStringList({ "C", "K", "F", "R" }));
        QCOMPARE(items(combo("Combo3")),
            QStringList({ "Pa", "kPa", "Bar", "mBar", "mm H2O", "mm Hg", "Atmosphere", "PSI", "in Hg" }));
    }

    void openingShowsTheSaturationPressureAt100CInKpa()
    {
        QCOMPARE(combo("Combo1")->currentText(), QString("Temperature"));
        QCOMPARE(combo("Combo2")->currentText(), QString("C"));
        QCOMPARE(combo("Combo3")->currentText(), QString("kPa"));
        QCOMPARE(box("Text1")->text(), QString("100"));
        QCOMPARE(box("Text2")->text(), QString("101.41797792131"));
        QCOMPARE(box("Text3")->text(), QString("101.41871682799"));
        QCOMPARE(label("Label4")->text(), QString("Pressure"));
        QVERIFY(label("Label1")->autoFillBackground());
        QCOMPARE(label("Label1")->palette().color(QPalette::Window), QColor(165, 162, 135));
    }

    void controlsStandInTheirRowsAndColumns()
    {
        // Rows at 120, 480, 960, 1560, 2040, 2520, 3000 twips; captions at 120, entries at 1680 twips.
        const std::pair<const char*, int> tops[] = {
            { "Label1", 120 },
            { "Combo1", 120 },
            { "Label2", 480 },
            { "Combo2", 480 },
            { "Text1", 960 },
            { "Label3", 1560 },
            { "Label4", 1560 },
            { "Label5", 2040 },
            { "Combo3", 2040 },
            { "Label6", 2520 },
            { "Text2", 2520 },
            { "Label7", 3000 },
            { "Text3", 3000 },
        };
        for (const auto& [name, top] : tops) {
            QWidget* control = Find<QWidget>(window, name);
            QCOMPARE(control->y(), top / kTwipsPerPixel);
            const bool caption = QByteArray(name).startsWith("Label") && QByteArray(name) != "Label4";
            QCOMPARE(control->x(), (caption ? 120 : 1680) / kTwipsPerPixel);
            QCOMPARE(control->width(), (caption ? 1575 : 2415) / kTwipsPerPixel);
        }
    }

    void typingANumberRecalculates()
    {
        QVERIFY(Choose(combo("Combo3"), "Pa"));
        Type(box("Text1"), "0.01");
        QCOMPARE(box("Text2")->text(), QString("611.657"));
        QCOMPARE(box("Text3")->text(), QString("611.65702793"));
        QCOMPARE(box("Text1")->text(), QString("0.01"));
    }

    void limitsOfTheTemperatureInput_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("iapws");
        QTest::newRow("minus 100 C is accepted") << "C"
                                                 << "-100"
                                                 << ".00000140485";
        QTest::newRow("173.149 K is out of range") << "K"
                                                   << "173.149"
                                                   << "Out of Range";
        QTest::newRow("200 C is accepted") << "C"
                                           << "200"
                                           << "1554.67186826983";
        QTest::newRow("200.01 C is out of range") << "C"
                                                  << "200.01"
                                                  << "Out of Range";
    }
    void limitsOfTheTemperatureInput()
    {
        QFETCH(QString, unit);
        QFETCH(QString, input);
        QFETCH(QString, iapws);
        QVERIFY(Choose(combo("Combo2"), unit));
        Type(box("Text1"), input);
        QCOMPARE(box("Text2")->text(), iapws);
        if (iapws == "Out of Range")
            QCOMPARE(box("Text3")->text(), QString("Out of Range"));
        else
            QVERIFY(box("Text3")->text() != "Out of Range");
    }

    void limitsOfThePressureInput_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0.0015 Pa is accepted") << "Pa"
                                               << "0.0015" << true;
        QTest::newRow("0.0014 Pa is out of range") << "Pa"
                                                   << "0.0014" << false;
        QTest::newRow("1555 kPa is accepted") << "kPa"
                                              << "1555" << true;
        QTest::newRow("1555.001 kPa is out of range") << "kPa"
                                                      << "1555.001" << false;
    }
    void limitsOfThePressureInput()
    {
        QFETCH(QString, unit);
        QFETCH(QString, input);
        QFETCH(bool, accepted);
        QVERIFY(Choose(combo("Combo1"), "Pressure"));
        QVERIFY(Choose(combo("Combo3"), unit));
        Type(box("Text1"), input);
        QCOMPARE(box("Text2")->text() == "Out of Range", !accepted);
        QCOMPARE(box("Text3")->text() == "Out of Range", !accepted);
    }

    void textWithoutANumberShowsErrorUntilAUnitIsChosen()
    {
        Type(box("Text1"), "abc");
        QCOMPARE(box("Text2")->text(), QString("Error"));
        QCOMPARE(box("Text3")->text(), QString("Error"));
        // Choosing "K" recalculates without the test: "abc" reads 0 K, out of range.
        QVERIFY(Choose(combo("Combo2"), "K"));
        QCOMPARE(box("Text2")->text(), QString("Out of Range"));
        // Back to "C": 0 C, the IAPWS value over ice.
        QVERIFY(Choose(combo("Combo2"), "C"));
        QCOMPARE(box("Text2")->text(), QString(".61115347506"));
        QCOMPARE(box("Text1")->text(), QString("abc"));
    }

    void switchingToPressureMovesTheUnitListsAndRereadsTheInput()
    {
        QVERIFY(Choose(combo("Combo1"), "Pressure"));
        QCOMPARE(label("Label4")->text(), QString("Temperature"));
        QCOMPARE(combo("Combo3")->y(), 480 / kTwipsPerPixel);
        QCOMPARE(combo("Combo2")->y(), 2040 / kTwipsPerPixel);
        QCOMPARE(box("Text2")->text(), QString("99.60591861"));
        QCOMPARE(box("Text3")->text(), QString("99.60576314"));
        QVERIFY(Choose(combo("Combo1"), "Temperature"));
        QCOMPARE(label("Label4")->text(), QString("Pressure"));
        QCOMPARE(combo("Combo2")->y(), 480 / kTwipsPerPixel);
        QCOMPARE(combo("Combo3")->y(), 2040 / kTwipsPerPixel);
        QCOMPARE(box("Text2")->text(), QString("101.41797792131"));
    }

    void resultsFollowTheOutputUnit()
    {
        QVERIFY(Choose(combo("Combo3"), "Bar"));
        Type(box("Text1"), "-100");
        QCOMPARE(box("Text2")->text(), QString(".0000000140485"));
    }
};

QTEST_MAIN(FormSaturationTest)
#include "form_saturation_test.moc"
