// What the subcommands of humidora-cli share: writing to stdout and stderr, parsing a subcommand's
// arguments with its help, and naming the valid unit keys in a usage error.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {
struct Refusal;
class ReplacingFile;
} // namespace humidora

namespace humidora::cli {

/// Writes text and a line end to stdout or stderr (UTF-8, whatever the locale).
void PrintOut(const QString& text);
void PrintError(const QString& text);

/// Writes a JSON object on one line to stdout.
void PrintJson(const QJsonObject& object);

/// Flushes and closes stdout at the end of a command that ended with `status`: a failure (a full disk)
/// is reported on stderr and turns the status into kFileError, a closed pipe ends the program by
/// SIGPIPE as it ends any writer in a pipeline, so that no command reports success for output that was
/// lost.
int FinishStandardOutput(int status);

/// Ends the program as a closed pipe ends a writer: by SIGPIPE (also when the signal was ignored).
[[noreturn]] void EndOnClosedPipe();

/// True when `output` (a file name, "-" for standard output) is the same regular file as `input` (a
/// file name, "-" for standard input), under whatever name, link or redirection: writing it would destroy
/// what is being read.
bool SameFile(const QString& input, const QString& output);

/// Where a command's data goes: a named file, which takes the place of an earlier one only when finish()
/// succeeds, or for "-" standard output, written unbuffered. Every write is checked.
class OutputFile
{
public:
    explicit OutputFile(const QString& name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// Empty on success, else the reason.
    QString open();
    /// False when not every byte was written (a closed pipe ends the program, see EndOnClosedPipe).
    bool write(std::string_view text);
    /// Puts a named file in place; empty on success, else the reason.
    QString finish();
    QString error() const;

private:
    QString name_;
    std::unique_ptr<ReplacingFile> file_;
    QFile stdout_;
};

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

/// The options of the conditions a state is computed at, shared by the commands that take a state and
/// those that take points: barometric pressure or altitude, saturation formulation, unit system.
struct ConditionOptions
{
    /// The help of the pressure and the value names of pressure and altitude say what they apply to.
    ConditionOptions(
        const QString& pressure_help, const QString& pressure_value, const QString& altitude_value);

    QCommandLineOption pressure;
    QCommandLineOption altitude;
    QCommandLineOption method { "method", "Saturation formulation: \"iapws\" or \"hyland-wexler\".", "M" };
    QCommandLineOption system { "system", "Unit system: \"metric\" or \"british\".", "S" };

    /// A usage error (reported on stderr) when both the pressure and the altitude are given.
    std::optional<int> checkPressureOrAltitude(
        const QCommandLineParser& parser, const QString& command) const;
    /// Reads the formulation (default IAPWS) and the unit system (default Metric); an unknown key is a usage
    /// error, reported on stderr, whose status is returned.
    std::optional<int> readMethodAndSystem(
        const QCommandLineParser& parser, const QString& command, bool& iapws, bool& british) const;
};

/// The index in `items` (a unit list's texts) of a unit key typed on the command line: a text of the list
/// or a short key of one ("g/kg", "inHg"); -1 when it is neither.
int UnitIndex(const std::vector<std::string>& items, const QString& typed);
/// The unit keys the command line takes for a list: its texts, then the short keys of those texts.
QStringList UnitKeys(const std::vector<std::string>& items);

/// True for the texts with which a window refuses its input.
bool IsRefusal(const std::string& text);

/// Text of a model string, and of a list of model strings.
QString FromModel(const std::string& text);
QStringList FromModel(const std::vector<std::string>& texts);

/// A refusal as the commands' JSON gives it: the quantity, the text, the reason, the range and its unit,
/// and the window's sentence.
QJsonObject RefusalJson(const Refusal& refusal);

} // namespace humidora::cli
