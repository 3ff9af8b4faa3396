// The main window as the desktop program runs it: the File commands with File > Recent Files, the calculation
// file given on the command line, and the windows' places and the file dialogs' folder remembered between
// runs in the program's settings (QSettings under the application's names). The calculation itself is
// kept only in the files the user saves.
#pragma once

#include "ui/file_commands.h"

#include <memory>

class Form_ambient;

namespace humidora {

class RecentFilesMenu;
class StatePointsDock;
class WindowMemory;
class Workspace;

class DesktopProgram
{
public:
    /// Builds the window. `file`, when not empty, is opened at once; a refused file is explained in the
    /// status bar and the window keeps its defaults. `prompt` asks for file names, `ask_changes` whether
    /// unsaved changes are to be saved (default: the platform's dialogs).
    explicit DesktopProgram(const QString& file = {}, FileCommands::FileNamePrompt prompt = {},
        FileCommands::ChangesPrompt ask_changes = {});
    ~DesktopProgram();

    Form_ambient& window() { return *window_; }
    FileCommands& files() { return *files_; }
    RecentFilesMenu& recentFiles() { return *recent_files_; }
    StatePointsDock& statePoints() { return *state_points_; }

    /// Shows the main window, then the tool windows that were open when the program last ended.
    void show();

private:
    std::unique_ptr<Form_ambient> window_;
    StatePointsDock* state_points_; ///< owned by the window
    FileCommands* files_;           ///< owned by the window
    RecentFilesMenu* recent_files_; ///< owned by the window
    Workspace* workspace_;          ///< owned by the window
    WindowMemory* memory_;          ///< owned by the window
};

} // namespace humidora
