// What the subcommands of humidora-cli share: writing to stdout and stderr, parsing a subcommand's
// arguments with its help, and naming the valid unit keys in a usage error.
#pragma once

#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace humidora::cli {

/// Writes text and a line end to stdout or stderr (UTF-8, whatever the locale).
void PrintOut(const QString& text);
void PrintError(const QString& text);

/// Writes a JSON object on one line to stdout.
void PrintJson(const QJsonObject& object);

/// Parses the arguments of a subcommand whose parser holds its options and positional VALUE. Adds
/// -h/--help. An argument that reads as a number is a value wherever it stands ("-40" is not a cluster of
/// options); "--" still ends the options. Returns an exit status when the command should end now (help shown:
/// success; parse error: usage error, reported on stderr), or nothing when the command should go on. `usage`
/// is the synopsis after the program name, e.g. "saturation [options] [--] VALUE".
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments,
    const QString& usage, const QString& description);

/// The single VALUE of a command, or a usage error (reported on stderr) when none or more are given.
std::optional<QString> SingleValue(const QCommandLineParser& parser, const QString& command);

/// Reports a unit key that is not one of `valid` as a usage error, naming the valid keys, and returns the
/// usage-error status.
int UnknownKey(const QString& command, const QString& what, const QString& given, const QStringList& valid);

/// True for the texts with which a window refuses its input.
bool IsRefusal(const std::string& text);

/// Text of a model string, and of a list of model strings.
QString FromModel(const std::string& text);
QStringList FromModel(const std::vector<std::string>& texts);

} // namespace humidora::cli
