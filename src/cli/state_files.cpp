#include "cli/state_files.h"

#include "calc/document/calculation.h"
#include "calc/document/calculation_document.h"
#include "cli/cli_support.h"
#include "io/calculation_file.h"
#include "io/report.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstring>

namespace humidora::cli {

const char* const kStateFilesHelp
    = "\nWith --from FILE the inputs, units, formulation and unit system come from a saved calculation;\n"
      "the other options change only what they name (--system also resets the pressure as the menu\n"
      "does). --save and --report are written also for a refused state, before anything is printed.\n"
      "Exit status 3 when FILE cannot be read or is not a valid calculation, or a file cannot be\n"
      "written; nothing is printed then.";

std::optional<int> LoadStateFile(const QCommandLineParser& parser, const StateFileOptions& files,
    const QString& command, Calculation& calculation)
{
    if (!parser.isSet(files.from))
        return std::nullopt;
    const CalculationRead read = ReadCalculationFile(parser.value(files.from));
    if (!read) {
        PrintError(command + ": " + read.problem);
        return kFileError;
    }
    calculation = *read.calculation;
    return std::nullopt;
}

std::optional<int> WriteStateFiles(const QCommandLineParser& parser, const StateFileOptions& files,
    const QString& command, const AmbientWindow& window, const Calculation* read_from,
    const UncertaintySettings& uncertainty)
{
    // The calculation as the program holds it: the file read (points, processes, properties, chart data)
    // with the state and the measurement uncertainty of this command.
    CalculationDocument document;
    if (read_from != nullptr)
        document.Load(*read_from);
    document.SetInputs(window.CurrentInputs(), "Command Line");
    document.SetUncertainty(uncertainty);
    if (parser.isSet(files.save)) {
        const QString error
            = WriteCalculationFile(parser.value(files.save), document.ToCalculation(), &window.controls());
        if (!error.isEmpty()) {
            PrintError(command + ": " + error);
            return kFileError;
        }
    }
    if (parser.isSet(files.report)) {
        ReportDetails details;
        // The report names the calculation file it belongs to: the one saved now, else the one read.
        const QString calculation = parser.isSet(files.save) ? parser.value(files.save)
            : parser.isSet(files.from)                       ? parser.value(files.from)
                                                             : QString();
        if (!calculation.isEmpty())
            details.calculation = QFileInfo(calculation).fileName();
        if (!parser.isSet(files.save) && read_from != nullptr
            && !SameInputs(read_from->inputs, window.CurrentInputs()))
            details.calculation += QStringLiteral(" (changed since saved)");
        details.created = QDateTime::currentDateTime();
        details.page = ReportPageSize(QLocale::system());
        // The state as the window shows it with the measurement uncertainty of the command.
        AmbientWindow shown = window;
        shown.SetUncertainty(uncertainty);
        details.chart = ReportChart(shown);
        AddUncertainty(details, shown);
        // A calculation read from a file brings its title block, state points and processes along.
        if (read_from != nullptr) {
            details.properties = document.properties();
            AddStatePoints(details, document.points(), window.CurrentInputs(), &uncertainty);
        }
        const QString error
            = WriteReport(parser.value(files.report), shown.controls(), shown.state(), details);
        if (!error.isEmpty()) {
            PrintError(command + ": " + error);
            return kFileError;
        }
    }
    return std::nullopt;
}

std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv)
{
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        // A report or a picture of the chart is drawn, and drawing text needs fonts.
        for (const char* option : { "--report", "--output" }) {
            const std::size_t length = std::strlen(option);
            if (std::strncmp(argv[i], option, length) == 0
                && (argv[i][length] == '\0' || argv[i][length] == '='))
                report = true;
        }
    }
    if (!report)
        return std::make_unique<QCoreApplication>(argc, argv);
    // A command-line program never opens a window, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace humidora::cli
