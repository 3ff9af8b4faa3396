// The desktop program's memory between runs, offscreen: File > Recent Files, the file given on the command
// line, the windows' places and the dialogs' folder. Each "run" is a DesktopProgram built anew on the same
// settings. The settings live in a scratch folder inside Qt's test-mode folder, never in the user's.
#include "ui/desktop_program.h"
#include "ui/file_history.h"
#include "ui/form_ambient.h"
#include "ui/recent_files_menu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using humidora::DesktopProgram;
using humidora::FileHistory;

namespace {

QLineEdit* Box(DesktopProgram& program, int number)
{
    return program.window().findChild<QLineEdit*>(QStringLiteral("Text%1").arg(number));
}

QAction* Action(DesktopProgram& program, const QString& name)
{
    return program.window().findChild<QAction*>(name);
}

void Type(DesktopProgram& program, int box, const QString& text)
{
    QLineEdit* edit = Box(program, box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

/// The texts of the visible Recent Files entries, top to bottom.
QStringList RecentEntries(DesktopProgram& program)
{
    QStringList texts;
    for (int number = 1; number <= FileHistory::kRecentFiles; ++number) {
        QAction* entry = Action(program, QStringLiteral("menu_recent%1").arg(number));
        if (entry != nullptr && entry->isVisible())
            texts << entry->text();
    }
    return texts;
}

/// The objectNames of the visible top-level windows, sorted.
QStringList OpenWindows()
{
    QStringList names;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            names << window->objectName();
    }
    names.sort();
    return names;
}

/// The visible top-level window of this objectName, or null.
QWidget* OpenWindow(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == name)
            return window;
    }
    return nullptr;
}

QString Status(DesktopProgram& program)
{
    return program.window().statusBar()->currentMessage();
}

} // namespace

class DesktopProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void historyKeepsTheLastEightNewestFirst();
    void historyKnowsAFileByAnyOfItsNames();
    void historyReadsDamagedSettingsSafely();
    void recentFilesFollowOpenAndSave();
    void recentEntryOpensItsFile();
    void recentEntryAsksBeforeUnsavedWorkIsLost();
    void missingRecentFileIsRemovedWhenChosen();
    void refusedRecentFileStaysAndIsExplained();
    void clearListEmptiesTheMenu();
    void fileGivenAtStartIsOpened();
    void refusedFileAtStartLeavesTheDefaults();
    void toolWindowsReopenWhereTheyWere();
    void mainWindowKeepsItsPlace();
    void dialogsStartInTheLastFolder();
    void calculationIsNotRemembered();

private:
    QString save(const QString& name, const QString& temperature);

    QTemporaryDir folder_;
    std::unique_ptr<QTemporaryDir> config_;
};

void DesktopProgramTest::initTestCase()
{
    // Qt's test-mode folders stand in for the user's; inside them each run keeps its settings in a folder
    // of its own, as other checkouts may run this test at the same time under the same account.
    QStandardPaths::setTestModeEnabled(true);
    const QString test_folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(test_folder.contains(QStringLiteral(".qttest")));
    QVERIFY(QDir().mkpath(test_folder));
    config_ = std::make_unique<QTemporaryDir>(test_folder + QStringLiteral("/desktop_program_test-XXXXXX"));
    QVERIFY(config_->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_->path());
    QCoreApplication::setOrganizationName(QStringLiteral("Humidora"));
    QCoreApplication::setApplicationName(QStringLiteral("humidora"));
    QVERIFY(QSettings().fileName().startsWith(config_->path()));
    QVERIFY(folder_.isValid());
}

void DesktopProgramTest::init()
{
    QSettings().clear();
}

QString DesktopProgramTest::save(const QString& name, const QString& temperature)
{
    DesktopProgram program;
    Type(program, 1, temperature);
    const QString path = folder_.filePath(name);
    if (!program.files().saveFile(path))
        return {};
    return path;
}

// ---- The list itself ------------------------------------------------------------------------------------

