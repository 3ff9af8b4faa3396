#include "ui/desktop_program.h"

#include "ui/file_history.h"
#include "ui/form_ambient.h"
#include "ui/recent_files_menu.h"
#include "ui/state_points_dock.h"
#include "ui/window_memory.h"
#include "ui/workspace.h"

namespace humidora {

DesktopProgram::DesktopProgram(
    const QString& file, FileCommands::FileNamePrompt prompt, FileCommands::ChangesPrompt ask_changes)
    : window_(std::make_unique<Form_ambient>())
    , state_points_(new StatePointsDock(*window_))
    , files_(new FileCommands(*window_, std::move(prompt), std::move(ask_changes)))
    , recent_files_(new RecentFilesMenu(*window_, *files_))
    , workspace_(new Workspace(*window_, *state_points_))
    , memory_(new WindowMemory(*window_))
{
    files_->setLastFolder(FileHistory().lastFolder());
    QObject::connect(files_, &FileCommands::lastFolderChanged, window_.get(),
        [](const QString& folder) { FileHistory().setLastFolder(folder); });
    if (!file.isEmpty())
        files_->openFile(file);
}

DesktopProgram::~DesktopProgram() = default;

void DesktopProgram::show()
{
    window_->show();
    memory_->reopenToolWindows();
}

} // namespace humidora
