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

QString DocumentOpeningMessage(const QString& fileName, const DocumentOpening& opening)
{
    if (opening.opened)
        return {};
    if (!opening.found.isEmpty())
        return QStringLiteral("Could not open \"%1\": the desktop has no program that shows it.")
            .arg(QDir::toNativeSeparators(opening.found));
    QStringList paths;
    for (const QString& path : opening.looked_for)
        paths << QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
    return QStringLiteral("The document \"%1\" was not found; looked for %2.")
        .arg(fileName, paths.join(QStringLiteral(", ")));
}

SystemDesktopServices::SystemDesktopServices(QStringList folders)
    : folders_(std::move(folders))
    , fixed_folders_(true)
{
}

DocumentOpening SystemDesktopServices::openDocument(const QString& fileName)
{
    DocumentOpening opening;
    for (const QString& folder : fixed_folders_ ? folders_ : DocumentFolders()) {
        const QString found = LocateDocument(fileName, { folder });
        opening.looked_for << (found.isEmpty() ? QDir(folder).absoluteFilePath(fileName) : found);
        if (!found.isEmpty()) {
            opening.found = found;
            opening.opened = QDesktopServices::openUrl(QUrl::fromLocalFile(found));
            break;
        }
    }
    return opening;
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
