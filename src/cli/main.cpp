// humidora-cli: the tool windows of Humidora on the command line. The first argument names a subcommand
// (see commands.h); the subcommand parses the rest.
#include "calc/document/product.h"
#include "calc/units/units.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/state_files.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

using namespace humidora::cli;

QString GlobalHelp()
{
    QString help = "Usage: humidora-cli [--help] [--version] COMMAND [options] [--] VALUE\n\n"
                   "Psychrometric tools of "
        + QString::fromUtf8(humidora::kProductTitle) + " on the command line.\n\nCommands:\n";
    for (const Command& command : kCommands)
        help += "  " + QString(command.name).leftJustified(12) + command.summary + '\n';
    help += "\nRun \"humidora-cli COMMAND --help\" for the options of a command.\n"
            "Numbers are read and written with '.' as the decimal point, whatever the locale.\n"
            "Unit keys are the texts of the window's unit lists; these short keys stand for some of them:\n";
    for (const humidora::UnitAlias& alias : humidora::kUnitAliases)
        help += "  " + QString::fromUtf8(alias.alias.data(), qsizetype(alias.alias.size())).leftJustified(8)
            + "\"" + QString::fromUtf8(alias.key.data(), qsizetype(alias.key.size())) + "\"\n";
    help += "\nExit status:\n";
    for (const ExitStatusHelp& status : kExitStatusHelp)
        help += "  " + QString(QChar('0' + status.status)) + "  " + status.meaning + '\n';
    return help;
}

} // namespace

int main(int argc, char** argv)
{
    const auto application = CreateApplication(argc, argv);
    QCoreApplication::setApplicationName("humidora-cli");
    QCoreApplication::setApplicationVersion(QString::fromUtf8(humidora::kProductVersion));

    QCommandLineParser parser;
    // Everything after the command name belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({ "h", "help" }, "Show this help and exit.");
    const QCommandLineOption version({ "v", "version" }, "Show the version and exit.");
    parser.addOptions({ help, version });
    parser.addPositionalArgument("COMMAND", "The subcommand.");
    if (!parser.parse(application->arguments())) {
        PrintError("humidora-cli: " + parser.errorText() + "\nRun \"humidora-cli --help\" for the commands.");
        return kUsageError;
    }
    if (parser.isSet(help)) {
        PrintOut(GlobalHelp().chopped(1));
        return FinishStandardOutput(kSuccess);
    }
    if (parser.isSet(version)) {
        PrintOut("humidora-cli " + QCoreApplication::applicationVersion());
        return FinishStandardOutput(kSuccess);
    }
    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty()) {
        PrintError("humidora-cli: no command given\n\n" + GlobalHelp().chopped(1));
        return kUsageError;
    }
    for (const Command& command : kCommands) {
        if (arguments.first() == command.name) {
            arguments.first() = QString("humidora-cli ") + command.name;
            return FinishStandardOutput(command.run(arguments));
        }
    }
    PrintError("humidora-cli: unknown command \"" + arguments.first()
        + "\"\nRun \"humidora-cli --help\" for the commands.");
    return kUsageError;
}
