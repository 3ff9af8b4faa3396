// File > Properties on the real main window, offscreen: the dialog found by its objectName, typed into
// like a user does, and what OK, Cancel and Escape leave in the file commands, the title's modified marker
// and the report.
#include "ui/file_commands.h"
#include "ui/form_ambient.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using humidora::FileCommands;
using humidora::ProjectProperties;

Q_DECLARE_METATYPE(ProjectProperties)

namespace {

/// The main window with its file commands, saved once so that the title shows the modified marker;
/// file names come from `answers`.
struct Window
{
    explicit Window(const QString& file)
        : form(std::make_unique<Form_ambient>())
    {
        files = new FileCommands(
            *form, [this](FileCommands::Prompt, const QString&) { return answers.takeFirst(); },
            [](const QString&) { return FileCommands::ChangesAnswer::Discard; });
        form->show();
        files->saveFile(file);
    }

    /// Chooses File > Properties and returns the dialog it opened.
    QDialog* openProperties() const
    {
        form->findChild<QAction*>(QStringLiteral("menu_properties"))->trigger();
        return form->findChild<QDialog*>(QStringLiteral("Form_properties"));
    }

    std::unique_ptr<Form_ambient> form;
    FileCommands* files = nullptr;
    QStringList answers;
};

template <typename Widget> Widget* Field(QDialog* dialog, const char* name)
{
    return dialog->findChild<Widget*>(QLatin1String(name));
}

QPushButton* Button(QDialog* dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox*>()->button(which);
}

/// Waits until the closed dialog has been deleted, so that the next one found is a new one.
bool DialogGone(const Window& w)
{
    return QTest::qWaitFor(
        [&w] { return w.form->findChild<QDialog*>(QStringLiteral("Form_properties")) == nullptr; });
}

} // namespace

class PropertiesDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void typedPropertiesAreKeptShownAgainAndReported();
    void nothingChangesUnlessAcceptedWithNewTexts_data();
    void nothingChangesUnlessAcceptedWithNewTexts();
    void pastedLineBreakInAOneLineFieldReadsAsABlank();
    void openedFileShowsItsPropertiesInTheDialog();

private:
    QTemporaryDir folder_;
};

void PropertiesDialogTest::typedPropertiesAreKeptShownAgainAndReported()
{
    Window w(folder_.filePath(QStringLiteral("hall.humidora")));
    QVERIFY(!w.form->isWindowModified());
    QDialog* dialog = w.openProperties();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isModal());
    auto* project = Field<QLineEdit>(dialog, "edit_project");
    auto* engineer = Field<QLineEdit>(dialog, "edit_engineer");
    auto* notes = Field<QPlainTextEdit>(dialog, "edit_notes");
    QVERIFY(project && engineer && notes);
    QVERIFY(project->text().isEmpty() && engineer->text().isEmpty() && notes->toPlainText().isEmpty());

    QTest::keyClicks(project, QStringLiteral("Hall 3 <supply>"));
    QTest::keyClicks(engineer, QStringLiteral("R. Ortiz"));
    QTest::keyClicks(notes, QStringLiteral("Summer design day"));
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, QStringLiteral("Outdoor 33 C & 50 %"));
    QVERIFY(!w.form->isWindowModified()); // nothing is taken before OK
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    const ProjectProperties typed { "Hall 3 <supply>", "R. Ortiz", "Summer design day\nOutdoor 33 C & 50 %" };
    QCOMPARE(w.files->properties(), typed);
    QVERIFY(w.form->isWindowModified());
    QVERIFY(DialogGone(w));

    // Opened again, the dialog shows them as they were typed.
    dialog = w.openProperties();
    QCOMPARE(Field<QLineEdit>(dialog, "edit_project")->text(), QStringLiteral("Hall 3 <supply>"));
    QCOMPARE(Field<QLineEdit>(dialog, "edit_engineer")->text(), QStringLiteral("R. Ortiz"));
    QCOMPARE(Field<QPlainTextEdit>(dialog, "edit_notes")->toPlainText(),
        QStringLiteral("Summer design day\nOutdoor 33 C & 50 %"));
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    QVERIFY(DialogGone(w));

    // File > Report prints them in its title block, the notes on their own lines.
    const QString pdf = folder_.filePath(QStringLiteral("hall.pdf"));
    w.answers << pdf;
    w.form->findChild<QAction*>(QStringLiteral("menu_report"))->trigger();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    QVERIFY(text.waitForFinished(30000));
    const QString content = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* line : { "Project +Hall 3 <supply>", "Engineer +R\\. Ortiz", "Notes +Summer design day",
             "^ +Outdoor 33 C & 50 %" })
        QVERIFY2(
            content.contains(QRegularExpression(QLatin1String(line), QRegularExpression::MultilineOption)),
            qPrintable(QLatin1String(line) + QLatin1Char('\n') + content));
}

