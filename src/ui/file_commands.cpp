#include "ui/file_commands.h"

#include "calc/document/calculation_document.h"
#include "calc/document/product.h"
#include "io/calculation_file.h"
#include "io/report.h"
#include "ui/document_history.h"
#include "ui/form_ambient.h"
#include "ui/properties_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>

namespace humidora {
namespace {

/// `path` with `suffix` appended when it has no extension of its own.
QString WithSuffix(const QString& path, const char* suffix)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + QLatin1String(suffix);
}

/// How long a success stays in the status bar; a failure stays until the next message.
constexpr int kSuccessMilliseconds = 10000;

} // namespace

FileCommands::FileCommands(Form_ambient& window, FileNamePrompt prompt, ChangesPrompt ask_changes)
    : QObject(&window)
    , window_(window)
    , prompt_(std::move(prompt))
    , ask_changes_(std::move(ask_changes))
{
    if (!prompt_) {
        prompt_ = [this](Prompt kind, const QString& suggestion) {
            return AskWithFileDialog(&window_, kind, suggestion);
        };
    }
    if (!ask_changes_)
        ask_changes_ = [this](const QString& name) { return AskWithQuestionBox(&window_, name); };
    // Exit and the close box both close the window: one filter asks for both.
    window_.installEventFilter(this);
    const std::pair<const char*, bool (FileCommands::*)()> entries[] = {
        { "menu_open", &FileCommands::open },
        { "menu_save", &FileCommands::save },
        { "menu_saveas", &FileCommands::saveAs },
        { "menu_properties", &FileCommands::editProperties },
        { "menu_report", &FileCommands::report },
    };
    for (const auto& [name, command] : entries) {
        if (QAction* action = window_.findChild<QAction*>(QLatin1String(name)))
            connect(action, &QAction::triggered, this, [this, command = command] { (this->*command)(); });
    }
    followInputs();
    saved_ = current();
    updateTitle();
}

Calculation FileCommands::current() const
{
    return window_.document().ToCalculation();
}

bool FileCommands::hasUnsavedChanges() const
{
    // Undone back to the state on file: nothing to save. Other steps may also lead back to what is on file.
    return !window_.history().isClean() && !SameCalculation(current(), saved_);
}

const ProjectProperties& FileCommands::properties() const
{
    return window_.document().properties();
}

void FileCommands::setProperties(const ProjectProperties& properties)
{
    window_.document().SetProperties(properties);
}

bool FileCommands::offerToSaveChanges()
{
    if (!hasUnsavedChanges())
        return true;
    const QString name
        = current_file_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(current_file_).fileName();
    switch (ask_changes_(name)) {
    case ChangesAnswer::Save:
        return save();
    case ChangesAnswer::Discard:
        return true;
    case ChangesAnswer::Cancel:
        break;
    }
    return false;
}

bool FileCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close && !offerToSaveChanges()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool FileCommands::open()
{
    if (!offerToSaveChanges())
        return false;
    const QString path = ask(Prompt::Open, suggestedFolder());
    return !path.isEmpty() && load(path);
}

bool FileCommands::save()
{
    if (current_file_.isEmpty())
        return saveAs();
    return saveFile(current_file_);
}

bool FileCommands::saveAs()
{
    const QString suggestion = current_file_.isEmpty()
        ? QDir(suggestedFolder())
              .filePath(QStringLiteral("calculation.%1").arg(QLatin1String(kCalculationExtension)))
        : current_file_;
    const QString path = ask(Prompt::SaveAs, suggestion);
    return !path.isEmpty() && saveFile(WithSuffix(path, kCalculationExtension));
}

bool FileCommands::report()
{
    const QString base = current_file_.isEmpty() ? QStringLiteral("moist-air report")
                                                 : QFileInfo(current_file_).completeBaseName();
    const QString path = ask(Prompt::Report, QDir(suggestedFolder()).filePath(base + QStringLiteral(".pdf")));
    return !path.isEmpty() && writeReport(WithSuffix(path, "pdf"));
}

bool FileCommands::openFile(const QString& path)
{
    return offerToSaveChanges() && load(path);
}

bool FileCommands::load(const QString& path)
{
    // Everything is read and checked before the window is touched: a refused file changes nothing.
    const CalculationRead read = ReadCalculationFile(path);
    if (!read) {
        tell(read.problem, true, path);
        return false;
    }
    // A file opened starts a history of its own.
    window_.document().Load(*read.calculation);
    window_.history().startAfresh();
    markSaved(path);
    tell(QStringLiteral("Opened \"%1\".").arg(QDir::toNativeSeparators(current_file_)), false, current_file_);
    return true;
}

bool FileCommands::saveFile(const QString& path)
{
    // After an option click without typing, the boxes still show the state of the parameter given before;
    // the file can only bring back the state of its inputs. So that the window shows exactly what opening
    // the file will show, it is recalculated from its inputs first (this changes nothing otherwise).
    window_.document().Recalculate();
    const Calculation calculation = current();
    const QString error = WriteCalculationFile(path, calculation, &window_.logic().controls());
    if (!error.isEmpty()) {
        tell(error, true, path);
        calculationMayHaveChanged();
        return false;
    }
    markSaved(path);
    tell(QStringLiteral("Saved \"%1\".").arg(QDir::toNativeSeparators(current_file_)), false, current_file_);
    return true;
}

