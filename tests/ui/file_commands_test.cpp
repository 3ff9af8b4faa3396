// The File menu of the main window, driven through its real widgets and menu entries offscreen. File
// names come from a scripted prompt instead of the platform dialogs, so nothing blocks.
#include "calc/points/state_points_list.h"
#include "calc/windows/ambient_window.h"
#include "file_faults.h"
#include "io/calculation_file.h"
#include "ui/file_commands.h"
#include "ui/form_ambient.h"
#include "ui/state_points_dock.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using humidora::FileCommands;

namespace {

const QString kTitle = QStringLiteral("Humidora 1.1 (www.humidora.example)");

/// A main window with its file commands; file names are taken from `answers`, first to last, and every
/// question is recorded.
struct Window
{
    /// With `points`, the window has its "State Points" dock, as the program builds it.
    explicit Window(bool points = false)
        : form(std::make_unique<Form_ambient>())
    {
        if (points)
            dock = new humidora::StatePointsDock(*form);
        files = new FileCommands(
            *form,
            [this](FileCommands::Prompt prompt, const QString& suggestion) {
                asked << prompt;
                suggestions << suggestion;
                return answers.isEmpty() ? QString() : answers.takeFirst();
            },
            [this](const QString& name) {
                questioned << name;
                return change_answers.isEmpty() ? FileCommands::ChangesAnswer::Cancel
                                                : change_answers.takeFirst();
            });
    }

    QAction* action(const char* name) const { return form->findChild<QAction*>(QLatin1String(name)); }
    QLineEdit* text(int number) const
    {
        return form->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(number));
    }
    QRadioButton* option(int number) const
    {
        return form->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
    }
    const humidora::AmbientControls& model() const { return form->logic().controls(); }
    QString status() const { return form->statusBar()->currentMessage(); }
    QString statusTip() const { return form->statusBar()->toolTip(); }

