#include "ui/desktop_services.h"

#include "ui/install_dirs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace humidora {

QStringList DocumentFolders()
{
    QStringList folders { QDir::currentPath() };
    if (QCoreApplication::instance() != nullptr) {
        const QDir programs(QCoreApplication::applicationDirPath());
        folders << programs.path()
                << QDir::cleanPath(programs.filePath(QStringLiteral(HUMIDORA_DATA_DIR_FROM_PROGRAMS)));
    }
    folders << QStringLiteral(HUMIDORA_INSTALLED_DATA_DIR);
    return folders;
}

QString LocateDocument(const QString& fileName, const QStringList& folders)
{
    if (fileName.isEmpty())
        return {};
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).filePath(fileName));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

SystemDesktopServices::SystemDesktopServices(QStringList folders)
    : folders_(std::move(folders))
    , fixed_folders_(true)
{
}

bool SystemDesktopServices::openDocument(const QString& fileName)
{
    const QString path = LocateDocument(fileName, fixed_folders_ ? folders_ : DocumentFolders());
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool SystemDesktopServices::openAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace humidora
