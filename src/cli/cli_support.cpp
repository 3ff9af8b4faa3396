#include "cli/cli_support.h"

#include "calc/number_text.h"
#include "calc/refusal.h"
#include "cli/commands.h"

#include <QJsonDocument>
#include <QTextStream>
#include <cstdio>

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

} // namespace

void PrintOut(const QString& text)
{
    QTextStream out(stdout);
    out << text << '\n';
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
        QTextStream(stdout) << text;
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
