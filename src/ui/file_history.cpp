#include "ui/file_history.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>

namespace humidora {
namespace {

const QString kRecentFilesKey = QStringLiteral("files/recent");
const QString kLastFolderKey = QStringLiteral("files/last_folder");

/// True when both paths name the same file: for existing files through links, as the file system resolves
/// them; otherwise by their absolute paths, ignoring case where the platform's file systems usually do.
bool SameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    constexpr Qt::CaseSensitivity kCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kCase = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(first.absoluteFilePath())
               .compare(QDir::cleanPath(second.absoluteFilePath()), kCase)
        == 0;
}

void Store(const QStringList& files)
{
    QSettings().setValue(kRecentFilesKey, files);
}

} // namespace

QStringList FileHistory::recentFiles() const
{
    QStringList files;
    for (const QString& path : QSettings().value(kRecentFilesKey).toStringList()) {
        if (files.size() == kRecentFiles)
            break;
        if (path.isEmpty() || QDir::isRelativePath(path))
            continue;
        const QString clean = QDir::cleanPath(path);
        if (std::none_of(
                files.cbegin(), files.cend(), [&](const QString& kept) { return SameFile(kept, clean); }))
            files << clean;
    }
    return files;
}

void FileHistory::addRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeIf([&](const QString& kept) { return SameFile(kept, absolute); });
    files.prepend(absolute);
    Store(files.mid(0, kRecentFiles));
}

void FileHistory::removeRecentFile(const QString& path)
{
    QStringList files = recentFiles();
    if (files.removeIf([&](const QString& kept) { return SameFile(kept, path); }) > 0)
        Store(files);
}

void FileHistory::clearRecentFiles()
{
    QSettings().remove(kRecentFilesKey);
}

QString FileHistory::lastFolder() const
{
    return QSettings().value(kLastFolderKey).toString();
}

void FileHistory::setLastFolder(const QString& folder)
{
    QSettings().setValue(kLastFolderKey, folder);
}

} // namespace humidora