void DesktopProgramTest::historyKeepsTheLastEightNewestFirst()
{
    FileHistory history;
    QStringList added;
    for (int i = 1; i <= 10; ++i) {
        added.prepend(folder_.filePath(QStringLiteral("calculation %1.humidora").arg(i)));
        history.addRecentFile(added.first());
    }
    QCOMPARE(history.recentFiles(), added.mid(0, 8));

    history.removeRecentFile(added[3]);
    added.removeAt(3);
    QCOMPARE(history.recentFiles(), added.mid(0, 7));
    history.clearRecentFiles();
    QCOMPARE(history.recentFiles(), QStringList());
}

void DesktopProgramTest::historyKnowsAFileByAnyOfItsNames()
{
    const QString a = save(QStringLiteral("a.humidora"), QStringLiteral("30"));
    const QString b = save(QStringLiteral("b.humidora"), QStringLiteral("31"));
    QVERIFY(!a.isEmpty() && !b.isEmpty());
    QVERIFY(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
    const QString link = folder_.filePath(QStringLiteral("link.humidora"));
    QVERIFY(QFile::link(a, link));

    FileHistory history;
    history.clearRecentFiles();
    history.addRecentFile(a);
    history.addRecentFile(b);
    // The same file again, through "..", a relative path and a symbolic link: it moves up, never twice.
    const QString through_parent = folder_.filePath(QStringLiteral("sub/../a.humidora"));
    history.addRecentFile(through_parent);
    QCOMPARE(history.recentFiles(), QStringList({ a, b }));
    const QString current = QDir::currentPath();
    QDir::setCurrent(folder_.path());
    history.addRecentFile(QStringLiteral("b.humidora"));
    QDir::setCurrent(current);
    QCOMPARE(history.recentFiles(), QStringList({ b, a }));
    history.addRecentFile(link);
    QCOMPARE(history.recentFiles().size(), 2);
    QCOMPARE(history.recentFiles().first(), link);
    history.removeRecentFile(through_parent);
    QCOMPARE(history.recentFiles(), QStringList({ b }));
}

void DesktopProgramTest::historyReadsDamagedSettingsSafely()
{
    QStringList stored;
    for (int i = 1; i <= 12; ++i)
        stored << QStringLiteral("/calculations/%1.humidora").arg(i);
    stored.insert(1, QString());
    stored.insert(2, QStringLiteral("relative.humidora"));
    stored.insert(3, QStringLiteral("/calculations/./1.humidora"));
    QSettings().setValue(QStringLiteral("files/recent"), stored);
    QStringList expected;
    for (int i = 1; i <= 8; ++i)
        expected << QStringLiteral("/calculations/%1.humidora").arg(i);
    QCOMPARE(FileHistory().recentFiles(), expected);

    // A single text, as another program version or a hand edit may leave it, is a list of one.
    QSettings().setValue(QStringLiteral("files/recent"), QStringLiteral("/calculations/one.humidora"));
    QCOMPARE(FileHistory().recentFiles(), QStringList({ QStringLiteral("/calculations/one.humidora") }));
    QSettings().setValue(QStringLiteral("files/recent"), 42);
    QCOMPARE(FileHistory().recentFiles(), QStringList());
}

// ---- File > Recent Files -------------------------------------------------------------------------------

void DesktopProgramTest::recentFilesFollowOpenAndSave()
{
    DesktopProgram program;
    QAction* submenu = Action(program, QStringLiteral("menu_recent"));
    QVERIFY(submenu != nullptr);
    QVERIFY(!submenu->isEnabled());
    // In the File menu right after Open.
    const QList<QAction*> file_entries
        = program.window().findChild<QMenu*>(QStringLiteral("menu_file"))->actions();
    const qsizetype open_at = file_entries.indexOf(Action(program, QStringLiteral("menu_open")));
    QCOMPARE(file_entries.value(open_at + 1), submenu);

    const QString a = folder_.filePath(QStringLiteral("a & b.humidora"));
    const QString c = folder_.filePath(QStringLiteral("c.humidora"));
    QVERIFY(program.files().saveFile(a));
    QVERIFY(program.files().saveFile(c));
    QVERIFY(program.files().writeReport(folder_.filePath(QStringLiteral("report.pdf")))); // not a calculation
    QVERIFY(submenu->isEnabled());
    const QStringList entries = RecentEntries(program);
    QVERIFY2(entries.size() == 2, qPrintable(entries.join(QLatin1Char('|'))));
    QVERIFY2(
        entries[0].startsWith(QStringLiteral("&1 ")) && entries[0].endsWith(QStringLiteral("c.humidora")),
        qPrintable(entries[0]));
    // An ampersand of the name is shown as such, not taken for an access key.
    QVERIFY2(entries[1].startsWith(QStringLiteral("&2 "))
            && entries[1].endsWith(QStringLiteral("a && b.humidora")),
        qPrintable(entries[1]));
    QCOMPARE(Action(program, QStringLiteral("menu_recent2"))->toolTip(), QDir::toNativeSeparators(a));

    QVERIFY(program.files().openFile(a));
    QVERIFY(RecentEntries(program).first().endsWith(QStringLiteral("a && b.humidora")));
}

void DesktopProgramTest::recentEntryOpensItsFile()
{
    const QString warm = save(QStringLiteral("warm.humidora"), QStringLiteral("30"));
    const QString cold = save(QStringLiteral("cold.humidora"), QStringLiteral("-5"));
    QVERIFY(!warm.isEmpty() && !cold.isEmpty());

    DesktopProgram program;
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("25"));
    QVERIFY(RecentEntries(program).value(1).endsWith(QStringLiteral("warm.humidora")));
    Action(program, QStringLiteral("menu_recent2"))->trigger();
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("30"));
    QCOMPARE(program.files().currentFile(), warm);
    QVERIFY(program.window().windowTitle().contains(QStringLiteral("warm.humidora")));
    QVERIFY(RecentEntries(program).value(0).endsWith(QStringLiteral("warm.humidora")));
    QCOMPARE(FileHistory().recentFiles(), QStringList({ warm, cold }));
}

