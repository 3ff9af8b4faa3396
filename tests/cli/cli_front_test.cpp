// humidora-cli as a program: global help and version, unknown commands, and independence of the locale.
#include "cli_process.h"

#include <QJsonObject>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

TEST(CliProgram, HelpListsTheCommandsAndExitStatuses)
{
    for (const char* option : { "--help", "-h" }) {
        const CliRun run = RunCli({ option });
        EXPECT_EQ(run.exit_code, 0) << option;
        for (const char* text : { "saturation", "convert", "Exit status", "0  success", "1  input refused",
                 "2  usage error", "3  file error" })
            EXPECT_TRUE(run.out.contains(text)) << option << ": " << text;
        EXPECT_TRUE(run.err.isEmpty());
    }
}

TEST(CliProgram, VersionNamesTheProgramAndItsVersion)
{
    const CliRun run = RunCli({ "--version" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "humidora-cli 1.1\n");
}

TEST(CliProgram, WithoutACommandItIsAUsageError)
{
    const CliRun run = RunCli({});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("no command")) << run.err.toStdString();
}

TEST(CliProgram, UnknownCommandOrGlobalOptionIsAUsageError)
{
    for (const QStringList& arguments :
        { QStringList { "saturate", "100" }, QStringList { "--json", "convert" } }) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exit_code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
}

// A value that reads as a number is a value wherever a value is expected, in every form people type;
// "--" still ends the options. Each case names the JSON field that shows the value as it was read.
struct NegativeValueCase
{
    QStringList arguments;
    const char* field;
    const char* value;
};

TEST(CliProgram, NegativeNumbersAreValues)
{
    const NegativeValueCase cases[] = {
        { { "saturation", "-40" }, "input", "-40" },
        { { "saturation", "-4e1" }, "input", "-4e1" },
        { { "saturation", "-.5" }, "input", "-.5" },
        { { "saturation", "--", "-40" }, "input", "-40" },
        { { "saturation", "-40", "--mode", "temperature" }, "input", "-40" },
        { { "saturation", "--input-unit", "F", "-40" }, "input", "-40" },
        { { "convert", "--quantity", "0", "--to", "F", "-40" }, "result", "-40" },
        { { "convert", "--quantity", "0", "-17.5", "--to", "F" }, "result", ".5" },
        { { "state", "--temperature", "-40" }, "temperature", "-40" },
        { { "state", "--temperature=-40" }, "temperature", "-40" },
        { { "state", "--temperature", "-4e1", "--dew-point", "-.5E2" }, "dew_point", "-.5E2" },
    };
    for (const NegativeValueCase& c : cases) {
        const CliRun run = RunCli(c.arguments.first(1) + QStringList { "--json" } + c.arguments.sliced(1));
        const std::string arguments = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exit_code, 0) << arguments << ": " << run.err.toStdString();
        const QJsonObject json = run.json();
        const QJsonValue value
            = json.contains("quantities") ? json["quantities"][c.field]["text"] : json[c.field];
        EXPECT_EQ(value.toString(), c.value) << arguments;
    }
}

TEST(CliProgram, AnOptionLikeTextIsStillAnOption)
{
    const CliRun run = RunCli({ "saturation", "-4x" });
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.err.contains("Unknown options")) << run.err.toStdString();
}

// Under a comma-decimal locale the numbers are still read and written with '.'.
TEST(CliProgram, OutputDoesNotDependOnTheLocale)
{
    const QStringList commands[] = {
        { "saturation", "100" },
        { "saturation", "--json", "--output-unit", "Atmosphere", "99.5" },
        { "saturation", "--json", "--mode", "pressure", "--input-unit", "Pa", "0.0015" },
        { "convert", "--json", "--quantity", "1", "--to", "kPa", "1.5" },
        { "convert", "--quantity", "0", "--to", "F", "--", "-17.5" },
    };
    for (const QStringList& command : commands) {
        const CliRun plain = RunCli(command, "C");
        const CliRun comma = RunCli(command, "de_DE.UTF-8");
        EXPECT_EQ(plain.exit_code, 0) << command.join(' ').toStdString();
        EXPECT_EQ(comma.exit_code, 0) << command.join(' ').toStdString();
        EXPECT_EQ(comma.out, plain.out) << command.join(' ').toStdString();
        EXPECT_FALSE(comma.out.contains(',') && !comma.out.contains('"')) << comma.out.toStdString();
    }
    EXPECT_EQ(RunCli({ "convert", "--json", "--quantity", "1", "--to", "kPa", "1.5" }, "de_DE.UTF-8")
                  .json()["result"]
                  .toString(),
        ".0015");
    // "1,5" is no number in any locale.
    EXPECT_EQ(
        RunCli({ "convert", "--json", "--quantity", "1", "1,5" }, "de_DE.UTF-8").json()["result"].toString(),
        "Error");
}

} // namespace
} // namespace humidora::cli_test
