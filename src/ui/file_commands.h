// The File menu's Open, Save, Save As and Report of the main window: calculation files and the PDF
// report, the file name and modified marker in the title, and every outcome in the status bar (never in
// a message box). Nothing unsaved is lost without asking: Exit, the close box, Open and every other way of
// replacing the calculation ask first, with the desktop's usual Save / Discard / Cancel question.
#pragma once

#include "calc/document/calculation.h"

#include <QObject>
#include <QString>
#include <functional>

class Form_ambient;

namespace humidora {

class FileCommands : public QObject
{
    Q_OBJECT

public:
    /// Which file the user is asked for.
    enum class Prompt
    {
        Open,   ///< an existing calculation
        SaveAs, ///< a name for the calculation
        Report, ///< a name for the PDF report
    };
    /// Asks the user for a file name, starting from `suggestion` (a folder or a full name); an empty
    /// result means the user cancelled. The default shows the platform's file dialogs; tests pass names.
    using FileNamePrompt = std::function<QString(Prompt prompt, const QString& suggestion)>;

    /// The answer to the question whether unsaved changes are to be saved.
    enum class ChangesAnswer
    {
        Save,
        Discard,
        Cancel,
    };
    /// Asks it for the calculation named `name` (its file name, or "Untitled"). The default shows the
    /// platform's question box; tests pass answers.
    using ChangesPrompt = std::function<ChangesAnswer(const QString& name)>;

    /// Wires the File entries of `window` (found by objectName), follows its inputs to keep the
    /// modified marker and asks before the window closes with unsaved changes. The commands live as long
    /// as the window (they are its child).
    explicit FileCommands(Form_ambient& window, FileNamePrompt prompt = {}, ChangesPrompt ask_changes = {});

    /// The calculation file the window shows (absolute path), or empty.
    const QString& currentFile() const { return current_file_; }
    /// True when the calculation (the window's inputs, the state points and processes, the properties)
    /// differs from the one last opened or saved (or, before that, from the start-up): closing or
    /// replacing it would lose something.
    bool hasUnsavedChanges() const;

    /// File > Properties: the project, engineer and notes of the calculation. Setting them counts as a
    /// change like an edited input; opening a file replaces them and saving writes them.
    const ProjectProperties& properties() const;
    void setProperties(const ProjectProperties& properties);

    /// Call before anything that would replace or end the calculation. With unsaved changes it asks:
    /// Save saves them (by Save As when there is no file yet), Discard lets them go, Cancel keeps
    /// everything. Returns true when the caller may go on: nothing was unsaved, the changes were
    /// discarded, or they were saved successfully.
    bool offerToSaveChanges();

    /// The commands, as the menu entries run them. Each returns true when it did what was asked; a
    /// cancelled dialog or a failure returns false, and a failure is explained in the status bar.
    bool open();
    bool save();
    bool saveAs();
    /// Opens the Properties dialog (window-modal, returns at once); OK with changed texts sets them.
    bool editProperties();
    bool report();

    /// The same without a dialog. openFile asks about unsaved changes first, as open() does.
    bool openFile(const QString& path);
    bool saveFile(const QString& path);
    bool writeReport(const QString& path);

    /// The folder the dialogs start in while the window shows no file, e.g. the one of an earlier run.
    void setLastFolder(const QString& folder);
    /// Shows an outcome in the status bar; a failure stays until the next message.
    void tell(const QString& message, bool failure, const QString& path);

signals:
    /// A calculation file was opened or saved (absolute path).
    void calculationFileUsed(const QString& path);
    /// The folder of the file last opened, saved or written changed.
    void lastFolderChanged(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString ask(Prompt prompt, const QString& suggestion);
    bool load(const QString& path);
    QString suggestedFolder() const;
    /// The calculation as the window's document holds it.
    Calculation current() const;
    void followInputs();
    void calculationMayHaveChanged();
    void markSaved(const QString& path);
    void updateTitle();
    void useFolder(const QString& folder);

    Form_ambient& window_;
    FileNamePrompt prompt_;
    ChangesPrompt ask_changes_;
    QString current_file_;
    QString last_folder_; ///< where the last file was opened, saved or written
    Calculation saved_;   ///< as last opened or saved
    bool modified_ = false;
};

/// The platform's file dialogs, parented to `parent`: what FileCommands uses unless told otherwise.
QString AskWithFileDialog(QWidget* parent, FileCommands::Prompt prompt, const QString& suggestion);

/// The platform's question about unsaved changes, parented to `parent`.
FileCommands::ChangesAnswer AskWithQuestionBox(QWidget* parent, const QString& name);

} // namespace humidora