    /// Replaces the text of a box the way a user does: select all, type.
    void type(int box, const QString& text) const
    {
        QLineEdit* edit = this->text(box);
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    std::unique_ptr<Form_ambient> form;
    FileCommands* files = nullptr;
    humidora::StatePointsDock* dock = nullptr;
    QStringList answers;
    QList<FileCommands::Prompt> asked;
    QStringList suggestions;
    QList<FileCommands::ChangesAnswer> change_answers; ///< answers to the unsaved-changes question
    QStringList questioned;                            ///< the names it was asked for
};

/// Every value box of the window shows its model's text.
bool WidgetsShowModel(const Window& w)
{
    for (int box = 1; box <= 16; ++box) {
        const std::string& text
            = (w.model().*humidora::kValueBoxes[static_cast<std::size_t>(box - 1)].box).text;
        if (w.text(box)->text() != QString::fromStdString(text))
            return false;
    }
    return true;
}

QByteArray Bytes(const QString& path)
{
    return humidora::testing::FileBytes(path);
}

/// Two points mixed into a third, with properties: a calculation of version 2.
humidora::Calculation Mixed()
{
    humidora::StatePointsList list;
    humidora::AmbientInputs outdoor;
    outdoor.temperature = "32";
    outdoor.humidity = "40";
    list.Add(outdoor, 1.0);
    list.Add(humidora::AmbientInputs {}, 3.0);
    humidora::ProcessSpec mix;
    mix.points = { "A", "B" };
    list.AddProcess(mix);
    humidora::Calculation calculation;
    calculation.inputs.temperature = "21";
    calculation.points = list.points();
    calculation.processes = list.processes();
    calculation.properties = { "Hall 3", "R. Ortiz", "Design day\nJuly" };
    return calculation;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutFileOrMarker();
    void saveAsWritesTheFileAndNamesItInTheTitle();
    void openingRestoresTheSavedWindowExactly();
    void editingMarksTheWindowModifiedUntilSaved();
    void undoingAnEditClearsTheMarker();
    void undoingBackToTheSavedStateLeavesNothingUnsaved();
    void saveWithoutFileAsksForAName();
    void cancelledDialogsChangeNothing();
    void badFileLeavesTheWindowExactlyAsItWas_data();
    void badFileLeavesTheWindowExactlyAsItWas();
    void failedSaveKeepsTheEarlierFileAndSaysWhy();
    void optionClickWithoutTypingIsSavedAsShown();
    void outOfRangeInputOpensRefusedAsTyped();
    void reportWritesThePdfOfTheWindow();
    void failedReportIsExplained();
    void nothingUnsavedAsksNothing();
    void unsavedChangesAreNeverLostWithoutAsking_data();
    void unsavedChangesAreNeverLostWithoutAsking();
    void failedSaveAtTheQuestionKeepsEverything();
    void exitKeyFromTheListingAsksToo();
    void propertiesAreChangesLikeInputs();
    void statePointsAreChangesLikeInputs();
    void openingFillsTheStatePointsAndProperties();
    void pointsOfAFileAreKeptWithoutTheDock();
    void aFileWithoutPointsIsSavedByteForByte();
    void newerFileChangesNothing();

private:
    QTemporaryDir folder_;
};

void FileCommandsTest::startsWithoutFileOrMarker()
{
    Window w;
    QCOMPARE(w.form->windowTitle(), kTitle);
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(w.files->currentFile().isEmpty());
    // Without a file, edits do not change the title given at start-up.
    w.type(1, QStringLiteral("30"));
    QCOMPARE(w.form->windowTitle(), kTitle);
    QVERIFY(!w.form->isWindowModified());
}

void FileCommandsTest::saveAsWritesTheFileAndNamesItInTheTitle()
{
    Window w;
    w.type(1, QStringLiteral("31.5"));
    w.answers << folder_.filePath(QStringLiteral("coil")); // the extension is added
    w.action("menu_saveas")->trigger();

    const QString file = folder_.filePath(QStringLiteral("coil.humidora"));
    QCOMPARE(w.asked, QList<FileCommands::Prompt> { FileCommands::Prompt::SaveAs });
    QVERIFY(QFile::exists(file));
    QCOMPARE(w.files->currentFile(), file);
    QCOMPARE(w.form->windowTitle(), kTitle + QStringLiteral(" - coil.humidora[*]"));
    QVERIFY(!w.form->isWindowModified());
    QCOMPARE(w.status(), QStringLiteral("Saved \"coil.humidora\"."));
    const humidora::CalculationRead read = humidora::ReadCalculationFile(file);
    QVERIFY(read);
    QCOMPARE(read.calculation->inputs.temperature, std::string("31.5"));
}

void FileCommandsTest::openingRestoresTheSavedWindowExactly()
{
    const QString file = folder_.filePath(QStringLiteral("room.humidora"));
    Window saved;
    saved.action("menu_british")->trigger();
    saved.action("menu_HW")->trigger();
    QTest::mouseClick(saved.option(9), Qt::LeftButton);
    saved.type(10, QStringLiteral("1200"));
    QTest::mouseClick(saved.option(4), Qt::LeftButton);
    saved.type(6, QStringLiteral("60"));
    saved.answers << file;
    saved.action("menu_saveas")->trigger();

    Window opened;
    opened.type(1, QStringLiteral("12"));
    opened.answers << file;
    opened.change_answers << FileCommands::ChangesAnswer::Discard;
    opened.action("menu_open")->trigger();
    QCOMPARE(opened.questioned.size(), 1);
    QCOMPARE(opened.asked, QList<FileCommands::Prompt> { FileCommands::Prompt::Open });
    QVERIFY(opened.model() == saved.model());
    QVERIFY(WidgetsShowModel(opened));
    QCOMPARE(opened.text(10)->text(), QStringLiteral("1200"));
    QVERIFY(!opened.text(10)->isReadOnly());
    QVERIFY(opened.text(2)->isReadOnly());
    QVERIFY(opened.option(4)->isChecked());
    QVERIFY(!opened.text(6)->isReadOnly());
    QCOMPARE(opened.form->windowTitle(), kTitle + QStringLiteral(" - room.humidora[*]"));
    QVERIFY(!opened.form->isWindowModified());
    QVERIFY(opened.status().contains(QStringLiteral("Opened")));
}

void FileCommandsTest::editingMarksTheWindowModifiedUntilSaved()
{
    const QString file = folder_.filePath(QStringLiteral("edit.humidora"));
    Window w;
    w.answers << file;
    w.action("menu_saveas")->trigger();
    QVERIFY(!w.form->isWindowModified());

    w.type(4, QStringLiteral("65"));
    QVERIFY(w.form->isWindowModified());
    w.action("menu_save")->trigger();
    QCOMPARE(w.asked.size(), 1); // Save writes to the current file without asking
    QVERIFY(!w.form->isWindowModified());
    QCOMPARE(humidora::ReadCalculationFile(file).calculation->inputs.humidity, std::string("65"));

    // Unit lists, formulation and options are inputs too.
    w.action("menu_HW")->trigger();
    QVERIFY(w.form->isWindowModified());
    w.action("menu_save")->trigger();
    QVERIFY(!w.form->isWindowModified());
    QTest::mouseClick(w.option(3), Qt::LeftButton);
    QVERIFY(w.form->isWindowModified());
}

void FileCommandsTest::undoingAnEditClearsTheMarker()
{
    Window w;
    w.answers << folder_.filePath(QStringLiteral("undo.humidora"));
    w.action("menu_saveas")->trigger();
    w.type(1, QStringLiteral("26"));
    QVERIFY(w.form->isWindowModified());
    w.type(1, QStringLiteral("25"));
    QVERIFY(!w.form->isWindowModified());
}

void FileCommandsTest::undoingBackToTheSavedStateLeavesNothingUnsaved()
{
    Window w(true);
    w.answers << folder_.filePath(QStringLiteral("history.humidora"));
    w.action("menu_saveas")->trigger();
    w.type(1, QStringLiteral("30"));
    w.action("menu_british")->trigger();
    w.form->findChild<QAbstractButton*>(QStringLiteral("button_add_point"))->click();
    QVERIFY(w.files->hasUnsavedChanges());
    for (int step = 0; step < 2; ++step) {
        w.action("menu_undo")->trigger();
        QVERIFY(w.form->isWindowModified());
    }
    w.action("menu_undo")->trigger();
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(!w.files->hasUnsavedChanges());
    QVERIFY(!w.action("menu_undo")->isEnabled());
    // Exit asks nothing then; redone, the changes are unsaved again and Exit asks.
    QVERIFY(w.files->offerToSaveChanges());
    QVERIFY(w.questioned.isEmpty());
    w.action("menu_redo")->trigger();
    QVERIFY(w.form->isWindowModified());
    QVERIFY(!w.files->offerToSaveChanges());
    QCOMPARE(w.questioned.size(), 1);
    // Saving marks the state clean; opening a file starts a history of its own.
    QVERIFY(w.files->save());
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(w.action("menu_undo")->isEnabled());
    QVERIFY(w.files->openFile(folder_.filePath(QStringLiteral("history.humidora"))));
    QVERIFY(!w.action("menu_undo")->isEnabled());
    QVERIFY(!w.action("menu_redo")->isEnabled());
    QCOMPARE(w.model().Text1.text, std::string("30"));
}

void FileCommandsTest::saveWithoutFileAsksForAName()
{
    Window w;
    w.answers << folder_.filePath(QStringLiteral("first.humidora"));
    w.action("menu_save")->trigger();
    QCOMPARE(w.asked, QList<FileCommands::Prompt> { FileCommands::Prompt::SaveAs });
    QVERIFY(QFile::exists(folder_.filePath(QStringLiteral("first.humidora"))));
}

void FileCommandsTest::cancelledDialogsChangeNothing()
{
    Window w;
    const humidora::AmbientControls before = w.model();
    for (const char* entry : { "menu_open", "menu_save", "menu_saveas", "menu_report" })
        w.action(entry)->trigger();
    QCOMPARE(w.asked.size(), 4);
    QVERIFY(w.model() == before);
    QCOMPARE(w.form->windowTitle(), kTitle);
    QVERIFY(w.status().isEmpty());
    QVERIFY(w.files->currentFile().isEmpty());
}

void FileCommandsTest::badFileLeavesTheWindowExactlyAsItWas_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    const QByteArray good = humidora::CalculationJson({ humidora::AmbientInputs {} });
    QByteArray future = good;
    future.replace("\"version\": 1", "\"version\": 7");
    QByteArray unit = good;
    unit.replace("\"kPa\"", "\"KPA\"");
    QByteArray duplicate = good;
    duplicate.replace("\"humidity\": \"50\"", "\"humidity\": \"50\", \"humidity\": \"80\"");
    QByteArray number = good;
    number.replace("\"temperature\": \"25\"", "\"temperature\": 25");
    QTest::newRow("not JSON") << QByteArray("25 C, 101.325 kPa") << QStringLiteral("not valid JSON");
    QTest::newRow("truncated") << good.left(good.size() - 20) << QStringLiteral("ends too early");
    QTest::newRow("other JSON") << QByteArray("{\"a\": 1}") << QStringLiteral("not a Humidora calculation");
    QTest::newRow("future version") << future << QStringLiteral("format version 7");
    QTest::newRow("unknown unit") << unit << QStringLiteral("\"KPA\"");
    QTest::newRow("duplicate member") << duplicate << QStringLiteral("occurs twice");
    QTest::newRow("number as text") << number << QStringLiteral("is not a text");
    QTest::newRow("huge") << QByteArray(humidora::kCalculationFileLimit + 1, ' ')
                          << QStringLiteral("larger than");
}

