#include "cli/cli_support.h"

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
    if (!parser.parse(arguments)) {
        QString message = command + ": " + parser.errorText();
        // "-40" reads as options -4 and -0: point to the way a negative value is given.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty() && !unknown.first().isEmpty() && unknown.first().front().isDigit())
            message += "\nA negative VALUE goes after \"--\", e.g. " + command + " -- -40";
        PrintError(message);
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

} // namespace humidora::cli
