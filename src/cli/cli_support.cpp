#include "cli/cli_support.h"

#include "calc/units/number_text.h"
#include "calc/units/refusal.h"
#include "calc/units/units.h"
#include "cli/commands.h"
#include "io/save_file.h"

#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace humidora::cli {
namespace {

QString Quoted(const QStringList& keys)
{
    QStringList quoted;
    for (const QString& key : keys)
        quoted << '"' + key + '"';
    return quoted.join(", ");
}

/// True for an argument that the parser would take for an option: it starts with '-' and is not a number.
bool IsOptionLike(const QString& argument)
{
    return argument.startsWith('-') && !IsNumberText(argument.toStdString());
}

/// Parses `arguments` so that an argument that reads as a number is always a value: "-40", "-4e1" and
/// "-.5" would otherwise be taken for clusters of short options. A first parse puts a stand-in that
/// cannot look like an option in place of every argument that is not option-like (up to a "--"); the
/// stand-ins it did not take as option values are the positional values, and the final parse gets the
/// options and their values as typed, then "--", then the positional values in their order.
bool ParseWithNumbersAsValues(QCommandLineParser& parser, const QStringList& arguments)
{
    const qsizetype end_of_options = arguments.indexOf(QStringLiteral("--"), 1);
    const qsizetype options_end = end_of_options < 0 ? arguments.size() : end_of_options;
    QStringList standing_in = arguments;
    const auto stand_in = [](qsizetype index) { return QStringLiteral("\u0001%1").arg(index); };
    for (qsizetype i = 1; i < options_end; ++i) {
        if (!IsOptionLike(arguments[i]))
            standing_in[i] = stand_in(i);
    }
    if (!parser.parse(standing_in))
        return false;
    const QStringList positional = parser.positionalArguments();
    QStringList options { arguments.value(0) };
    QStringList values;
    for (qsizetype i = 1; i < options_end; ++i)
        (positional.contains(stand_in(i)) ? values : options) << arguments[i];
    values += arguments.mid(options_end + 1);
    return parser.parse(options + QStringList { QStringLiteral("--") } + values);
}

// The reason of the first failed write to stdout, 0 while every write succeeded: a buffered write meets
// the failure when the buffer goes out, and errno says why only then.
int standard_output_error = 0;

void WriteOut(const QByteArray& bytes)
{
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout)
            != static_cast<std::size_t>(bytes.size())
        && standard_output_error == 0)
        standard_output_error = errno != 0 ? errno : EIO;
}

} // namespace

void PrintOut(const QString& text)
{
    WriteOut((text + '\n').toUtf8());
}

void PrintError(const QString& text)
{
    QTextStream err(stderr);
    err << text << '\n';
}

void PrintJson(const QJsonObject& object)
{
    PrintOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

int FinishStandardOutput(int status)
{
    // A small output meets a full disk only when the buffer goes out here; a file system may report a
    // lost write only when the file is closed.
    errno = 0;
    if (std::fflush(stdout) != 0 && standard_output_error == 0)
        standard_output_error = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(stdout) != 0 && standard_output_error == 0)
        standard_output_error = errno != 0 ? errno : EIO;
    if (standard_output_error == 0)
        return status;
    const int reason = standard_output_error;
    if (reason == EPIPE)
        EndOnClosedPipe();
    PrintError(
        QString("humidora-cli: cannot write the standard output: %1")
            .arg(reason != 0 ? QString::fromLocal8Bit(std::strerror(reason)) : QString("write error")));
    return kFileError;
}

void EndOnClosedPipe()
{
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe_only;
    sigemptyset(&pipe_only);
    sigaddset(&pipe_only, SIGPIPE);
    pthread_sigmask(SIG_UNBLOCK, &pipe_only, nullptr);
    std::raise(SIGPIPE);
    _exit(128 + SIGPIPE); // only if the signal could not end the program
}

bool SameFile(const QString& input, const QString& output)
{
    const auto status_of = [](const QString& name, int standard, struct stat& status) {
        return (name == "-" ? ::fstat(standard, &status)
                            : ::stat(QFile::encodeName(name).constData(), &status))
            == 0
            && S_ISREG(status.st_mode);
    };
    struct stat in
    {
    }, out {};
    return status_of(input, STDIN_FILENO, in) && status_of(output, STDOUT_FILENO, out)
        && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

OutputFile::OutputFile(const QString& name)
    : name_(name)
{
    if (name != "-")
        file_ = std::make_unique<ReplacingFile>(name);
}

OutputFile::~OutputFile() = default;

QString OutputFile::open()
{
    if (file_)
        return file_->open();
    if (!stdout_.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::DontCloseHandle))
        return stdout_.errorString();
    return {};
}