void DesktopProgramTest::recentEntryAsksBeforeUnsavedWorkIsLost()
{
    const QString warm = save(QStringLiteral("warm.humidora"), QStringLiteral("30"));
    QVERIFY(!warm.isEmpty());
    using Answer = humidora::FileCommands::ChangesAnswer;
    QList<Answer> answers = { Answer::Cancel, Answer::Discard };
    QStringList asked;
    DesktopProgram program({}, {}, [&](const QString& name) {
        asked << name;
        return answers.takeFirst();
    });
    Type(program, 1, QStringLiteral("33"));

    Action(program, QStringLiteral("menu_recent1"))->trigger();
    QCOMPARE(asked, QStringList({ "Untitled" }));
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("33"));
    QCOMPARE(program.files().currentFile(), QString());

    Action(program, QStringLiteral("menu_recent1"))->trigger();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("30"));
    QCOMPARE(program.files().currentFile(), warm);
}

void DesktopProgramTest::missingRecentFileIsRemovedWhenChosen()
{
    const QString kept = save(QStringLiteral("kept.humidora"), QStringLiteral("30"));
    const QString gone = save(QStringLiteral("gone.humidora"), QStringLiteral("12"));
    QVERIFY(!kept.isEmpty() && !gone.isEmpty());
    QVERIFY(QFile::remove(gone));

    DesktopProgram program;
    Type(program, 1, QStringLiteral("21"));
    QCOMPARE(RecentEntries(program).size(), 2);
    Action(program, QStringLiteral("menu_recent1"))->trigger();
    QCOMPARE(Status(program),
        QStringLiteral("Cannot open \"gone.humidora\": the file no longer exists; it was removed from the "
                       "recent files."));
    QVERIFY(program.window().statusBar()->toolTip().contains(QDir::toNativeSeparators(gone)));
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("21")); // the window keeps what was typed
    QCOMPARE(RecentEntries(program).size(), 1);
    QVERIFY(RecentEntries(program).first().endsWith(QStringLiteral("kept.humidora")));
    QCOMPARE(FileHistory().recentFiles(), QStringList({ kept }));
}

