// The user's guide keeps up with the program: it names every unit key that the main window offers, gives
// the conversion factor of every pressure and length unit as the program uses it, and quotes every
// caption, menu entry and report text a user meets.
#include "calc/units/ambient_controls.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"
#include "calc/windows/ambient_window.h"

#include <QFile>
#include <QSet>
#include <QtTest>

class UsersGuideTest : public QObject
{
    Q_OBJECT

private:
    QString guide_;
    QStringList lines_;

    static QString FactorText(double factor)
    {
        return QString::fromStdString(humidora::PlainNumberText(factor));
    }

private slots:
    void initTestCase()
    {
        QFile file(HUMIDORA_USERS_GUIDE);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), HUMIDORA_USERS_GUIDE);
        guide_ = QString::fromUtf8(file.readAll());
        lines_ = guide_.split('\n');
        QVERIFY(lines_.size() > 100);
    }

    void namesEveryUnitKey_data()
    {
        QTest::addColumn<QString>("key");
        const humidora::AmbientControls controls;
        QSet<QString> seen;
        for (const humidora::NamedList& list : humidora::kUnitLists) {
            for (const std::string& item : (controls.*list.list).items) {
                const QString key = QString::fromStdString(item);
                if (!seen.contains(key)) {
                    seen.insert(key);
                    QTest::newRow(
                        qPrintable(QString::fromUtf8(list.name.data(), list.name.size()) + " " + key))
                        << key;
                }
            }
        }
    }

    void namesEveryUnitKey()
    {
        QFETCH(QString, key);
        QVERIFY2(guide_.contains('`' + key + '`'), qPrintable("unit key not documented: " + key));
    }

    void givesEveryFactorAsTheProgramUsesIt_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("factor");
        for (const humidora::PressureUnit& unit : humidora::kPressureUnits) {
            const QString key = QString::fromUtf8(unit.key.data(), unit.key.size());
            QTest::newRow(qPrintable("pressure " + key)) << key << FactorText(unit.factor);
        }
        for (const humidora::UnitItem& unit : humidora::kAltitudeUnits) {
            const QString key = QString::fromUtf8(unit.key.data(), unit.key.size());
            QTest::newRow(qPrintable("length " + key)) << key << FactorText(unit.factor);
        }
    }

    void givesEveryFactorAsTheProgramUsesIt()
    {
        // Some table row names the unit and its factor (written with or without a zero before the point).
        QFETCH(QString, key);
        QFETCH(QString, factor);
        const QRegularExpression number("(^|[^0-9.])0?" + QRegularExpression::escape(factor) + "([^0-9]|$)");
        bool found = false;
        for (const QString& line : lines_) {
            if (line.startsWith('|') && line.contains("| `" + key + "` |") && line.contains(number))
                found = true;
        }
        QVERIFY2(found, qPrintable("no table row gives " + key + " as " + factor));
    }

    void quotesEveryCaptionAndReport_data()
    {
        QTest::addColumn<QString>("text");
        const char* const texts[] = {
            // Captions of the main window.
            "Ambient Temperature",
            "Barometric Pressure",
            "Altitude above Sea Level",
            "Relative Humidity",
            "Humidity Ratio",
            "Absolute Humidity",
            "Dew Point Temperature",
            "Wet Bulb Temperature",
            "Partial Pressure of Water in Air",
            "Water Mole Fraction in Air",
            "Water Mass Fraction in Air",
            "Specific Gas Const. (R)",
            "Molecular Weight",
            "Density",
            "Specific Volume",
            "Specific Enthalpy",
            "Unit (Metric)",
            "Unit (British)",
            "Unit (Customized)",
            "Minimum",
            "Maximum",
            // Menus and shortcuts.
            "Open",
            "Save",
            "Save As",
            "Report",
            "Exit",
            "Method of Calculating Saturation Condition",
            "IAPWS (International Association for the Properties of Water and Steam)",
            "Hyland-Wexler Formulation (Recommended by ASHRAE)",
            "System of Units",
            "Metric",
            "British",
            "Customized",
            "Unit Convertor",
            "Saturation Condition of Water",
            "Humidora 1.1 User's Guide",
            "Humidora 1.1 Brochure",
            "About Humidora 1.1",
            "Ctrl+O",
            "Ctrl+S",
            "Ctrl+A",
            "Ctrl+R",
            "Ctrl+X",
            "F1",
            // What the calculation writes besides numbers.
            "Error",
            "< min",
            "Out of Range",
            "Error!",
            "The quantity which has been indicated",
            "by red color is out of allowable range.",
            "The partial pressure of water vapor",
            "exceeds the ambient pressure.",
            "Sat. Formulation:  IAPWS",
            "Sat. Formulation:  Hyland-Wexler",
            "Air Composition",
            // The documents the Help menu opens.
            "Humidora_Users Guide.pdf",
            "Humidora_Brochure.pdf",
        };
        for (const char* text : texts)
            QTest::newRow(text) << QString(text);
    }

    void quotesEveryCaptionAndReport()
    {
        QFETCH(QString, text);
        QVERIFY2(guide_.contains(text), qPrintable("not in the guide: " + text));
    }

    void givesThePressureTextsOfBothUnitSystems()
    {
        // Choosing Metric or British rewrites the barometric pressure with these texts.
        for (const std::string_view text :
            { humidora::kMetricPressureText, humidora::kBritishPressureText }) {
            const QString quoted = '`' + QString::fromUtf8(text.data(), text.size()) + '`';
            QVERIFY2(guide_.contains(quoted), qPrintable("not in the guide: " + quoted));
        }
    }

    // The section that compares with published tables quotes the program's own results.
    void comparisonWithTablesQuotesTheProgram_data()
    {
        QTest::addColumn<humidora::AmbientInputs>("inputs");
        QTest::addColumn<int>("box");
        humidora::AmbientInputs enthalpy;
        enthalpy.system = humidora::UnitSystem::British;
        enthalpy.selections = humidora::kBritishSelection;
        enthalpy.pressure = std::string(humidora::kBritishPressureText);
        enthalpy.temperature = "95";
        enthalpy.humidity_option = 4;
        enthalpy.humidity = "75";
        QTest::newRow("enthalpy in btu/lb at 95 F, 75 F wet bulb") << enthalpy << 16;
        humidora::AmbientInputs wet_bulb;
        wet_bulb.temperature = "0";
        wet_bulb.humidity_option = 4;
        wet_bulb.humidity = "-3";
        QTest::newRow("relative humidity at 0 C, -3 C wet bulb") << wet_bulb << 4;
    }

    void comparisonWithTablesQuotesTheProgram()
    {
        QFETCH(humidora::AmbientInputs, inputs);
        QFETCH(int, box);
        humidora::AmbientWindow window;
        window.Open();
        window.RestoreInputs(inputs);
        const std::string& text
            = (window.controls().*humidora::kValueBoxes[static_cast<std::size_t>(box - 1)].box).text;
        const QString section = guide_.mid(guide_.indexOf(QStringLiteral("## 18 Comparing")));
        QVERIFY2(section.contains('`' + QString::fromStdString(text) + '`'), text.c_str());
    }
};

QTEST_GUILESS_MAIN(UsersGuideTest)
#include "users_guide_test.moc"
