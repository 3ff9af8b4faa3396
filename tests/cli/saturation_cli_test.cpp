// humidora-cli saturation: the texts of the saturation window, exit statuses and usage errors.
#include "calc/windows/saturation_window.h"
#include "cli_process.h"

#include <QJsonObject>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

struct SaturationCase
{
    const char* name;
    QStringList arguments;
    int exit_code;
    const char* mode;
    const char* input_unit;
    const char* output_unit;
    const char* iapws;
    const char* hyland_wexler;
};

void PrintTo(const SaturationCase& c, std::ostream* out)
{
    *out << c.arguments.join(' ').toStdString();
}

class SaturationCommand : public testing::TestWithParam<SaturationCase>
{
};

TEST_P(SaturationCommand, WritesTheWindowTextsAsJson)
{
    const SaturationCase& c = GetParam();
    const CliRun run = RunCli(QStringList { "saturation", "--json" } + c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json.size(), 6);
    EXPECT_EQ(json["mode"].toString(), c.mode);
    EXPECT_EQ(json["input"].toString(), c.arguments.last());
    EXPECT_EQ(json["input_unit"].toString(), c.input_unit);
    EXPECT_EQ(json["output_unit"].toString(), c.output_unit);
    EXPECT_EQ(json["iapws"].toString(), c.iapws);
    EXPECT_EQ(json["hyland_wexler"].toString(), c.hyland_wexler);
    // A refusal is explained on stderr; a result is not.
    EXPECT_EQ(run.err.isEmpty(), c.exit_code == 0) << run.err.toStdString();
}

const SaturationCase kSaturationCases[] = {
    { "DefaultsAre100CInKpa", { "100" }, 0, "Temperature", "C", "kPa", "101.41797792131", "101.41871682799" },
    { "PressureModeDefaultsToKpaAndCelsius", { "--mode", "pressure", "100" }, 0, "Pressure", "kPa", "C",
        "99.60591861", "99.60576314" },
    { "FahrenheitInput", { "--input-unit", "F", "212" }, 0, "Temperature", "F", "kPa", "101.41797792131",
        "101.41871682799" },
    { "NegativeValueAfterDoubleDash", { "--output-unit", "Bar", "--", "-100" }, 0, "Temperature", "C", "Bar",
        ".0000000140485", ".000000014051" },
    { "TriplePointInPascal", { "--output-unit=Pa", "0.01" }, 0, "Temperature", "C", "Pa", "611.657",
        "611.65702793" },
    { "UnitWithABlank", { "--output-unit", "mm H2O", "100" }, 0, "Temperature", "C", "mm H2O",
        "10281.8364039528", "10281.911314908" },
    { "BelowTheLowestTemperature", { "--input-unit", "K", "173.149" }, 1, "Temperature", "K", "kPa",
        "Out of Range", "Out of Range" },
    { "AboveTheHighestTemperature", { "200.01" }, 1, "Temperature", "C", "kPa", "Out of Range",
        "Out of Range" },
    { "LowestPressureIsAccepted", { "--mode", "pressure", "--input-unit", "Pa", "0.0015" }, 0, "Pressure",
        "Pa", "C", "-99.67821972", "-99.67908096" },
    { "AboveTheHighestPressure", { "--mode", "pressure", "1555.001" }, 1, "Pressure", "kPa", "C",
        "Out of Range", "Out of Range" },
    { "NumberFollowedByLetters", { "12abc" }, 1, "Temperature", "C", "kPa", "Error", "Error" },
    { "EmptyValue", { "" }, 1, "Temperature", "C", "kPa", "Error", "Error" },
};

INSTANTIATE_TEST_SUITE_P(Values, SaturationCommand, testing::ValuesIn(kSaturationCases),
    [](const testing::TestParamInfo<SaturationCase>& info) { return std::string(info.param.name); });