void FileCommandsTest::badFileLeavesTheWindowExactlyAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    const QString saved = folder_.filePath(QStringLiteral("kept.humidora"));
    const QString bad = folder_.filePath(QStringLiteral("bad.humidora"));
    Write(bad, content);

    Window w;
    w.answers << saved;
    w.action("menu_saveas")->trigger();
    w.type(1, QStringLiteral("28")); // unsaved change, must survive too
    const humidora::AmbientControls before = w.model();
    const QString title = w.form->windowTitle();
    const int windows = QApplication::topLevelWidgets().size();

    w.answers << bad;
    w.change_answers << FileCommands::ChangesAnswer::Discard;
    w.action("menu_open")->trigger();
    QVERIFY(w.model() == before);
    QVERIFY(WidgetsShowModel(w));
    QCOMPARE(w.text(1)->text(), QStringLiteral("28"));
    QCOMPARE(w.form->windowTitle(), title);
    QVERIFY(w.form->isWindowModified());
    QCOMPARE(w.files->currentFile(), saved);
    // The status bar names the file; its tool tip holds the whole message with the full path.
    QVERIFY2(w.status().startsWith(QStringLiteral("Cannot open \"bad.humidora\": "))
            && w.status().contains(problem),
        qPrintable(w.status()));
    QVERIFY2(
        w.statusTip().startsWith(QStringLiteral("Cannot open \"%1\": ").arg(bad)), qPrintable(w.statusTip()));
    QCOMPARE(QApplication::topLevelWidgets().size(), windows); // no message box
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void FileCommandsTest::failedSaveKeepsTheEarlierFileAndSaysWhy()
{
    const QString file = folder_.filePath(QStringLiteral("disk.humidora"));
    Window w;
    w.answers << file;
    w.action("menu_saveas")->trigger();
    const QByteArray before = Bytes(file);

    w.type(1, QStringLiteral("33"));
    {
        humidora::testing::FileSizeLimit full_disk(64);
        QVERIFY(full_disk.active());
        w.action("menu_save")->trigger();
    }
    QCOMPARE(Bytes(file), before);
    QVERIFY2(
        w.status().startsWith(QStringLiteral("Could not save \"disk.humidora\": ")), qPrintable(w.status()));
    QVERIFY(w.statusTip().startsWith(QStringLiteral("Could not save \"%1\": ").arg(file)));
    QVERIFY(w.form->isWindowModified());
    QCOMPARE(QDir(folder_.path()).entryList({ QStringLiteral("disk*") }, QDir::Files),
        QStringList { QStringLiteral("disk.humidora") });

    // With room again, the same command succeeds.
    w.action("menu_save")->trigger();
    QVERIFY(!w.form->isWindowModified());
    QCOMPARE(humidora::ReadCalculationFile(file).calculation->inputs.temperature, std::string("33"));
}

