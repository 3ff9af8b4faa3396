// The desktop program: the calculator's main window, opening the calculation file given on the command
// line. --help and --version answer on standard output without any window. Where a window would need an
// X11 or Wayland display and none is there, the program says so and prints the state through the
// command-line program instead.

#include "assets/application_icon.h"
#include "calc/document/product.h"
#include "calc/units/number_text.h"
#include "io/calculation_file.h"
#include "ui/desktop_program.h"
#include "ui/form_ambient.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QtGlobal>
#include <cstdio>
#include <memory>

namespace {

/// The program's name on the command line, in its help and version and in the settings' file name.
constexpr char kProgramName[] = "humidora";

/// Exit status of a command line the program cannot follow, as for humidora-cli.
constexpr int kUsageError = 2;

/// True when Qt is told which platform to draw on (-platform, e.g. offscreen); it then opens the window
/// there whatever the environment says.
bool ChoosesPlatform(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}

/// True when Qt has a display to open windows on. Windows and macOS always have their desktop; elsewhere Qt
/// draws through an X11 or Wayland display, unless QT_QPA_PLATFORM names another platform (offscreen).
bool HasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

/// True when the command line asks only for the help or the version: they are answered without
/// connecting to any display, so that they work on a build machine (help2man) or over a plain terminal.
/// The parser decides what the arguments mean; this only picks the kind of application to parse them in.
bool AsksForTextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "-h" || argument == "--help" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

/// The options of the program; the help, the version and a refused command line are answered here.
struct CommandLine
{
    QString file;    ///< the calculation file to open, or empty
    int exit_status; ///< -1 to go on, else the program ends with this status
};

CommandLine ParseCommandLine(const QCoreApplication& application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("%1, the psychrometric calculator of moist air. From the dry-bulb\n"
                       "temperature, the barometric pressure or the altitude, and one humidity\n"
                       "parameter, the window computes the other humidity parameters, the range of\n"
                       "every input, the properties of the mixture and the composition of the air.")
            .arg(QString::fromUtf8(humidora::kProductTitle)));
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Show the version and exit."));
    parser.addOptions({ help, version });
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("A saved calculation (.%1) to open. A file that cannot be opened is explained in the "
                       "status bar and the window starts at its defaults.")
            .arg(QLatin1String(humidora::kCalculationExtension)),
        QStringLiteral("[FILE]"));

    const QString name = QLatin1String(kProgramName);
    const QString try_help = QStringLiteral("\nRun \"%1 --help\" for the options.\n").arg(name);
    if (!parser.parse(application.arguments())) {
        std::fputs(qPrintable(QStringLiteral("%1: %2%3").arg(name, parser.errorText(), try_help)), stderr);
        return { {}, kUsageError };
    }
    if (parser.isSet(help)) {
        // The usage line names the program as users type it, not by the path it was started from.
        QString text = parser.helpText();
        const QString invoked = QStringLiteral("Usage: ") + application.arguments().constFirst();
        if (text.startsWith(invoked))
            text.replace(0, invoked.size(), QStringLiteral("Usage: ") + name);
        std::fputs(qPrintable(text), stdout);
        return { {}, 0 };
    }
    if (parser.isSet(version)) {
        std::fputs(
            qPrintable(QStringLiteral("%1 %2\n").arg(name, QCoreApplication::applicationVersion())), stdout);
        return { {}, 0 };
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs(qPrintable(QStringLiteral("%1: one calculation file at a time, not %2%3")
                                  .arg(name)
                                  .arg(files.size())
                                  .arg(try_help)),
            stderr);
        return { {}, kUsageError };
    }
    // A launcher may pass the file as a URL (file:///home/...%20...); a plain path stays as it is.
    const QUrl url(files.value(0));
    return { url.isLocalFile() ? url.toLocalFile() : files.value(0), -1 };
}

/// Prints the state of `file` (the start-up state when empty) through humidora-cli, for a machine
/// without a display.
int PrintStateWithoutDisplay(const QString& file)
{
    std::fputs(
        "humidora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set, and no QT_QPA_PLATFORM), "
        "so the window cannot open.\n",
        stderr);
    QStringList arguments { QStringLiteral("state") };
    if (file.isEmpty()) {
        std::fputs("The start-up state, from humidora-cli:\n", stderr);
    } else {
        std::fputs(qPrintable(QStringLiteral("The state of \"%1\", from humidora-cli:\n").arg(file)), stderr);
        arguments << QStringLiteral("--from=") + file;
    }
    std::fflush(stderr);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("humidora-cli"));
    const int status = QProcess::execute(cli, arguments);
    if (status < 0) {
        std::fputs("humidora: humidora-cli could not be run either.\n", stderr);
        return 1;
    }
    return status;
}

/// HUMIDORA_STARTUP_PROBE: reports on stderr how long the program took until the main window was first
/// painted; with the value "quit" the program then ends, so that the start-up can be timed in a loop.
class StartupProbe final : public QObject
{
public:
    StartupProbe(const QElapsedTimer& since_main, bool quit)
        : since_main_(since_main)
        , quit_(quit)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            const double main_ms = static_cast<double>(since_main_.nsecsElapsed()) / 1e6;
            const double epoch_ms = static_cast<double>(QDateTime::currentMSecsSinceEpoch());
            std::fprintf(stderr, "humidora: first paint %s ms after main(), at %s ms since the epoch\n",
                humidora::NumberText(main_ms, 1).c_str(), humidora::NumberText(epoch_ms, 0).c_str());
            if (quit_)
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& since_main_;
    bool quit_;
    bool reported_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer since_main;
    since_main.start();

    // A QApplication connects to the display at once; the help, the version and a machine without a
    // display make do with a QCoreApplication.
    const bool window = ChoosesPlatform(argc, argv) || (HasDisplay() && !AsksForTextOnly(argc, argv));
    const std::unique_ptr<QCoreApplication> app = window ? std::make_unique<QApplication>(argc, argv)
                                                         : std::make_unique<QCoreApplication>(argc, argv);
    // The settings (recent files, window places) are kept under these names by every part of the program.
    QCoreApplication::setOrganizationName(QString::fromUtf8(humidora::kProductName));
    QCoreApplication::setApplicationName(QLatin1String(kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(humidora::kProductVersion));

    const CommandLine command_line = ParseCommandLine(*app);
    if (command_line.exit_status >= 0)
        return command_line.exit_status;
    if (!window)
        return PrintStateWithoutDisplay(command_line.file);

    // The desktop entry's name: on Wayland this ties the window to its icon and menu entry.
    QGuiApplication::setDesktopFileName(QLatin1String(kProgramName));
    QApplication::setWindowIcon(humidora::ApplicationIcon()); // every window's icon
    humidora::DesktopProgram program(command_line.file);
    StartupProbe probe(since_main, qgetenv("HUMIDORA_STARTUP_PROBE") == "quit");
    if (qEnvironmentVariableIsSet("HUMIDORA_STARTUP_PROBE"))
        program.window().installEventFilter(&probe);
    program.show();
    return app->exec();
}