void DesktopProgramTest::refusedRecentFileStaysAndIsExplained()
{
    const QString damaged = save(QStringLiteral("damaged.humidora"), QStringLiteral("30"));
    QVERIFY(!damaged.isEmpty());
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{ \"format\": ");
    file.close();

    DesktopProgram program;
    Action(program, QStringLiteral("menu_recent1"))->trigger();
    QVERIFY2(Status(program).startsWith(QStringLiteral("Cannot open \"damaged.humidora\"")),
        qPrintable(Status(program)));
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("25"));
    // It may be mended, or be on a drive that is not mounted now: it stays in the list.
    QCOMPARE(FileHistory().recentFiles(), QStringList({ damaged }));
}

void DesktopProgramTest::clearListEmptiesTheMenu()
{
    QVERIFY(!save(QStringLiteral("one.humidora"), QStringLiteral("30")).isEmpty());
    QVERIFY(!save(QStringLiteral("two.humidora"), QStringLiteral("31")).isEmpty());
    DesktopProgram program;
    QCOMPARE(RecentEntries(program).size(), 2);
    Action(program, QStringLiteral("menu_recent_clear"))->trigger();
    QCOMPARE(RecentEntries(program), QStringList());
    QVERIFY(!Action(program, QStringLiteral("menu_recent"))->isEnabled());
    QCOMPARE(FileHistory().recentFiles(), QStringList());
    DesktopProgram next_run;
    QCOMPARE(RecentEntries(next_run), QStringList());
}

// ---- The file given on the command line ----------------------------------------------------------------

void DesktopProgramTest::fileGivenAtStartIsOpened()
{
    const QString path = save(QStringLiteral("started.humidora"), QStringLiteral("-12.5"));
    QVERIFY(!path.isEmpty());
    FileHistory().clearRecentFiles();

    DesktopProgram program(path);
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("-12.5"));
    QCOMPARE(program.files().currentFile(), path);
    QVERIFY(program.window().windowTitle().endsWith(QStringLiteral(" - started.humidora[*]")));
    QVERIFY(!program.window().isWindowModified());
    QCOMPARE(FileHistory().recentFiles(), QStringList({ path }));
}

void DesktopProgramTest::refusedFileAtStartLeavesTheDefaults()
{
    const QString missing = folder_.filePath(QStringLiteral("missing.humidora"));
    const QString not_json = folder_.filePath(QStringLiteral("notes.humidora"));
    QFile file(not_json);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("temperature 30\n");
    file.close();

    for (const QString& path : { missing, not_json }) {
        DesktopProgram program(path);
        QVERIFY2(
            Status(program).startsWith(QStringLiteral("Cannot open \"%1\"").arg(QFileInfo(path).fileName())),
            qPrintable(Status(program)));
        QCOMPARE(Box(program, 1)->text(), QStringLiteral("25"));
        QCOMPARE(Box(program, 2)->text(), QStringLiteral("101.325"));
        QCOMPARE(program.files().currentFile(), QString());
    }
    QCOMPARE(FileHistory().recentFiles(), QStringList());
}

// ---- Windows and folders between runs ------------------------------------------------------------------

void DesktopProgramTest::toolWindowsReopenWhereTheyWere()
{
    const QPoint saturation_place(140, 90);
    {
        DesktopProgram program;
        program.show();
        Action(program, QStringLiteral("menu_sat"))->trigger();
        Action(program, QStringLiteral("menu_convertor"))->trigger();
        Action(program, QStringLiteral("menu_chart"))->trigger();
        // The chart opens in its dock of the main window, here floated by the user.
        QCOMPARE(OpenWindows(), QStringList({ "Form_ambient", "Form_saturation", "Form_unit_convertor" }));
        auto* chart = program.window().findChild<QDockWidget*>(QStringLiteral("dock_chart"));
        chart->setFloating(true);
        chart->setGeometry(QRect(100, 150, 500, 400));
        OpenWindow(QStringLiteral("Form_saturation"))->move(saturation_place);
        // The converter is closed by the user before the program ends: it stays closed next time.
        OpenWindow(QStringLiteral("Form_unit_convertor"))->close();
        QVERIFY(program.window().close());
    }
    QApplication::processEvents();
    QCOMPARE(OpenWindows(), QStringList());

    DesktopProgram program;
    program.show();
    QCOMPARE(OpenWindows(), QStringList({ "Form_ambient", "Form_saturation", "dock_chart" }));
    QCOMPARE(OpenWindow(QStringLiteral("Form_saturation"))->pos(), saturation_place);
    auto* chart = program.window().findChild<QDockWidget*>(QStringLiteral("dock_chart"));
    QVERIFY(chart->isVisible() && chart->isFloating());
    QCOMPARE(chart->geometry(), QRect(100, 150, 500, 400));
    QVERIFY(program.window().chart() != nullptr);
    // Closed and opened again from the menu later in the run, it comes back where it was left too.
    OpenWindow(QStringLiteral("Form_saturation"))->move(saturation_place + QPoint(30, 20));
    OpenWindow(QStringLiteral("Form_saturation"))->close();
    QApplication::processEvents();
    QCOMPARE(OpenWindows(), QStringList({ "Form_ambient", "dock_chart" }));
    Action(program, QStringLiteral("menu_sat"))->trigger();
    QCOMPARE(OpenWindow(QStringLiteral("Form_saturation"))->pos(), saturation_place + QPoint(30, 20));
    program.window().close();
}