void FileCommandsTest::optionClickWithoutTypingIsSavedAsShown()
{
    const QString file = folder_.filePath(QStringLiteral("click.humidora"));
    Window w;
    QTest::mouseClick(w.option(1), Qt::LeftButton); // humidity ratio given, nothing typed
    w.answers << file;
    w.action("menu_saveas")->trigger();
    QVERIFY(WidgetsShowModel(w));

    Window opened;
    opened.answers << file;
    opened.action("menu_open")->trigger();
    QVERIFY(opened.model() == w.model());
}

void FileCommandsTest::outOfRangeInputOpensRefusedAsTyped()
{
    humidora::AmbientInputs inputs;
    inputs.humidity = "160";
    const QString file = folder_.filePath(QStringLiteral("wet.humidora"));
    QCOMPARE(humidora::WriteCalculationFile(file, { inputs }), QString());

    Window w;
    w.answers << file;
    w.action("menu_open")->trigger();
    QCOMPARE(w.text(4)->text(), QStringLiteral("160"));
    QCOMPARE(w.model().Text4.background, humidora::Background::Red);
    QCOMPARE(w.text(3)->text(), QStringLiteral("Error"));
    QCOMPARE(w.files->currentFile(), file);
}

void FileCommandsTest::reportWritesThePdfOfTheWindow()
{
    Window w;
    w.answers << folder_.filePath(QStringLiteral("office.humidora"));
    w.action("menu_saveas")->trigger();
    const QString pdf = folder_.filePath(QStringLiteral("office report"));
    w.answers << pdf;
    w.action("menu_report")->trigger();
    QCOMPARE(w.asked.last(), FileCommands::Prompt::Report);
    QVERIFY2(w.suggestions.last().endsWith(QStringLiteral("office.pdf")), qPrintable(w.suggestions.last()));
    QVERIFY(QFile::exists(pdf + QStringLiteral(".pdf")));
    QVERIFY2(w.status().startsWith(QStringLiteral("Report written")), qPrintable(w.status()));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), { pdf + QStringLiteral(".pdf"), QStringLiteral("-") });
    QVERIFY(text.waitForFinished(30000));
    const QString content = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(content.contains(QStringLiteral("office.humidora")), qPrintable(content));
    QVERIFY(content.contains(w.text(3)->text())); // a computed value as the window shows it
    QVERIFY(content.contains(w.text(16)->text()));
}

