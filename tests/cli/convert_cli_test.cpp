// humidora-cli convert: the texts of the unit converter, exit statuses and usage errors.
#include "cli_process.h"

#include <QJsonObject>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

struct ConvertCase
{
    const char* name;
    QStringList arguments;
    int exit_code;
    const char* quantity;
    const char* from;
    const char* to;
    const char* result;
};

void PrintTo(const ConvertCase& c, std::ostream* out)
{
    *out << c.arguments.join(' ').toStdString();
}

class ConvertCommand : public testing::TestWithParam<ConvertCase>
{
};

TEST_P(ConvertCommand, WritesTheConverterTextsAsJson)
{
    const ConvertCase& c = GetParam();
    const CliRun run = RunCli(QStringList { "convert", "--json" } + c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json.size(), 5);
    EXPECT_EQ(json["quantity"].toString(), c.quantity);
    EXPECT_EQ(json["input"].toString(), c.arguments.last());
    EXPECT_EQ(json["from"].toString(), c.from);
    EXPECT_EQ(json["to"].toString(), c.to);
    EXPECT_EQ(json["result"].toString(), c.result);
    EXPECT_EQ(run.err.isEmpty(), c.exit_code == 0) << run.err.toStdString();
}

const ConvertCase kConvertCases[] = {
    { "CelsiusToFahrenheit", { "--quantity", "Temperature", "--from", "C", "--to", "F", "100" }, 0,
        "Temperature", "C", "F", "212" },
    { "NegativeValueAfterDoubleDash", { "--quantity", "0", "--to", "F", "--", "-40" }, 0, "Temperature", "C",
        "F", "-40" },
    { "FahrenheitRoundTrip", { "--quantity", "0", "--from", "F", "--to", "F", "1" }, 0, "Temperature", "F",
        "F", "1" },
    { "QuantityByIndex", { "--quantity", "1", "--from", "Atmosphere", "--to", "PSI", "1" }, 0, "Pressure",
        "Atmosphere", "PSI", "14.6959494004" },
    { "NoZeroBeforeThePoint", { "--quantity", "Pressure", "--to", "kPa", "1" }, 0, "Pressure", "Pa", "kPa",
        ".001" },
    { "MileToFeet", { "--quantity", "Length", "--from", "mile", "--to", "ft", "1" }, 0, "Length", "mile",
        "ft", "5279.9868766404" },
    { "UnitsDefaultToTheFirstItem", { "--quantity", "Specific Enthalpy", "2.5" }, 0, "Specific Enthalpy",
        "kJ/kg (dry air)", "kJ/kg (dry air)", "2.5" },
    { "UnitWithBlanksAndParentheses",
        { "--quantity", "5", "--from", "ft^3/lb (dry air)", "--to", "m^3/kg (dry air)", "16.01846" }, 0,
        "Specific Volume", "ft^3/lb (dry air)", "m^3/kg (dry air)", "1" },
    { "ExponentForm", { "--quantity", "2", "1E20" }, 0, "Length", "m", "m", "1E+20" },
    { "Letters", { "--quantity", "1", "abc" }, 1, "Pressure", "Pa", "Pa", "Error" },
    { "NumberFollowedByLetters", { "--quantity", "1", "12abc" }, 1, "Pressure", "Pa", "Pa", "Error" },
    { "EmptyValue", { "--quantity", "1", "" }, 1, "Pressure", "Pa", "Pa", "Error" },
    { "BeyondTheDoubleRange", { "--quantity", "1", "--from", "kPa", "1E308" }, 1, "Pressure", "kPa", "Pa",
        "Out of Range" },
};

INSTANTIATE_TEST_SUITE_P(Values, ConvertCommand, testing::ValuesIn(kConvertCases),
    [](const testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

TEST(ConvertCommandText, ShowsTheInputAndTheResultWithUnits)
{
    const CliRun run = RunCli({ "convert", "--quantity", "Length", "--from", "mile", "--to", "ft", "1" });
    ASSERT_EQ(run.exit_code, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Length:") && lines[0].endsWith(" 1 mile")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(" 5279.9868766404 ft")) << lines[1].toStdString();
}

TEST(ConvertCommandText, ErrorIsShownWithoutAUnitAndExplained)
{
    const CliRun run = RunCli({ "convert", "--quantity", "Length", "abc" });
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.out.trimmed().endsWith(" Error")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("\"abc\" is not a number")) << run.err.toStdString();
}

struct UsageCase
{
    const char* name;
    QStringList arguments;
    const char* message; ///< a part of the message on stderr
};

class ConvertUsage : public testing::TestWithParam<UsageCase>
{
};

TEST_P(ConvertUsage, IsRefusedWithStatus2AndAMessage)
{
    const UsageCase& c = GetParam();
    const CliRun run = RunCli(QStringList { "convert" } + c.arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
}

const UsageCase kUsageCases[] = {
    { "QuantityIsRequired", { "1" }, "--quantity is required" },
    { "QuantityIndexBeyondTheList", { "--quantity", "7", "1" }, R"("Temperature", "Pressure", "Length")" },
    { "QuantityNamesAreCaseSensitive", { "--quantity", "pressure", "1" }, "\"Specific Gas Const. (R)\"" },
    { "UnitOfAnotherQuantity", { "--quantity", "Length", "--from", "kPa", "1" },
        R"("m", "km", "mile", "ft")" },
    { "UnitKeysAreCaseSensitive", { "--quantity", "1", "--to", "mm h2o", "1" }, R"("mm H2O")" },
    { "MissingValue", { "--quantity", "1" }, "VALUE is missing" },
};

INSTANTIATE_TEST_SUITE_P(Errors, ConvertUsage, testing::ValuesIn(kUsageCases),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace humidora::cli_test
