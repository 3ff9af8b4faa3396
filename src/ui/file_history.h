// The files the user worked with, kept between runs in the program's settings: the calculations opened or
// saved lately, newest first, and the folder the file dialogs used last. No widgets: the list's rules are
// tested on their own, and the File menu only shows what this returns.
#pragma once

#include <QString>
#include <QStringList>

namespace humidora {

class FileHistory
{
public:
    /// How many files File > Recent Files lists.
    static constexpr qsizetype kRecentFiles = 8;

    /// The recent calculation files (absolute paths), newest first, at most kRecentFiles. Entries that a
    /// hand-edited or damaged settings file holds twice, empty or relative are left out.
    QStringList recentFiles() const;
    /// Puts `path` first (made absolute); an entry for the same file moves up instead of repeating, and
    /// the oldest beyond kRecentFiles drops off.
    void addRecentFile(const QString& path);
    /// Takes the entry for the file `path` out of the list.
    void removeRecentFile(const QString& path);
    void clearRecentFiles();

    /// The folder the file dialogs used last, or empty.
    QString lastFolder() const;
    void setLastFolder(const QString& folder);
};

} // namespace humidora