TEST(SaturationCommandText, ShowsTheInputAndEachFormulationWithUnits)
{
    const CliRun run = RunCli({ "saturation", "100" });
    ASSERT_EQ(run.exit_code, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Temperature:") && lines[0].endsWith(" 100 C")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("IAPWS") && lines[1].endsWith(" 101.41797792131 kPa"));
    EXPECT_TRUE(lines[2].contains("Hyland-Wexler") && lines[2].endsWith(" 101.41871682799 kPa"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(SaturationCommandText, RefusalShowsTheWindowTextWithoutAUnit)
{
    const CliRun run = RunCli({ "saturation", "--mode", "pressure", "--input-unit", "Pa", "0.0014" });
    EXPECT_EQ(run.exit_code, 1);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(" 0.0014 Pa"));
    EXPECT_TRUE(lines[1].endsWith(" Out of Range"));
    EXPECT_TRUE(lines[2].endsWith(" Out of Range"));
    EXPECT_TRUE(run.err.contains("out of range")) << run.err.toStdString();
}

// The command drives the window's logic: for any input its texts are the window's own.
TEST(SaturationCommandText, AgreesWithTheWindowForEveryUnit)
{
    struct Input
    {
        const char* mode;
        const char* input_unit;
        const char* output_unit;
        const char* value;
    };
    const Input inputs[] = {
        { "temperature", "R", "mm Hg", "500" },
        { "temperature", "K", "Atmosphere", "400.5" },
        { "temperature", "C", "PSI", "-50" },
        { "pressure", "PSI", "F", "14.7" },
        { "pressure", "mBar", "R", "6.11657" },
        { "pressure", "Bar", "K", "1e-5" },
    };
    for (const Input& input : inputs) {
        const bool temperature = QString(input.mode) == "temperature";
        SaturationWindow window;
        window.Load();
        window.SelectMode(temperature ? 0 : 1);
        const UnitList& temperatures = window.controls().Combo2;
        const UnitList& pressures = window.controls().Combo3;
        window.SelectTemperatureUnit(
            temperatures.IndexOf(temperature ? input.input_unit : input.output_unit));
        window.SelectPressureUnit(pressures.IndexOf(temperature ? input.output_unit : input.input_unit));
        window.EditText1(input.value);

        const CliRun run = RunCli({ "saturation", "--json", "--mode", input.mode, "--input-unit",
            input.input_unit, "--output-unit", input.output_unit, "--", input.value });
        EXPECT_EQ(run.json()["iapws"].toString().toStdString(), window.controls().Text2) << input.value;
        EXPECT_EQ(run.json()["hyland_wexler"].toString().toStdString(), window.controls().Text3)
            << input.value;
    }
}

struct UsageCase
{
    const char* name;
    QStringList arguments;
    const char* message; ///< a part of the message on stderr
};

class SaturationUsage : public testing::TestWithParam<UsageCase>
{
};

TEST_P(SaturationUsage, IsRefusedWithStatus2AndAMessage)
{
    const UsageCase& c = GetParam();
    const CliRun run = RunCli(QStringList { "saturation" } + c.arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
}

const UsageCase kUsageCases[] = {
    { "MissingValue", {}, "VALUE is missing" },
    { "TwoValues", { "1", "2" }, "only one VALUE" },
    { "UnitKeysAreCaseSensitive", { "--output-unit", "kpa", "1" },
        R"("Pa", "kPa", "Bar", "mBar", "mm H2O")" },
    { "TemperatureUnitIsNoPressureInput", { "--mode", "pressure", "--input-unit", "C", "1" },
        R"("Pa", "kPa", "Bar")" },
    { "PressureUnitIsNoTemperatureInput", { "--input-unit", "Pa", "1" }, R"("C", "K", "F", "R")" },
    { "UnknownMode", { "--mode", "humidity", "1" }, R"("temperature", "pressure")" },
    { "UnknownOption", { "--method", "1", "1" }, "method" },
    { "OptionWithoutItsValue", { "1", "--output-unit" }, "output-unit" },
};

INSTANTIATE_TEST_SUITE_P(Errors, SaturationUsage, testing::ValuesIn(kUsageCases),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(SaturationCommandHelp, NamesTheOptionsAndDefaults)
{
    const CliRun run = RunCli({ "saturation", "--help" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.out.startsWith("Usage: humidora-cli saturation")) << run.out.toStdString();
    for (const char* text :
        { "--mode", "--input-unit", "--output-unit", "--json", "VALUE", "saturation -40" })
        EXPECT_TRUE(run.out.contains(text)) << text;
}

} // namespace
} // namespace humidora::cli_test
