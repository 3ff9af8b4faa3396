// How the program hands documents and web addresses to the desktop. The windows talk to the interface
// only, so that tests can put a recording fake in place of the real desktop.
#pragma once

#include <QString>
#include <QStringList>

namespace humidora {

/// What became of a request to open a document: enough to tell the user where it was looked for.
struct DocumentOpening
{
    QStringList looked_for; ///< full paths tried, in order, up to the one found
    QString found;          ///< absolute path of the document, empty when it was nowhere
    bool opened = false;    ///< handed over to the desktop's viewer
};

/// The status-bar message about a document that did not open, naming the paths looked for or the one
/// found; empty when it was opened.
QString DocumentOpeningMessage(const QString& fileName, const DocumentOpening& opening);

class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    /// Opens the document `fileName`, a bare file name such as "Humidora_Brochure.pdf", with the
    /// desktop's associated program, and says where it was looked for and whether it was handed over.
    virtual DocumentOpening openDocument(const QString& fileName) = 0;

    /// Opens a web address ("https://...") in the desktop's browser. Returns whether it was handed over.
    virtual bool openAddress(const QString& address) = 0;
};

/// The folders searched for a document, in this order: the current working directory (where the user
/// started the program), the folder of the executable (the build tree keeps the documents there), the
/// data folder beside it (../share/humidora, an installation wherever it was moved) and the data folder
/// of the configured installation.
QStringList DocumentFolders();

/// Absolute path of the first existing file named `fileName` in `folders`, or an empty string.
QString LocateDocument(const QString& fileName, const QStringList& folders);

/// The desktop itself: QDesktopServices, which runs xdg-open on Linux.
class SystemDesktopServices final : public DesktopServices
{
public:
    /// Searches DocumentFolders() as they are at the time of each request.
    SystemDesktopServices() = default;
    /// Searches the given folders instead.
    explicit SystemDesktopServices(QStringList folders);

    DocumentOpening openDocument(const QString& fileName) override;
    /// Only http and https addresses are opened; anything else is refused without handing it over.
    bool openAddress(const QString& address) override;

private:
    QStringList folders_;
    bool fixed_folders_ = false;
};

} // namespace humidora
