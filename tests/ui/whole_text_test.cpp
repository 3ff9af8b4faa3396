// Every number the three windows show is shown whole: at the default size, in every unit, both systems
// and both formulations, for the states whose texts are the longest the boxes and labels receive. The
// suite runs it at scale factor 1 and 2 (QT_SCALE_FACTOR). Random states are checked by the soak test.
#include "calc/document/calculation_document.h"
#include "form_ambient_testing.h"
#include "ui/form_saturation.h"
#include "ui/form_unit_convertor.h"
#include "whole_text_checks.h"

#include <QTest>

using humidora::AmbientInputs;
using humidora::UnitSystem;
using testing_ui::ChooseItem;
using testing_ui::ClippedText;
using testing_ui::WindowUnderTest;

namespace {

/// Inputs in the Metric units (C, kPa, m) with the humidity given by option `option`.
AmbientInputs Metric(const char* temperature, const char* pressure, int option, const char* humidity,
    const char* altitude = nullptr)
{
    AmbientInputs inputs;
    inputs.temperature = temperature;
    inputs.pressure = pressure;
    inputs.altitude_given = altitude != nullptr;
    inputs.altitude = altitude != nullptr ? altitude : "";
    inputs.humidity_option = option;
    inputs.humidity = humidity;
    return inputs;
}

} // namespace

class WholeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void longestTextsOfTheMainWindowAreWhole_data();
    void longestTextsOfTheMainWindowAreWhole();
    void enthalpyAtAltitudeIsReadFromItsFirstDigit();
    void aTextThatFitsKeepsTheWindowsFont();
    void toolWindowResultsAreWhole_data();
    void toolWindowResultsAreWhole();
};

void WholeTextTest::longestTextsOfTheMainWindowAreWhole_data()
{
    QTest::addColumn<AmbientInputs>("inputs");
    // Where the boxes and labels receive their longest texts: a vapour pressure just below the ambient
    // pressure (humidity ratio, volume and enthalpy in the millions), the coldest and driest air (values
    // of many leading zeros), the widest pressure and altitude limits, and the states users meet daily.
    QTest::newRow("35 C, 80 %, 1609 m") << Metric("35", "", 2, "80", "1609");
    QTest::newRow("boiling at 101.42 kPa") << Metric("100", "101.42", 2, "100");
    QTest::newRow("saturated at 5.0009 kPa") << Metric("32.878", "5.0009", 2, "100");
    QTest::newRow("near saturation, wet bulb given") << Metric("99.99", "101.42", 4, "99.98");
    QTest::newRow("cold and dry") << Metric("-99.9", "1000", 2, ".0001");
    QTest::newRow("cold and saturated, 11 km") << Metric("-56.5", "", 3, "-56.5", "11000");
    QTest::newRow("hot and high pressure") << Metric("99.9", "1000", 10, "101.3");
    QTest::newRow("below sea level") << Metric("-17.777", "", 6, "0.0000001", "-5000");
    QTest::newRow("mass fraction at 40 C") << Metric("40", "7.5", 7, "66.6666");
    QTest::newRow("absolute humidity") << Metric("60", "25", 5, ".112345");
    QTest::newRow("refused humidity") << Metric("25", "101.325", 1, "-0.000001");
    QTest::newRow("vapour pressure report") << Metric("100", "50", 2, "50");
}

void WholeTextTest::longestTextsOfTheMainWindowAreWhole()
{
    QFETCH(AmbientInputs, inputs);
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    humidora::CalculationDocument& document = w.window->document();
    for (const bool iapws : { true, false }) {
        inputs.iapws = iapws;
        document.SetInputs(inputs, "Inputs");
        QVERIFY2(ClippedText(*w.window).isEmpty(), qPrintable(ClippedText(*w.window)));
        // Every item of every list in turn: the lists of the inputs too, which re-read the typed texts (and
        // may refuse them) but rewrite every limit label in the new unit.
        for (int item = 0; item < 8; ++item) {
            for (int list = 1; list <= 16; ++list) {
                const int count = static_cast<int>(
                    (w.model().*humidora::kUnitLists[static_cast<std::size_t>(list - 1)].list).items.size());
                if (count > 1)
                    document.SelectUnit(list, item % count);
            }
            QVERIFY2(ClippedText(*w.window).isEmpty(),
                qPrintable(QStringLiteral("item %1: ").arg(item) + ClippedText(*w.window)));
        }
        // The British system re-reads the same texts in F, PSI and ft.
        document.ChooseBritish();
        QVERIFY2(ClippedText(*w.window).isEmpty(), qPrintable(ClippedText(*w.window)));
    }
}

