// The desktop-services layer: where a help document is looked for, and what the real implementation
// hands to QDesktopServices. URL handlers stand in for xdg-open, so nothing is launched.

#include "ui/desktop_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

/// Receives the URLs that QDesktopServices would have given to the desktop.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void record(const QUrl& url) { urls << url; }
};

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
}

} // namespace

class DesktopServicesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void documentIsFoundInTheFirstFolderThatHasIt_data();
    void documentIsFoundInTheFirstFolderThatHasIt();
    void folderOrderIsWorkingDirectoryExecutableThenData();
    void documentIsOpenedAsLocalFile();
    void missingDocumentIsNotHandedOver();
    void webAddressIsHandedOverUnchanged();
    void addressesOtherThanWebAreRefused_data();
    void addressesOtherThanWebAreRefused();

private:
    QTemporaryDir root_;
    UrlRecorder recorder_;
};

void DesktopServicesTest::init()
{
    QVERIFY(root_.isValid());
    for (const char* folder : { "first", "second", "third" })
        QVERIFY(QDir(root_.path()).mkpath(QLatin1String(folder)));
    recorder_.urls.clear();
    for (const char* scheme : { "file", "https", "http" })
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder_, "record");
}

void DesktopServicesTest::cleanup()
{
    for (const char* scheme : { "file", "https", "http" })
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    for (const char* folder : { "first", "second", "third" })
        QDir(root_.filePath(QLatin1String(folder))).removeRecursively();
}

void DesktopServicesTest::documentIsFoundInTheFirstFolderThatHasIt_data()
{
    QTest::addColumn<QStringList>("holders");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only the data folder") << QStringList { "third" } << QStringLiteral("third");
    QTest::newRow("executable and data folder")
        << QStringList { "second", "third" } << QStringLiteral("second");
    QTest::newRow("every folder") << QStringList { "first", "second", "third" } << QStringLiteral("first");
    QTest::newRow("nowhere") << QStringList {} << QString();
}

void DesktopServicesTest::documentIsFoundInTheFirstFolderThatHasIt()
{
    QFETCH(QStringList, holders);
    QFETCH(QString, expected);
    const QString name = QStringLiteral("Humidora_Users Guide.pdf");
    for (const QString& holder : holders)
        Touch(QDir(root_.filePath(holder)).filePath(name));
    // A folder of the document's name is not the document.
    if (!holders.contains(QStringLiteral("first")))
        QVERIFY(QDir(root_.filePath(QStringLiteral("first"))).mkdir(name));
    const QStringList folders { root_.filePath(QStringLiteral("first")),
        root_.filePath(QStringLiteral("second")), root_.filePath(QStringLiteral("third")) };

    const QString found = humidora::LocateDocument(name, folders);
    QCOMPARE(found, expected.isEmpty() ? QString() : QDir(root_.filePath(expected)).absoluteFilePath(name));
    QCOMPARE(humidora::LocateDocument(QString(), folders), QString());
}

void DesktopServicesTest::folderOrderIsWorkingDirectoryExecutableThenData()
{
    const QStringList folders = humidora::DocumentFolders();
    QCOMPARE(folders.size(), 4);
    QCOMPARE(folders[0], QDir::currentPath());
    QCOMPARE(folders[1], QCoreApplication::applicationDirPath());
    // An installation moved to another prefix: the data folder beside the programs' folder.
    QDir data(QCoreApplication::applicationDirPath());
    QVERIFY(data.cdUp());
    QCOMPARE(folders[2], data.filePath(QStringLiteral("share/humidora")));
    QVERIFY(QDir::isAbsolutePath(folders[3]));
    QVERIFY(folders[3].endsWith(QStringLiteral("/share/humidora")));
}

void DesktopServicesTest::documentIsOpenedAsLocalFile()
{
    const QString name = QStringLiteral("Humidora_Brochure.pdf");
    const QString path = QDir(root_.filePath(QStringLiteral("second"))).filePath(name);
    Touch(path);
    humidora::SystemDesktopServices desktop(
        { root_.filePath(QStringLiteral("first")), root_.filePath(QStringLiteral("second")) });
    const humidora::DocumentOpening opening = desktop.openDocument(name);
    QVERIFY(opening.opened);
    QCOMPARE(opening.found, path);
    QCOMPARE(opening.looked_for,
        QStringList({ QDir(root_.filePath(QStringLiteral("first"))).filePath(name), path }));
    QCOMPARE(recorder_.urls, QList<QUrl> { QUrl::fromLocalFile(path) });
    QCOMPARE(humidora::DocumentOpeningMessage(name, opening), QString());
}

void DesktopServicesTest::missingDocumentIsNotHandedOver()
{
    const QString name = QStringLiteral("Humidora_Brochure.pdf");
    humidora::SystemDesktopServices desktop(
        { root_.filePath(QStringLiteral("first")), root_.filePath(QStringLiteral("second")) });
    const humidora::DocumentOpening opening = desktop.openDocument(name);
    QVERIFY(!opening.opened);
    QVERIFY(opening.found.isEmpty());
    const QStringList paths { QDir(root_.filePath(QStringLiteral("first"))).filePath(name),
        QDir(root_.filePath(QStringLiteral("second"))).filePath(name) };
    QCOMPARE(opening.looked_for, paths);
    QVERIFY(recorder_.urls.isEmpty());
    QCOMPARE(humidora::DocumentOpeningMessage(name, opening),
        QStringLiteral("The document \"Humidora_Brochure.pdf\" was not found; looked for \"%1\", \"%2\".")
            .arg(paths[0], paths[1]));
}

void DesktopServicesTest::webAddressIsHandedOverUnchanged()
{
    humidora::SystemDesktopServices desktop;
    QVERIFY(desktop.openAddress(QStringLiteral("https://www.humidora.example")));
    QCOMPARE(recorder_.urls, QList<QUrl> { QUrl(QStringLiteral("https://www.humidora.example")) });
}

void DesktopServicesTest::addressesOtherThanWebAreRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("local file") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)");
    QTest::newRow("no scheme") << QStringLiteral("www.humidora.example");
    QTest::newRow("no host") << QStringLiteral("https://");
    QTest::newRow("broken") << QStringLiteral("https://www.humidora.example:port");
}

void DesktopServicesTest::addressesOtherThanWebAreRefused()
{
    QFETCH(QString, address);
    humidora::SystemDesktopServices desktop;
    QVERIFY(!desktop.openAddress(address));
    QVERIFY(recorder_.urls.isEmpty());
}

QTEST_GUILESS_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