bool OutputFile::write(std::string_view text)
{
    if (file_)
        return file_->write(text.data(), static_cast<qint64>(text.size()));
    qint64 written = 0;
    while (written < static_cast<qint64>(text.size())) {
        errno = 0;
        const qint64 chunk = stdout_.write(text.data() + written, static_cast<qint64>(text.size()) - written);
        if (chunk <= 0) {
            if (errno == EPIPE)
                EndOnClosedPipe();
            return false;
        }
        written += chunk;
    }
    return true;
}

QString OutputFile::finish()
{
    if (file_)
        return file_->commit();
    return error();
}

QString OutputFile::error() const
{
    if (file_)
        return file_->error();
    return stdout_.error() != QFileDevice::NoError ? stdout_.errorString() : QString();
}

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments,
    const QString& usage, const QString& description)
{
    const QCommandLineOption help({ "h", "help" }, "Show this help and exit.");
    parser.addOption(help);
    parser.setApplicationDescription(description);
    const QString command = arguments.value(0);
    if (!ParseWithNumbersAsValues(parser, arguments)) {
        PrintError(command + ": " + parser.errorText());
        PrintError("Run \"" + command + " --help\" for the options.");
        return kUsageError;
    }
    if (parser.isSet(help)) {
        // The parser's own usage line names the program only; the synopsis names the command too.
        QString text = parser.helpText();
        text.replace(0, text.indexOf('\n'), "Usage: humidora-cli " + usage + '\n');
        WriteOut(text.toUtf8());
        return kSuccess;
    }
    return std::nullopt;
}

std::optional<QString> SingleValue(const QCommandLineParser& parser, const QString& command)
{
    const QStringList values = parser.positionalArguments();
    if (values.size() == 1)
        return values.first();
    PrintError(command + ": " + (values.isEmpty() ? "VALUE is missing" : "only one VALUE may be given"));
    PrintError("Run \"" + command + " --help\" for the options.");
    return std::nullopt;
}

int UnknownKey(const QString& command, const QString& what, const QString& given, const QStringList& valid)
{
    PrintError(command + ": unknown " + what + " \"" + given + "\"; valid: " + Quoted(valid));
    return kUsageError;
}

int UnitIndex(const std::vector<std::string>& items, const QString& typed)
{
    const std::string text = typed.toStdString();
    const auto found = std::find(items.begin(), items.end(), UnitKeyOf(text));
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

QStringList UnitKeys(const std::vector<std::string>& items)
{
    QStringList keys = FromModel(items);
    for (const UnitAlias& alias : kUnitAliases) {
        if (std::find(items.begin(), items.end(), alias.key) != items.end())
            keys << FromModel(std::string(alias.alias));
    }
    return keys;
}

bool IsRefusal(const std::string& text)
{
    return text == "Error" || text == "Out of Range";
}

QString FromModel(const std::string& text)
{
    return QString::fromStdString(text);
}

QStringList FromModel(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << FromModel(text);
    return list;
}

ConditionOptions::ConditionOptions(
    const QString& pressure_help, const QString& pressure_value, const QString& altitude_value)
    : pressure("pressure", pressure_help, pressure_value)
    , altitude("altitude", "Altitude above sea level, given instead of the pressure.", altitude_value)
{
}

std::optional<int> ConditionOptions::checkPressureOrAltitude(
    const QCommandLineParser& parser, const QString& command) const
{
    if (parser.isSet(pressure) && parser.isSet(altitude)) {
        PrintError(command + ": give either --pressure or --altitude, not both");
        return kUsageError;
    }
    return std::nullopt;
}

std::optional<int> ConditionOptions::readMethodAndSystem(
    const QCommandLineParser& parser, const QString& command, bool& iapws, bool& british) const
{
    const QString method_key = parser.isSet(method) ? parser.value(method) : "iapws";
    if (method_key != "iapws" && method_key != "hyland-wexler")
        return UnknownKey(command, "method", method_key, { "iapws", "hyland-wexler" });
    const QString system_key = parser.isSet(system) ? parser.value(system) : "metric";
    if (system_key != "metric" && system_key != "british")
        return UnknownKey(command, "system", system_key, { "metric", "british" });
    iapws = method_key == "iapws";
    british = system_key == "british";
    return std::nullopt;
}

QJsonObject RefusalJson(const Refusal& refusal)
{
    return {
        { "quantity", FromModel(refusal.quantity) },
        { "text", FromModel(refusal.text) },
        { "reason", FromModel(std::string(RefusalReasonName(refusal.reason))) },
        { "minimum", FromModel(refusal.minimum) },
        { "maximum", FromModel(refusal.maximum) },
        { "unit", FromModel(refusal.unit) },
        { "message", FromModel(RefusalSentence(refusal)) },
    };
}

} // namespace humidora::cli