void PropertiesDialogTest::nothingChangesUnlessAcceptedWithNewTexts_data()
{
    QTest::addColumn<ProjectProperties>("saved");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("close"); // 0 OK, 1 Cancel, 2 Escape
    const ProjectProperties hall { "Hall 3", "R. Ortiz", "line one\nline two" };
    QTest::newRow("OK without typing") << hall << QString() << 0;
    QTest::newRow("OK without typing, none set") << ProjectProperties {} << QString() << 0;
    QTest::newRow("Cancel after typing") << hall << QStringLiteral(" annex") << 1;
    QTest::newRow("Escape after typing") << ProjectProperties {} << QStringLiteral("Hall 4") << 2;
}

void PropertiesDialogTest::nothingChangesUnlessAcceptedWithNewTexts()
{
    QFETCH(ProjectProperties, saved);
    QFETCH(QString, typed);
    QFETCH(int, close);
    Window w(folder_.filePath(QStringLiteral("unchanged.humidora")));
    w.files->setProperties(saved);
    QVERIFY(w.files->saveFile(folder_.filePath(QStringLiteral("unchanged.humidora"))));
    QVERIFY(!w.form->isWindowModified());
    QDialog* dialog = w.openProperties();
    QVERIFY(dialog != nullptr);
    auto* project = Field<QLineEdit>(dialog, "edit_project");
    project->end(false);
    QTest::keyClicks(project, typed);
    if (close == 0)
        QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    else if (close == 1)
        QTest::mouseClick(Button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    else
        QTest::keyClick(project, Qt::Key_Escape);
    QVERIFY(DialogGone(w));
    QCOMPARE(w.files->properties(), saved);
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(!w.files->hasUnsavedChanges());
}

void PropertiesDialogTest::pastedLineBreakInAOneLineFieldReadsAsABlank()
{
    Window w(folder_.filePath(QStringLiteral("pasted.humidora")));
    QDialog* dialog = w.openProperties();
    QVERIFY(dialog != nullptr);
    QApplication::clipboard()->setText(QStringLiteral("North\r\nwing"));
    Field<QLineEdit>(dialog, "edit_project")->paste();
    Field<QLineEdit>(dialog, "edit_engineer")->setText(QStringLiteral("A.\nLind"));
    QApplication::clipboard()->setText(QStringLiteral("first\nsecond"));
    Field<QPlainTextEdit>(dialog, "edit_notes")->paste();
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(w.files->properties(), (ProjectProperties { "North wing", "A. Lind", "first\nsecond" }));
}

void PropertiesDialogTest::openedFileShowsItsPropertiesInTheDialog()
{
    const QString file = folder_.filePath(QStringLiteral("kept.humidora"));
    const ProjectProperties kept { "Hall 3", "R. Ortiz", "first\n\nthird" };
    {
        Window writer(file);
        writer.files->setProperties(kept);
        QVERIFY(writer.files->saveFile(file));
    }
    Window reader(folder_.filePath(QStringLiteral("other.humidora")));
    QVERIFY(reader.files->openFile(file));
    QDialog* dialog = reader.openProperties();
    QVERIFY(dialog != nullptr);
    QCOMPARE(Field<QLineEdit>(dialog, "edit_project")->text(), QStringLiteral("Hall 3"));
    QCOMPARE(Field<QLineEdit>(dialog, "edit_engineer")->text(), QStringLiteral("R. Ortiz"));
    QCOMPARE(Field<QPlainTextEdit>(dialog, "edit_notes")->toPlainText(), QStringLiteral("first\n\nthird"));
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(reader.files->properties(), kept);
    QVERIFY(!reader.form->isWindowModified());
}

QTEST_MAIN(PropertiesDialogTest)
#include "properties_dialog_test.moc"
