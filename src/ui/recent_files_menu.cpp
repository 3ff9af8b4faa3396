#include "ui/recent_files_menu.h"

#include "ui/file_commands.h"
#include "ui/form_ambient.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>

namespace humidora {
namespace {

/// An entry's text: its number as access key, then the path, the home folder as "~" where that is the
/// custom, shortened in the middle when long. Two calculations of the same name in different folders are
/// common ("calculation.humidora"), so the folder is shown, not the name alone.
QString EntryText(int number, const QString& path, const QFontMetrics& metrics)
{
    QString shown = QDir::toNativeSeparators(path);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QString home = QDir::homePath() + QLatin1Char('/');
    if (path.startsWith(home))
        shown = QStringLiteral("~/") + path.mid(home.size());
#endif
    shown = metrics.elidedText(shown, Qt::ElideMiddle, metrics.averageCharWidth() * 60);
    return QStringLiteral("&%1 %2").arg(number).arg(shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

} // namespace

RecentFilesMenu::RecentFilesMenu(Form_ambient& window, FileCommands& files, Opener open)
    : QObject(&window)
    , files_(files)
    , open_(open ? std::move(open) : [&files](const QString& path) { return files.openFile(path); })
{
    auto* file_menu = window.findChild<QMenu*>(QStringLiteral("menu_file"));
    menu_ = new QMenu(QStringLiteral("Recent &Files"), file_menu);
    menu_->setObjectName(QStringLiteral("menu_recent"));
    menu_->menuAction()->setObjectName(QStringLiteral("menu_recent"));
    menu_->setToolTipsVisible(true);
    // After Open, before the separator that follows it.
    const QList<QAction*> entries = file_menu->actions();
    const auto open_entry = std::find_if(entries.cbegin(), entries.cend(),
        [](const QAction* action) { return action->objectName() == QLatin1String("menu_open"); });
    QAction* before
        = open_entry != entries.cend() && open_entry + 1 != entries.cend() ? *(open_entry + 1) : nullptr;
    file_menu->insertMenu(before, menu_);

    connect(&files, &FileCommands::calculationFileUsed, this, [this](const QString& path) {
        history_.addRecentFile(path);
        rebuild();
    });
    // Another run of the program may have changed the list meanwhile.
    connect(file_menu, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
    rebuild();
}

bool RecentFilesMenu::choose(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        history_.removeRecentFile(path);
        rebuild();
        files_.tell(QStringLiteral("Cannot open \"%1\": the file no longer exists; it was removed from the "
                                   "recent files.")
                        .arg(QDir::toNativeSeparators(path)),
            true, path);
        return false;
    }
    return open_(path);
}

void RecentFilesMenu::rebuild()
{
    // The entries are made once and rewritten: an entry may be the one whose choice led here.
    if (entries_.isEmpty()) {
        for (qsizetype i = 0; i < FileHistory::kRecentFiles; ++i) {
            QAction* entry = menu_->addAction(QString());
            entry->setObjectName(QStringLiteral("menu_recent%1").arg(i + 1));
            connect(entry, &QAction::triggered, this, [this, entry] { choose(entry->data().toString()); });
            entries_ << entry;
        }
        menu_->addSeparator();
        QAction* clear = menu_->addAction(QStringLiteral("&Clear List"));
        clear->setObjectName(QStringLiteral("menu_recent_clear"));
        connect(clear, &QAction::triggered, this, [this] {
            history_.clearRecentFiles();
            rebuild();
        });
    }
    const QStringList files = history_.recentFiles();
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        QAction* entry = entries_[i];
        const QString path = files.value(i);
        entry->setVisible(!path.isEmpty());
        entry->setData(path);
        entry->setText(
            path.isEmpty() ? QString() : EntryText(static_cast<int>(i + 1), path, menu_->fontMetrics()));
        entry->setToolTip(QDir::toNativeSeparators(path));
    }
    menu_->menuAction()->setEnabled(!files.isEmpty());
}

} // namespace humidora
