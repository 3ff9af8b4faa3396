// humidora-cli state: the main window's texts for given inputs, exit statuses and usage errors.
#include "calc/windows/ambient_window.h"
#include "cli_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

CliRun RunState(const QStringList& arguments)
{
    return RunCli(QStringList { "state", "--json" } + arguments);
}

QString Text(const QJsonObject& json, const char* quantity)
{
    return json["quantities"][quantity]["text"].toString();
}

const QStringList kDefaultListing = {
    "Sat. Formulation:  IAPWS",
    "------------------------------------------------",
    "Air Composition",
    "------------------------------------------------",
    "Species              %Vol.              %Wgt.",
    "------------------------------------------------",
    "N2                    76.8627             74.7793",
    "O2                    20.6199             22.9150",
    "Ar                       0.9219               1.2790",
    "CO2                   0.0314               0.0480",
    "H2O                   1.5641               0.9787",
};

QStringList Lines(const QJsonValue& listing)
{
    QStringList lines;
    for (const QJsonValue& line : listing.toArray())
        lines << line.toString();
    return lines;
}

TEST(StateCommand, DefaultsAreTheStartUpState)
{
    const CliRun run = RunState({});
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json.size(), 5);
    EXPECT_TRUE(json["ok"].toBool());
    EXPECT_EQ(json["method"].toString(), "iapws");
    EXPECT_EQ(json["listing_background"].toString(), "#ffc080");
    EXPECT_EQ(Lines(json["listing"]), kDefaultListing);
    const QJsonObject quantities = json["quantities"].toObject();
    EXPECT_EQ(quantities.size(), 16);
    const std::pair<const char*, const char*> texts[]
        = { { "temperature", "25" }, { "pressure", "101.325" }, { "altitude", "0" },
              { "relative_humidity", "50" }, { "humidity_ratio", ".0098833" }, { "dew_point", "13.864" },
              { "wet_bulb", "17.888" }, { "absolute_humidity", ".011518" }, { "mole_fraction", "1.5641" },
              { "mass_fraction", "0.9787" }, { "partial_pressure", "1.585" }, { "gas_constant", ".288763" } };
    for (const auto& [quantity, text] : texts)
        EXPECT_EQ(Text(json, quantity), text) << quantity;
    for (const QuantityControls& quantity : kQuantities) {
        const QJsonObject entry
            = quantities[QString::fromUtf8(quantity.key.data(), quantity.key.size())].toObject();
        const bool input = quantity.key == "temperature" || quantity.key == "pressure"
            || quantity.key == "relative_humidity";
        EXPECT_EQ(entry["role"].toString(), input ? "input" : "computed") << quantity.key;
        EXPECT_EQ(entry.contains("min"), quantity.minimum != nullptr) << quantity.key;
        EXPECT_EQ(entry.contains("max"), quantity.maximum != nullptr) << quantity.key;
    }
    EXPECT_EQ(quantities["temperature"]["unit"].toString(), "C");
    EXPECT_EQ(quantities["temperature"]["min"].toString(), "-100");
    EXPECT_EQ(quantities["humidity_ratio"]["max"].toString(), ".0200857");
    EXPECT_EQ(quantities["humidity_ratio"]["unit"].toString(), "(kg moisture)/(kg dry air)");
}

TEST(StateCommand, HylandWexler)
{
    const CliRun run = RunState({ "--method", "hyland-wexler" });
    ASSERT_EQ(run.exit_code, 0);
    const QJsonObject json = run.json();
    EXPECT_EQ(json["method"].toString(), "hyland-wexler");
    EXPECT_EQ(Text(json, "humidity_ratio"), ".0098816");
    EXPECT_EQ(Text(json, "wet_bulb"), "17.889");
    EXPECT_EQ(Text(json, "absolute_humidity"), ".011516");
    EXPECT_EQ(Text(json, "mole_fraction"), "1.5639");
    EXPECT_EQ(Text(json, "mass_fraction"), "0.9785");
    EXPECT_EQ(json["listing"][0].toString(), "Sat. Formulation:  Hyland-Wexler");
}

