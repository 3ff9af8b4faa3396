// Calculation files and reports for humidora-cli state: --from FILE brings in a saved calculation (the
// other options then change only what they name), --save FILE writes one, --report FILE.pdf writes the
// one-page report.
#pragma once

#include "calc/document/calculation.h"
#include "calc/windows/ambient_window.h"
#include "cli/commands.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <memory>
#include <optional>

namespace humidora::cli {

/// The lines that the help of `state` adds about files.
extern const char* const kStateFilesHelp;

/// The three file options of `state`, added to its parser.
struct StateFileOptions
{
    QCommandLineOption from { "from", "Start from the calculation saved in FILE (.humidora).", "FILE" };
    QCommandLineOption save { "save", "Save the calculation to FILE (.humidora).", "FILE" };
    QCommandLineOption report { "report", "Write the one-page PDF report to FILE.", "FILE" };

    void addTo(QCommandLineParser& parser) const { parser.addOptions({ from, save, report }); }
};

/// With --from, the calculation of that file, else nothing; when the file cannot be used, the reason
/// goes to stderr and the result is kFileError.
std::optional<int> LoadStateFile(const QCommandLineParser& parser, const StateFileOptions& files,
    const QString& command, Calculation& calculation);

/// Writes what --save and --report ask for, from the window after its calculation; on a failure the
/// reason goes to stderr and the result is kFileError (an earlier file of that name stays as it was).
/// `read_from` holds the calculation LoadStateFile read with --from (else null): its state points,
/// processes and properties are saved along, and a report from a file that the options changed says so.
/// `uncertainty` is the measurement uncertainty the calculation is saved with.
std::optional<int> WriteStateFiles(const QCommandLineParser& parser, const StateFileOptions& files,
    const QString& command, const AmbientWindow& window, const Calculation* read_from,
    const UncertaintySettings& uncertainty);

/// The application object of humidora-cli: a QGuiApplication on the offscreen platform when a report is
/// asked for (drawing text needs fonts), else a plain QCoreApplication.
std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv);

} // namespace humidora::cli
