// The subcommands of humidora-cli. A subcommand is one row of kCommands and one source file that defines
// its run function; main.cpp finds the row by name and hands it the remaining arguments.
#pragma once

#include <QStringList>
#include <array>

namespace humidora::cli {

/// Exit statuses shared by every subcommand.
enum ExitStatus : int
{
    kSuccess = 0,    ///< the result was computed and written
    kRefused = 1,    ///< the input was refused: a result reads "Error" or "Out of Range"
    kUsageError = 2, ///< unknown command or option, unknown unit key, missing or surplus value
    kFileError = 3,  ///< a calculation file cannot be read or is not valid, or a file cannot be written
};

/// One line of the exit-status section of --help.
struct ExitStatusHelp
{
    int status;
    const char* meaning;
};

inline constexpr std::array kExitStatusHelp = {
    ExitStatusHelp { kSuccess, "success" },
    ExitStatusHelp { kRefused, "input refused: a result reads \"Error\" or \"Out of Range\"" },
    ExitStatusHelp { kUsageError, "usage error: unknown command, option or unit key; missing VALUE" },
    ExitStatusHelp { kFileError,
        "file error: an input or calculation file cannot be read or is not valid, or an output file "
        "cannot be written" },
};

/// A subcommand. `run` gets the program and command name as its first argument ("humidora-cli
/// saturation"), then the command's own arguments, ready for QCommandLineParser::parse; it writes its
/// results to stdout and its messages to stderr and returns an exit status.
struct Command
{
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

int RunSaturation(const QStringList& arguments);
int RunConvert(const QStringList& arguments);
int RunState(const QStringList& arguments);
int RunChart(const QStringList& arguments);
int RunAirProcess(const QStringList& arguments);
int RunPoints(const QStringList& arguments);
int RunBatch(const QStringList& arguments);

inline constexpr std::array kCommands = {
    Command { "saturation", "saturation pressure or temperature of water, as the saturation window shows it",
        RunSaturation },
    Command { "convert", "convert a number between units, as the unit converter shows it", RunConvert },
    Command { "state", "one state of moist air, as the main window shows it", RunState },
    Command {
        "chart", "the psychrometric chart as a picture or as data, as the chart window draws it", RunChart },
    Command {
        "process", "an air-handling process on state points: leaving point, loads and water", RunAirProcess },
    Command { "points", "every state point and process of a calculation file, evaluated", RunPoints },
    Command { "batch", "one state of moist air per row of a CSV file, on all cores", RunBatch },
};

} // namespace humidora::cli