void FileCommandsTest::failedReportIsExplained()
{
    Window w;
    const QString pdf = folder_.filePath(QStringLiteral("missing/report.pdf"));
    w.answers << pdf;
    w.action("menu_report")->trigger();
    QVERIFY2(w.status().startsWith(QStringLiteral("Could not write the report")), qPrintable(w.status()));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void FileCommandsTest::nothingUnsavedAsksNothing()
{
    // At start-up, after a save and after an edit that was undone, nothing is asked on any path.
    Window w;
    w.form->show();
    QVERIFY(!w.files->hasUnsavedChanges());
    w.action("menu_open")->trigger();
    QCOMPARE(w.asked, QList<FileCommands::Prompt> { FileCommands::Prompt::Open });
    w.answers << folder_.filePath(QStringLiteral("kept.humidora"));
    w.type(1, QStringLiteral("40"));
    QVERIFY(w.files->hasUnsavedChanges());
    w.action("menu_saveas")->trigger();
    QVERIFY(!w.files->hasUnsavedChanges());
    w.type(1, QStringLiteral("41"));
    w.type(1, QStringLiteral("40"));
    QVERIFY(w.form->close());
    QVERIFY(w.questioned.isEmpty());
}

using Path = void (*)(Window& w, const QString& other_file);
Q_DECLARE_METATYPE(Path)
Q_DECLARE_METATYPE(FileCommands::ChangesAnswer)

void FileCommandsTest::unsavedChangesAreNeverLostWithoutAsking_data()
{
    QTest::addColumn<Path>("path");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<FileCommands::ChangesAnswer>("answer");
    const std::pair<const char*, Path> paths[] = {
        { "exit", [](Window& w, const QString&) { w.action("exit_menu")->trigger(); } },
        { "close box", [](Window& w, const QString&) { w.form->close(); } },
        { "open",
            [](Window& w, const QString& other) {
                w.answers << other;
                w.action("menu_open")->trigger();
            } },
        { "open by name", [](Window& w, const QString& other) { w.files->openFile(other); } },
    };
    const std::pair<const char*, FileCommands::ChangesAnswer> answers[] = {
        { "cancel", FileCommands::ChangesAnswer::Cancel },
        { "discard", FileCommands::ChangesAnswer::Discard },
        { "save", FileCommands::ChangesAnswer::Save },
    };
    for (const auto& [path_name, path] : paths) {
        for (const auto& [answer_name, answer] : answers) {
            QTest::addRow("%s, %s", path_name, answer_name)
                << path << (std::string_view(path_name).find("open") == std::string_view::npos) << answer;
        }
    }
}

void FileCommandsTest::unsavedChangesAreNeverLostWithoutAsking()
{
    QFETCH(Path, path);
    QFETCH(bool, ends);
    QFETCH(FileCommands::ChangesAnswer, answer);
    const QString other = folder_.filePath(QStringLiteral("other.humidora"));
    {
        Window writer;
        writer.type(1, QStringLiteral("12"));
        QVERIFY(writer.files->saveFile(other));
    }
    const QString mine = folder_.filePath(QStringLiteral("mine %1.humidora").arg(QTest::currentDataTag()));
    QFile::remove(mine);
    Window w;
    w.form->show();
    w.type(1, QStringLiteral("30"));
    w.change_answers << answer;
    if (answer == FileCommands::ChangesAnswer::Save)
        w.answers << mine; // the name Save asks for, as nothing has been saved yet

    path(w, other);

    QCOMPARE(w.questioned, QStringList { QStringLiteral("Untitled") });
    const bool went_on = answer != FileCommands::ChangesAnswer::Cancel;
    QCOMPARE(w.form->isVisible(), !(ends && went_on));
    const std::string shown = w.model().Text1.text;
    QCOMPARE(shown, std::string(went_on && !ends ? "12" : "30"));
    // Save wrote the changes before going on; the others wrote nothing.
    QCOMPARE(QFileInfo::exists(mine), answer == FileCommands::ChangesAnswer::Save);
    if (answer == FileCommands::ChangesAnswer::Save)
        QCOMPARE(humidora::ReadCalculationFile(mine).calculation->inputs.temperature, std::string("30"));
    if (answer == FileCommands::ChangesAnswer::Cancel)
        QVERIFY(w.files->hasUnsavedChanges());
}

void FileCommandsTest::failedSaveAtTheQuestionKeepsEverything()
{
    const QString file = folder_.filePath(QStringLiteral("full.humidora"));
    Window w;
    w.form->show();
    w.answers << file;
    w.action("menu_saveas")->trigger();
    const QByteArray before = Bytes(file);
    w.type(1, QStringLiteral("33"));
    w.change_answers << FileCommands::ChangesAnswer::Save << FileCommands::ChangesAnswer::Save;
    {
        humidora::testing::FileSizeLimit full_disk(64);
        QVERIFY(full_disk.active());
        QVERIFY(!w.form->close());
        QVERIFY(!w.files->openFile(file));
    }
    QCOMPARE(w.questioned, QStringList({ QStringLiteral("full.humidora"), QStringLiteral("full.humidora") }));
    QVERIFY(w.form->isVisible());
    QCOMPARE(w.model().Text1.text, std::string("33"));
    QCOMPARE(Bytes(file), before);
    QVERIFY(w.status().startsWith(QStringLiteral("Could not save")));
    QVERIFY(w.files->hasUnsavedChanges());
}

void FileCommandsTest::exitKeyFromTheListingAsksToo()
{
    Window w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    w.type(1, QStringLiteral("30"));
    QWidget* listing = w.form->findChild<QWidget*>(QStringLiteral("List1"));
    listing->setFocus();
    QTest::keyClick(listing, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w.questioned.size(), 1);
    QVERIFY(w.form->isVisible());
    QCOMPARE(w.model().Text1.text, std::string("30"));
}

void FileCommandsTest::propertiesAreChangesLikeInputs()
{
    const QString file = folder_.filePath(QStringLiteral("properties.humidora"));
    Window w;
    w.form->show();
    const humidora::ProjectProperties project { "Hall 3 supply", "R. Ortiz", "Summer design day" };
    w.files->setProperties(project);
    QCOMPARE(w.files->properties(), project);
    QVERIFY(w.files->hasUnsavedChanges());
    w.answers << file;
    w.action("menu_saveas")->trigger();
    QVERIFY(!w.files->hasUnsavedChanges());

    // Any field counts; giving back the saved text clears the marker again.
    humidora::ProjectProperties changed = project;
    changed.notes += "\nWinter too";
    w.files->setProperties(changed);
    QVERIFY(w.form->isWindowModified());
    w.files->setProperties(project);
    QVERIFY(!w.form->isWindowModified());

    // Unsaved properties are asked about before another file replaces them.
    changed.engineer = "A. Lind";
    w.files->setProperties(changed);
    const QString other = folder_.filePath(QStringLiteral("other properties.humidora"));
    {
        Window writer;
        QVERIFY(writer.files->saveFile(other));
    }
    w.change_answers << FileCommands::ChangesAnswer::Cancel << FileCommands::ChangesAnswer::Discard;
    QVERIFY(!w.files->openFile(other));
    QCOMPARE(w.files->properties(), changed);
    QVERIFY(w.files->openFile(other));
    QCOMPARE(w.questioned.size(), 2);
    QCOMPARE(w.files->properties(), humidora::ProjectProperties {});
    QVERIFY(!w.files->hasUnsavedChanges());
}

void FileCommandsTest::statePointsAreChangesLikeInputs()
{
    Window w(true);
    w.answers << folder_.filePath(QStringLiteral("points.humidora"));
    w.action("menu_saveas")->trigger();
    QVERIFY(!w.form->isWindowModified());
    w.form->findChild<QAbstractButton*>(QStringLiteral("button_add_point"))->click();
    QCOMPARE(w.dock->list().points().size(), std::size_t(1));
    QVERIFY(w.form->isWindowModified());
    QVERIFY(w.files->hasUnsavedChanges());
    w.dock->deleteSelected();
    QVERIFY(w.dock->list().points().empty());
    QVERIFY(!w.form->isWindowModified());
}

void FileCommandsTest::openingFillsTheStatePointsAndProperties()
{
    const QString file = folder_.filePath(QStringLiteral("mixed.humidora"));
    const humidora::Calculation saved = Mixed();
    QCOMPARE(humidora::WriteCalculationFile(file, saved), QString());
    Window w(true);
    QVERIFY(w.files->openFile(file));
    QCOMPARE(w.model().Text1.text, std::string("21"));
    QVERIFY(w.dock->list().points() == saved.points);
    QVERIFY(w.dock->list().processes() == saved.processes);
    QCOMPARE(w.files->properties(), saved.properties);
    auto* table = w.form->findChild<QTableWidget*>(QStringLiteral("table_points"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(2, 0)->text(), QStringLiteral("C"));
    QCOMPARE(w.form->findChild<QTableWidget*>(QStringLiteral("table_processes"))->rowCount(), 1);
    QVERIFY(!w.form->isWindowModified());

    // Renaming a point in the table is a change; saving writes it, and the file reads back as shown.
    table->item(0, 0)->setText(QStringLiteral("Outdoor"));
    QCOMPARE(w.dock->list().points()[0].name, std::string("Outdoor"));
    QVERIFY(w.form->isWindowModified());
    QVERIFY(w.files->save());
    QVERIFY(!w.form->isWindowModified());
    const humidora::CalculationRead read = humidora::ReadCalculationFile(file);
    QVERIFY(read);
    QVERIFY(read.calculation->points == w.dock->list().points());
    QCOMPARE(read.calculation->properties, saved.properties);

    // Another file replaces the points (after the question) and the properties.
    const QString plain = folder_.filePath(QStringLiteral("plain.humidora"));
    QCOMPARE(humidora::WriteCalculationFile(plain, { humidora::AmbientInputs {} }), QString());
    w.dock->addPoint();
    w.change_answers << FileCommands::ChangesAnswer::Discard;
    QVERIFY(w.files->openFile(plain));
    QCOMPARE(w.questioned.size(), 1);
    QVERIFY(w.dock->list().points().empty());
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(w.files->properties(), humidora::ProjectProperties {});
}

void FileCommandsTest::pointsOfAFileAreKeptWithoutTheDock()
{
    const QString file = folder_.filePath(QStringLiteral("kept points.humidora"));
    QCOMPARE(humidora::WriteCalculationFile(file, Mixed()), QString());
    Window w;
    QVERIFY(w.files->openFile(file));
    w.type(1, QStringLiteral("22"));
    QVERIFY(w.files->save());
    const humidora::CalculationRead read = humidora::ReadCalculationFile(file);
    QVERIFY(read);
    QCOMPARE(read.calculation->inputs.temperature, std::string("22"));
    QVERIFY(read.calculation->points == Mixed().points);
    QVERIFY(read.calculation->processes == Mixed().processes);
}

void FileCommandsTest::aFileWithoutPointsIsSavedByteForByte()
{
    const QString file = folder_.filePath(QStringLiteral("plain v1.humidora"));
    {
        Window writer;
        writer.action("menu_british")->trigger();
        writer.type(1, QStringLiteral("60"));
        QVERIFY(writer.files->saveFile(file));
    }
    const QByteArray before = Bytes(file);
    QVERIFY(before.contains("\"version\": 1\n"));
    Window w(true);
    QVERIFY(w.files->openFile(file));
    QVERIFY(w.files->save());
    QCOMPARE(Bytes(file), before);
}

void FileCommandsTest::newerFileChangesNothing()
{
    const QString file = folder_.filePath(QStringLiteral("future.humidora"));
    QJsonObject document = QJsonDocument::fromJson(humidora::CalculationJson(Mixed())).object();
    document.insert(QStringLiteral("version"), 3);
    Write(file, QJsonDocument(document).toJson());
    Window w(true);
    w.dock->addPoint();
    w.files->setProperties({ "Mine", "", "" });
    const humidora::AmbientControls before = w.model();
    const std::vector<humidora::StatePoint> points = w.dock->list().points();
    w.change_answers << FileCommands::ChangesAnswer::Discard;
    QVERIFY(!w.files->openFile(file));
    QVERIFY(w.model() == before);
    QVERIFY(w.dock->list().points() == points);
    QCOMPARE(w.files->properties().project, std::string("Mine"));
    QVERIFY(w.status().contains(QStringLiteral("format version 3, from a newer Humidora")));
}

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
