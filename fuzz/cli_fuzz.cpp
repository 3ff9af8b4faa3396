// Fuzz target of the command line's argument handling, in-process: the subcommands' run functions get
// arguments cut from the input at line ends, exactly as main() hands them over.
//
// Every run ends with one of the documented exit statuses; a usage error or a file error writes nothing
// to stdout and says why on stderr; a result asked for with --json is one valid JSON object; and no output
// shows "inf" or "nan" unless the arguments themselves contain those letters (the state table echoes the
// texts it was given).
//
// Arguments that name files are kept inside the target's own scratch folder: the run starts there, and
// every argument loses leading '/' and any "..", so no path can reach outside it. Every run finds the
// folder as the first one did, holding only saved.humidora (a valid calculation for --from), so no run
// depends on the files of an earlier one and every failure reproduces from its input alone.
#include "cli/commands.h"
#include "cli/state_files.h"
#include "fuzz_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace humidora;

QCoreApplication* application = nullptr;
QTemporaryDir* scratch = nullptr;
QByteArray saved_calculation;
constexpr const char* kSavedCalculation = "saved.humidora";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// A scratch file that takes the place of stdout or stderr during one run.
class Capture
{
public:
    explicit Capture(int descriptor)
        : descriptor_(descriptor)
        , file_(std::tmpfile())
        , original_(dup(descriptor))
    {
        if (!file_ || original_ < 0)
            std::abort();
    }
    void Begin()
    {
        std::fflush(nullptr);
        std::rewind(file_);
        if (ftruncate(fileno(file_), 0) != 0)
            std::abort();
        dup2(fileno(file_), descriptor_);
    }
    std::string End()
    {
        std::fflush(nullptr);
        dup2(original_, descriptor_);
        std::string text;
        std::rewind(file_);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;)
            text.append(buffer, n);
        return text;
    }

private:
    int descriptor_;
    std::FILE* file_;
    int original_;
};

Capture* captured_out = nullptr;
Capture* captured_err = nullptr;

// Whether --json stands as the option, not as the value of the option before it ("--temperature --json"
// gives the temperature the text "--json", as "--temperature -5" gives it -5) nor as a positional after
// "--". Where the argument before it may be an option that takes a value, the answer is no: the check
// it guards is then skipped, never wrongly applied.
bool JsonRequested(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] != "--json")
            continue;
        const QString& before = arguments[i - 1];
        if (i == 1 || before == "--json" || before == "-" || !before.startsWith('-') || before.contains('='))
            return true;
    }
    return false;
}

// Empties the scratch folder and puts the saved calculation back.
void ResetScratch()
{
    QDir folder(scratch->path());
    for (const QFileInfo& entry :
        folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            folder.remove(entry.fileName());
    }
    QFile file(folder.filePath(kSavedCalculation));
    if (!file.open(QIODevice::WriteOnly) || file.write(saved_calculation) != saved_calculation.size())
        std::abort();
}

const cli::Command& StateCommand()
{
    for (const cli::Command& command : cli::kCommands) {
        if (std::string_view(command.name) == "state")
            return command;
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The program makes a gui application (without a display) for --report: so does the target, once.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QGuiApplication(*argc, *argv);
    QCoreApplication::setApplicationName("humidora-cli");
    scratch = new QTemporaryDir(QDir::tempPath() + "/humidora-cli-fuzz-XXXXXX");
    if (!scratch->isValid() || !QDir::setCurrent(scratch->path()))
        std::abort();
    std::atexit([] { delete scratch; }); // libFuzzer ends through exit(): remove the scratch folder
    captured_out = new Capture(STDOUT_FILENO);
    captured_err = new Capture(STDERR_FILENO);

    // The calculation every run finds in its folder, saved by the program itself.
    captured_out->Begin();
    captured_err->Begin();
    const int status = StateCommand().run({ "humidora-cli state", "--temperature", "30", "--dew-point", "12",
        "--system", "british", "--save", kSavedCalculation });
    captured_err->End();
    captured_out->End();
    QFile file(kSavedCalculation);
    if (status != cli::kSuccess || !file.open(QIODevice::ReadOnly))
        std::abort();
    saved_calculation = file.readAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const cli::Command& command = cli::kCommands[data[0] % cli::kCommands.size()];
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QStringList arguments { QString("humidora-cli ") + command.name };
    if (!text.isEmpty()) {
        for (QString argument : text.split('\n')) {
            argument.replace("..", "__");
            while (argument.startsWith('/'))
                argument.remove(0, 1);
            arguments << argument;
        }
    }

    ResetScratch();
    captured_out->Begin();
    captured_err->Begin();
    const int status = command.run(arguments);
    const std::string err = captured_err->End();
    const std::string out = captured_out->End();
    const std::string context
        = std::string(command.name) + " " + fuzz::Printable(arguments.join(' ').toStdString());
    FUZZ_CHECK(status == cli::kSuccess || status == cli::kRefused || status == cli::kUsageError
            || status == cli::kFileError,
        context + ": exit status " + std::to_string(status));
    if (status == cli::kFileError) {
        FUZZ_CHECK(out.empty(), context + ": a file error wrote to stdout: " + fuzz::Printable(out));
        FUZZ_CHECK(!err.empty(), context + ": a file error without a message");
    }
    if (status == cli::kUsageError) {
        FUZZ_CHECK(out.empty(), context + ": a usage error wrote to stdout: " + fuzz::Printable(out));
        FUZZ_CHECK(!err.empty(), context + ": a usage error without a message");
    }

    const std::string given = Lower(arguments.join(' ').toStdString());
    const std::string shown = Lower(out);
    if (given.find("nan") == std::string::npos)
        FUZZ_CHECK(shown.find("nan") == std::string::npos, context + " shows nan: " + fuzz::Printable(out));
    if (given.find("inf") == std::string::npos)
        FUZZ_CHECK(shown.find("inf") == std::string::npos, context + " shows inf: " + fuzz::Printable(out));

    // Help (however spelled: -h, --h, --help) is text, also next to --json.
    const bool help = out.rfind("Usage: ", 0) == 0;
    if (JsonRequested(arguments) && (status == cli::kSuccess || status == cli::kRefused) && !help) {
        QJsonParseError error {};
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
        FUZZ_CHECK(error.error == QJsonParseError::NoError && document.isObject(),
            context + ": --json wrote " + fuzz::Printable(out));
    }
    return 0;
}
