// The desktop program: the calculator's main window. Without any display it says so and prints the
// start-up state through the command-line program instead.

#include "calc/number_text.h"
#include "calc/product.h"
#include "ui/file_commands.h"
#include "ui/form_ambient.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {

/// True when Qt has a display to open windows on: an X or Wayland display, or a platform chosen
/// explicitly (QT_QPA_PLATFORM or -platform, e.g. offscreen).
bool HasDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-platform")
            return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int PrintStateWithoutDisplay(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::fputs(
        "humidora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set, and no QT_QPA_PLATFORM), "
        "so the window cannot open.\nThe start-up state, from humidora-cli:\n",
        stderr);
    std::fflush(stderr);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("humidora-cli"));
    const int status = QProcess::execute(cli, { QStringLiteral("state") });
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

    if (!HasDisplay(argc, argv))
        return PrintStateWithoutDisplay(argc, argv);

    QApplication app(argc, argv);
    const std::string_view name = humidora::kProductName;
    const std::string_view version = humidora::kProductVersion;
    QApplication::setApplicationName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    QApplication::setApplicationVersion(
        QString::fromUtf8(version.data(), static_cast<qsizetype>(version.size())));

    Form_ambient window;
    new humidora::FileCommands(window); // Open, Save, Save As and Report; owned by the window
    StartupProbe probe(since_main, qgetenv("HUMIDORA_STARTUP_PROBE") == "quit");
    if (qEnvironmentVariableIsSet("HUMIDORA_STARTUP_PROBE"))
        window.installEventFilter(&probe);
    window.show();
    return app.exec();
}
