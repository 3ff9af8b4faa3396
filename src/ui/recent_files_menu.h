// File > Recent Files of the main window: the calculations of FileHistory, newest first, numbered for the
// keyboard, and an entry that clears the list. A chosen file that no longer exists leaves the list with a
// word in the status bar; any other is opened as File > Open opens it.
#pragma once

#include "ui/file_history.h"

#include <QList>
#include <QObject>
#include <functional>

class Form_ambient;
class QAction;
class QMenu;

namespace humidora {

class FileCommands;

class RecentFilesMenu : public QObject
{
    Q_OBJECT

public:
    /// Opens a chosen file; returns true when it was opened.
    using Opener = std::function<bool(const QString& path)>;

    /// Adds the submenu to the File menu of `window`, after Open, and keeps FileHistory up to date with the
    /// files `files` opens and saves. Chosen files go to `open` (by default `files.openFile`). The menu
    /// lives as long as the window (it is the window's child).
    RecentFilesMenu(Form_ambient& window, FileCommands& files, Opener open = {});

    /// Opens `path` as its entry does.
    bool choose(const QString& path);

private:
    void rebuild();

    FileCommands& files_;
    Opener open_;
    FileHistory history_;
    QMenu* menu_ = nullptr;
    QList<QAction*> entries_; ///< one per place in the list, hidden while empty
};

} // namespace humidora