void WholeTextTest::enthalpyAtAltitudeIsReadFromItsFirstDigit()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->document().SetInputs(Metric("35", "", 2, "80", "1609"), "Inputs");
    w.window->refresh();
    QLineEdit* enthalpy = w.text(16);
    QCOMPARE(enthalpy->text(), QStringLiteral("126.19796"));
    QVERIFY(humidora::ui::TextNeed(*enthalpy, enthalpy->text(), enthalpy->font().pointSizeF())
        <= humidora::ui::TextRoom(*enthalpy));
    QCOMPARE(enthalpy->cursorPosition(), 0);
}

// Shrinking is the exception: the window's texts keep their sizes wherever they fit, and a text that does
// not fit gets the largest quarter-point size that fits, not less.
void WholeTextTest::aTextThatFitsKeepsTheWindowsFont()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const auto model_points = [&w](int box) {
        return (w.model().*humidora::kValueBoxes[static_cast<std::size_t>(box - 1)].box).font_size;
    };
    for (int box = 1; box <= 16; ++box)
        QCOMPARE(w.text(box)->font().pointSizeF(), model_points(box));
    w.window->document().SetInputs(Metric("100", "101.42", 2, "100"), "Inputs");
    w.window->refresh();
    QLineEdit* enthalpy = w.text(16);
    const double points = enthalpy->font().pointSizeF();
    QVERIFY2(points < model_points(16), qPrintable(enthalpy->text()));
    QVERIFY(humidora::ui::TextNeed(*enthalpy, enthalpy->text(), points + 0.25)
        > humidora::ui::TextRoom(*enthalpy));
    // Back at an everyday state, the box has its own size again.
    w.window->document().SetInputs(AmbientInputs {}, "Inputs");
    w.window->refresh();
    QCOMPARE(enthalpy->font().pointSizeF(), model_points(16));
}

void WholeTextTest::toolWindowResultsAreWhole_data()
{
    QTest::addColumn<QString>("typed");
    for (const char* typed : { "1e300", "-1.23456789012345e-300", "-123456789.123456", "99999999999999",
             "-273.15", "1555000", ".0015", "0.00000000012345" })
        QTest::newRow(typed) << QString::fromLatin1(typed);
}

void WholeTextTest::toolWindowResultsAreWhole()
{
    QFETCH(QString, typed);
    Form_unit_convertor convertor;
    convertor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&convertor));
    auto* quantity = convertor.findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* input = convertor.findChild<QLineEdit*>(QStringLiteral("Text1"));
    for (int q = 0; q < quantity->count(); ++q) {
        ChooseItem(quantity, q);
        input->selectAll();
        QTest::keyClicks(input, typed);
        for (QComboBox* to : convertor.findChildren<QComboBox*>()) {
            if (to == quantity || !to->isVisible())
                continue;
            for (int item = 0; item < to->count(); ++item) {
                ChooseItem(to, item);
                QVERIFY2(ClippedText(convertor).isEmpty(), qPrintable(ClippedText(convertor)));
            }
        }
    }

    Form_saturation saturation;
    saturation.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saturation));
    auto* value = saturation.findChild<QLineEdit*>(QStringLiteral("Text1"));
    const QList<QComboBox*> lists = saturation.findChildren<QComboBox*>();
    for (QComboBox* list : lists) {
        for (int item = 0; item < list->count(); ++item) {
            if (!list->isVisible())
                continue;
            ChooseItem(list, item);
            value->selectAll();
            QTest::keyClicks(value, typed);
            QVERIFY2(ClippedText(saturation).isEmpty(), qPrintable(ClippedText(saturation)));
        }
    }
}

QTEST_MAIN(WholeTextTest)
#include "whole_text_test.moc"