bool FileCommands::editProperties()
{
    auto* dialog = new PropertiesDialog(properties(), &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const ProjectProperties edited = dialog->properties();
        if (!(edited == properties()))
            setProperties(edited);
    });
    dialog->open();
    return true;
}

bool FileCommands::writeReport(const QString& path)
{
    ReportDetails details;
    details.properties = properties();
    if (!current_file_.isEmpty()) {
        details.calculation = QFileInfo(current_file_).fileName();
        if (modified_)
            details.calculation += QStringLiteral(" (changed since saved)");
    }
    details.created = QDateTime::currentDateTime();
    details.page = ReportPageSize(QLocale::system());
    details.chart = ReportChart(window_.logic());
    AddUncertainty(details, window_.logic());
    // The state points and processes of the calculation, in the window's units.
    AddStatePoints(details, window_.document().points(), window_.logic().CurrentInputs(),
        &window_.logic().uncertainty());
    const QString error = WriteReport(path, window_.logic().controls(), window_.logic().state(), details);
    if (!error.isEmpty()) {
        tell(error, true, path);
        return false;
    }
    useFolder(QFileInfo(path).absolutePath());
    tell(QStringLiteral("Report written to \"%1\".").arg(QDir::toNativeSeparators(path)), false, path);
    return true;
}

QString FileCommands::ask(Prompt prompt, const QString& suggestion)
{
    return prompt_(prompt, suggestion);
}

QString FileCommands::suggestedFolder() const
{
    if (!current_file_.isEmpty())
        return QFileInfo(current_file_).absolutePath();
    // A folder remembered from an earlier run may have gone since.
    if (!last_folder_.isEmpty() && QFileInfo(last_folder_).isDir())
        return last_folder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void FileCommands::followInputs()
{
    // The window shows every change of the calculation, undo and redo as well.
    connect(&window_, &Form_ambient::calculated, this, &FileCommands::calculationMayHaveChanged);
    connect(&window_.history().stack(), &QUndoStack::cleanChanged, this,
        &FileCommands::calculationMayHaveChanged);
}

void FileCommands::calculationMayHaveChanged()
{
    const bool modified = !current_file_.isEmpty() && hasUnsavedChanges();
    if (modified != modified_) {
        modified_ = modified;
        updateTitle();
    }
}

void FileCommands::markSaved(const QString& path)
{
    current_file_ = QFileInfo(path).absoluteFilePath();
    saved_ = current();
    window_.history().markSaved();
    modified_ = false;
    updateTitle();
    useFolder(QFileInfo(current_file_).absolutePath());
    emit calculationFileUsed(current_file_);
}

void FileCommands::setLastFolder(const QString& folder)
{
    last_folder_ = folder;
}

void FileCommands::useFolder(const QString& folder)
{
    if (folder == last_folder_)
        return;
    last_folder_ = folder;
    emit lastFolderChanged(folder);
}

void FileCommands::updateTitle()
{
    QString title
        = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(kProductTitle), QString::fromUtf8(kWebAddress));
    if (!current_file_.isEmpty())
        title += QStringLiteral(" - %1[*]").arg(QFileInfo(current_file_).fileName());
    window_.setWindowTitle(title);
    window_.setWindowModified(modified_);
}

void FileCommands::tell(const QString& message, bool failure, const QString& path)
{
    // The status bar is as wide as the window: it names the file by its name, and the whole message with
    // the full path is its tool tip.
    QString shown = message;
    const QString name = QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
    for (const QString& full : { path, QFileInfo(path).absoluteFilePath() })
        shown.replace(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(full)), name);
    window_.statusBar()->showMessage(shown, failure ? 0 : kSuccessMilliseconds);
    window_.statusBar()->setToolTip(message);
}

QString AskWithFileDialog(QWidget* parent, FileCommands::Prompt prompt, const QString& suggestion)
{
    const QString calculations
        = QStringLiteral("%1 calculations (*.%2)")
              .arg(QString::fromUtf8(kProductName), QLatin1String(kCalculationExtension));
    const QString any = QStringLiteral("All files (*)");
    QFileDialog dialog(parent);
    switch (prompt) {
    case FileCommands::Prompt::Open:
        dialog.setWindowTitle(QStringLiteral("Open Calculation"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({ calculations, any });
        break;
    case FileCommands::Prompt::SaveAs:
        dialog.setWindowTitle(QStringLiteral("Save Calculation As"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({ calculations, any });
        dialog.setDefaultSuffix(QLatin1String(kCalculationExtension));
        break;
    case FileCommands::Prompt::Report:
        dialog.setWindowTitle(QStringLiteral("Save Report"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({ QStringLiteral("PDF documents (*.pdf)"), any });
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        break;
    }
    const QFileInfo start(suggestion);
    if (start.isDir()) {
        dialog.setDirectory(suggestion);
    } else {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

FileCommands::ChangesAnswer AskWithQuestionBox(QWidget* parent, const QString& name)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProductTitle),
        QStringLiteral("Do you want to save the changes to \"%1\"?").arg(name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(QStringLiteral("Your changes will be lost if you don't save them."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return FileCommands::ChangesAnswer::Save;
    case QMessageBox::Discard:
        return FileCommands::ChangesAnswer::Discard;
    default:
        return FileCommands::ChangesAnswer::Cancel;
    }
}

} // namespace humidora