void DesktopProgramTest::mainWindowKeepsItsPlace()
{
    QRect place(60, 40, 900, 760);
    {
        DesktopProgram program;
        program.show();
        Action(program, QStringLiteral("menu_state_points"))->trigger(); // the dock of state points
        // The form keeps its size below the dock: the window is at least as high as both.
        place.setHeight(std::max(place.height(), program.window().minimumSizeHint().height()));
        program.window().setGeometry(place);
        program.window().close();
    }
    DesktopProgram program;
    program.show();
    QCOMPARE(program.window().geometry(), place);
    QVERIFY(program.window().findChild<QWidget*>(QStringLiteral("dock_state_points"))->isVisible());
    // Closed in this run, the dock stays closed in the next.
    Action(program, QStringLiteral("menu_state_points"))->trigger();
    program.window().close();
    DesktopProgram next_run;
    next_run.show();
    QVERIFY(!next_run.window().findChild<QWidget*>(QStringLiteral("dock_state_points"))->isVisible());
    next_run.window().close();
}

void DesktopProgramTest::dialogsStartInTheLastFolder()
{
    QTemporaryDir project;
    QVERIFY(project.isValid());
    {
        DesktopProgram program;
        QVERIFY(program.files().saveFile(QDir(project.path()).filePath(QStringLiteral("plant.humidora"))));
    }
    QStringList suggestions;
    const auto record = [&suggestions](humidora::FileCommands::Prompt, const QString& suggestion) {
        suggestions << suggestion;
        return QString();
    };
    {
        DesktopProgram program({}, record);
        program.files().open();
        QCOMPARE(suggestions, QStringList({ project.path() }));
    }
    // A folder that has gone since is not offered.
    project.remove();
    suggestions.clear();
    DesktopProgram program({}, record);
    program.files().open();
    QCOMPARE(suggestions.size(), 1);
    QVERIFY(suggestions.first() != project.path());
    QVERIFY(QFileInfo(suggestions.first()).isDir());
}

void DesktopProgramTest::calculationIsNotRemembered()
{
    {
        int asked = 0;
        DesktopProgram program({}, {}, [&asked](const QString&) {
            ++asked;
            return humidora::FileCommands::ChangesAnswer::Discard;
        });
        program.show();
        Type(program, 1, QStringLiteral("37"));
        program.window().findChild<QAction*>(QStringLiteral("menu_british"))->trigger();
        QVERIFY(program.window().close());
        QCOMPARE(asked, 1);
    }
    DesktopProgram program;
    QCOMPARE(Box(program, 1)->text(), QStringLiteral("25"));
    QVERIFY(program.window().findChild<QAction*>(QStringLiteral("menu_metric"))->isChecked());
    for (const QString& key : QSettings().allKeys())
        QVERIFY2(key.startsWith(QStringLiteral("windows/")) || key.startsWith(QStringLiteral("files/")),
            qPrintable(key));
}

QTEST_MAIN(DesktopProgramTest)
#include "desktop_program_test.moc"