TEST(StateCommand, DryAirAtTwentyCelsius)
{
    const CliRun run = RunState(
        { "--temperature", "20", "--pressure", "101325", "--pressure-unit", "Pa", "--relative-humidity", "0",
            "--specific-volume-unit", "ft^3/lb (dry air)", "--gas-constant-unit", "J/kg-K" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(Text(json, "dew_point"), "< min");
    EXPECT_EQ(Text(json, "specific_volume"), "13.30538");
    EXPECT_EQ(Text(json, "density"), "1.2039");
    EXPECT_EQ(Text(json, "enthalpy"), "20.11999");
    EXPECT_EQ(Text(json, "gas_constant"), "287.055");
    EXPECT_EQ(Text(json, "molecular_weight"), "28.9645");
    EXPECT_EQ(json["listing"][6].toString(), "N2                    78.0840             75.5184");
}

TEST(StateCommand, BritishSystem)
{
    const CliRun run = RunState({ "--system", "british" });
    ASSERT_EQ(run.exit_code, 0);
    const QJsonObject q = run.json()["quantities"].toObject();
    EXPECT_EQ(q["temperature"]["unit"].toString(), "F");
    EXPECT_EQ(q["temperature"]["max"].toString(), "212");
    EXPECT_EQ(q["pressure"]["unit"].toString(), "PSI");
    EXPECT_EQ(q["pressure"]["text"].toString(), "14.6957");
    EXPECT_EQ(q["altitude"]["unit"].toString(), "ft");
    EXPECT_EQ(q["gas_constant"]["unit"].toString(), "btu/lb-R");
    EXPECT_EQ(q["humidity_ratio"]["text"].toString(), ".0013583");
}

TEST(StateCommand, AltitudeGivenInsteadOfPressure)
{
    const CliRun run = RunState({ "--altitude", "0" });
    ASSERT_EQ(run.exit_code, 0);
    const QJsonObject q = run.json()["quantities"].toObject();
    EXPECT_EQ(q["altitude"]["role"].toString(), "input");
    EXPECT_EQ(q["pressure"]["role"].toString(), "computed");
    EXPECT_EQ(q["pressure"]["text"].toString(), "101.325");
}

TEST(StateCommand, PressureAboveTheAltitudeRangeStillSucceeds)
{
    const CliRun run = RunState({ "--pressure", "5000", "--pressure-unit", "Pa" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(Text(run.json(), "altitude"), "Out of Range");
    EXPECT_TRUE(run.json()["ok"].toBool());
}

TEST(StateCommand, RefusedInputEndsInTheReport)
{
    const CliRun run = RunState({ "--humidity-ratio", "12abc" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject json = run.json();
    EXPECT_FALSE(json["ok"].toBool());
    EXPECT_EQ(json["quantities"]["humidity_ratio"]["role"].toString(), "refused");
    EXPECT_EQ(Text(json, "humidity_ratio"), "12abc");
    EXPECT_EQ(Text(json, "relative_humidity"), "Error");
    EXPECT_EQ(Text(json, "density"), "Error");
    EXPECT_EQ(Lines(json["listing"]),
        QStringList({ "Error!", "The quantity which has been indicated",
            "by red color is out of allowable range." }));
    EXPECT_EQ(json["listing_background"].toString(), "#ff0000");
    EXPECT_FALSE(run.err.isEmpty());
}

// A refusal says what to correct: the window's sentence on stderr and its parts as the JSON "refusal".
struct RefusalCase
{
    const char* name;
    QStringList arguments;
    const char* sentence;
    QJsonObject refusal;
};

class StateRefusal : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(StateRefusal, SaysWhatIsWrongOnStderrAndInTheJson)
{
    const RefusalCase& c = GetParam();
    const CliRun run = RunState(c.arguments);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, QStringLiteral("humidora-cli state: %1\n").arg(QLatin1String(c.sentence)));
    QJsonObject expected = c.refusal;
    expected["message"] = QLatin1String(c.sentence);
    EXPECT_EQ(run.json()["refusal"].toObject(), expected)
        << QJsonDocument(run.json()["refusal"].toObject()).toJson().toStdString();
    EXPECT_FALSE(run.json()["ok"].toBool());
}

INSTANTIATE_TEST_SUITE_P(Cases, StateRefusal,
    ::testing::Values(
        RefusalCase { "Comma", { "--relative-humidity", "50,5" },
            "Relative Humidity '50,5' is not a number (the decimal point is '.')",
            { { "quantity", "relative_humidity" }, { "text", "50,5" }, { "reason", "not_a_number" },
                { "minimum", "0" }, { "maximum", "100" }, { "unit", "%" } } },
        RefusalCase { "AboveMaximum", { "--relative-humidity", "120" },
            "Relative Humidity 120 % is above its maximum of 100 %",
            { { "quantity", "relative_humidity" }, { "text", "120" }, { "reason", "above_maximum" },
                { "minimum", "0" }, { "maximum", "100" }, { "unit", "%" } } },
        RefusalCase { "BritishTemperature", { "--system", "british", "--temperature", "-200" },
            "Ambient Temperature -200 F is below its minimum of -148 F",
            { { "quantity", "temperature" }, { "text", "-200" }, { "reason", "below_minimum" },
                { "minimum", "-148" }, { "maximum", "212" }, { "unit", "F" } } },
        RefusalCase { "Saturation", { "--temperature", "90", "--pressure", "50" },
            "Partial Pressure of Water in Air 70.182 kPa reaches the ambient pressure 50 kPa",
            { { "quantity", "partial_pressure" }, { "text", "70.182" },
                { "reason", "reaches_ambient_pressure" }, { "minimum", "" }, { "maximum", "50" },
                { "unit", "kPa" } } }),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(StateCommand, AcceptedRunHasNoRefusal)
{
    const CliRun run = RunState({ "--relative-humidity", "60" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_FALSE(run.json().contains("refusal"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(StateCommand, VapourPressureReport)
{
    const CliRun run = RunState({ "--temperature", "100" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject json = run.json();
    EXPECT_EQ(Lines(json["listing"]),
        QStringList({ "Error!", "The partial pressure of water vapor", "exceeds the ambient pressure." }));
    EXPECT_EQ(json["quantities"]["relative_humidity"]["max"].toString(), "Error");
    EXPECT_NE(json["quantities"]["partial_pressure"]["max"].toString(), "Error");
    EXPECT_EQ(json["quantities"]["temperature"]["role"].toString(), "input") << "yellow is not red";
}

TEST(StateCommand, VapourPressureAtTheAmbientPressureIsRefused)
{
    const CliRun run = RunState({ "--temperature", "32.878", "--pressure", "5000.9", "--pressure-unit", "Pa",
        "--partial-pressure", "5001", "--partial-pressure-unit", "Pa" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject q = run.json()["quantities"].toObject();
    EXPECT_EQ(q["partial_pressure"]["max"].toString(), "5001");
    EXPECT_EQ(q["partial_pressure"]["role"].toString(), "refused");
    EXPECT_EQ(q["humidity_ratio"]["text"].toString(), "Error");
}

TEST(StateCommand, NegativeValuesAndCustomizedUnits)
{
    const CliRun run = RunState({ "--temperature", "-40", "--dew-point=-45", "--temperature-unit", "F" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject q = run.json()["quantities"].toObject();
    EXPECT_EQ(q["temperature"]["text"].toString(), "-40");
    EXPECT_EQ(q["temperature"]["unit"].toString(), "F");
    EXPECT_EQ(q["dew_point"]["unit"].toString(), "C");
    EXPECT_EQ(q["dew_point"]["role"].toString(), "input");
    EXPECT_EQ(q["relative_humidity"]["role"].toString(), "computed");
}

// A value is the argument after its option whatever it looks like, as "-40" above: "--json" there is the
// temperature's text, refused as the window refuses it, and the output stays the plain table.
TEST(StateCommand, ValueThatLooksLikeAnOptionIsTheValue)
{
    const CliRun run = RunCli({ "state", "--temperature", "--json" });
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.out.startsWith("quantity")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression("\ntemperature +--json +C "))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("by red color is out of allowable range."));
}

// What the command prints is what the window shows after the same events.
TEST(StateCommand, SameTextsAsTheWindowAfterTheSameEvents)
{
    AmbientWindow window;
    window.Open();
    window.SelectUnit(11, window.controls().Combo11.IndexOf("mm Hg"));
    window.ClickOption(4);
    window.EditText(6, "15");
    window.EditText(1, "27.5");
    window.ClickOption(9);
    window.EditText(10, "1200");
    const CliRun run = RunState({ "--temperature", "27.5", "--altitude", "1200", "--wet-bulb", "15",
        "--partial-pressure-unit", "mm Hg" });
    ASSERT_EQ(run.exit_code, 0);
    const QJsonObject quantities = run.json()["quantities"].toObject();
    const AmbientControls& c = window.controls();
    for (const QuantityControls& quantity : kQuantities) {
        const QJsonObject entry
            = quantities[QString::fromUtf8(quantity.key.data(), quantity.key.size())].toObject();
        EXPECT_EQ(entry["text"].toString().toStdString(), (c.*(quantity.box)).text) << quantity.key;
        EXPECT_EQ(entry["unit"].toString().toStdString(), (c.*(quantity.list)).text()) << quantity.key;
        if (quantity.minimum) {
            EXPECT_EQ(entry["min"].toString().toStdString(), (c.*(quantity.minimum)).caption) << quantity.key;
            EXPECT_EQ(entry["max"].toString().toStdString(), (c.*(quantity.maximum)).caption) << quantity.key;
        }
    }
    EXPECT_EQ(Lines(run.json()["listing"]).join('\n').toStdString(),
        QStringList([&] {
            QStringList lines;
            for (const std::string& line : c.List1.lines)
                lines << QString::fromStdString(line);
            return lines;
        }())
            .join('\n')
            .toStdString());
}

// Under a comma-decimal locale the numbers are still read and written with '.'.
TEST(StateCommand, OutputDoesNotDependOnTheLocale)
{
    const QStringList arguments { "state", "--json", "--temperature", "21.5", "--mass-fraction", "0.75" };
    const CliRun plain = RunCli(arguments, "C");
    const CliRun comma = RunCli(arguments, "de_DE.UTF-8");
    ASSERT_EQ(plain.exit_code, 0);
    EXPECT_EQ(comma.exit_code, 0);
    EXPECT_EQ(comma.out, plain.out);
    EXPECT_EQ(Text(comma.json(), "mass_fraction"), "0.75");
    EXPECT_EQ(Text(comma.json(), "temperature"), "21.5");
}

struct UsageErrorCase
{
    const char* name;
    QStringList arguments;
    const char* message;
};

class StateUsageError : public ::testing::TestWithParam<UsageErrorCase>
{
};

TEST_P(StateUsageError, ExitsWithTwoAndSaysWhy)
{
    const CliRun run = RunCli(QStringList { "state" } + GetParam().arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(GetParam().message)) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, StateUsageError,
    ::testing::Values(UsageErrorCase { "UnknownUnitKey", { "--pressure-unit", "bar" },
                          R"("Pa", "kPa", "Bar", "mBar", "mm H2O", "mm Hg", "Atmosphere", "PSI")" },
        UsageErrorCase { "UnknownHumidityRatioUnit", { "--humidity-ratio-unit", "g/KG" },
            "\"(g moisture)/(kg dry air)\"" },
        UsageErrorCase { "UnknownMethod", { "--method", "IAPWS" }, R"("iapws", "hyland-wexler")" },
        UsageErrorCase { "UnknownSystem", { "--system", "imperial" }, R"("metric", "british")" },
        UsageErrorCase {
            "TwoHumidityParameters", { "--relative-humidity", "20", "--dew-point", "5" }, "at most one" },
        UsageErrorCase { "PressureAndAltitude", { "--pressure", "100", "--altitude", "10" }, "not both" },
        UsageErrorCase { "PositionalValue", { "25" }, "unexpected argument" },
        UsageErrorCase { "MissingValue", { "--temperature" }, "--temperature" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StateCommand, PlainTableAndListing)
{
    const CliRun run = RunCli({ "state", "--relative-humidity", "60" });
    ASSERT_EQ(run.exit_code, 0);
    const QStringList lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 29);
    EXPECT_TRUE(lines[0].startsWith("quantity")) << lines[0].toStdString();
    EXPECT_TRUE(lines[4].startsWith("relative_humidity")) << lines[4].toStdString();
    EXPECT_TRUE(lines[4].contains(" 60 ")) << lines[4].toStdString();
    EXPECT_TRUE(lines[16].startsWith("enthalpy")) << lines[16].toStdString();
    EXPECT_TRUE(lines[17].isEmpty());
    EXPECT_EQ(lines[18], "Sat. Formulation:  IAPWS");
}

} // namespace
} // namespace humidora::cli_test
