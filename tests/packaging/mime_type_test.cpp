// The MIME type of calculation files as the desktop sees it: the shared-mime-info definition, compiled by
// update-mime-database into a scratch data folder (with the system's own definitions beside it), read by
// QMimeDatabase, which follows the same rules as the file managers. A calculation is known by its
// extension, and without it by its format member; other JSON is not taken for one.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kType = QStringLiteral("application/x-humidora-calculation");

} // namespace

class MimeTypeTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir scratch_;
    QByteArray saved_; ///< a calculation as humidora-cli saves it

private slots:
    void initTestCase()
    {
        const QString compiler = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (compiler.isEmpty())
            QSKIP("update-mime-database (shared-mime-info) is not installed");
        QVERIFY(scratch_.isValid());
        const QDir root(scratch_.path());
        QVERIFY(root.mkpath(QStringLiteral("share/mime/packages")) && root.mkpath(QStringLiteral("home")));
        QVERIFY(QFile::copy(QStringLiteral(HUMIDORA_MIME_XML),
            root.filePath(QStringLiteral("share/mime/packages/humidora.xml"))));
        const QString system = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
        if (QFile::exists(system))
            QVERIFY(QFile::copy(
                system, root.filePath(QStringLiteral("share/mime/packages/freedesktop.org.xml"))));
        QProcess compile;
        compile.start(compiler, { root.filePath(QStringLiteral("share/mime")) });
        QVERIFY(compile.waitForFinished(60000));
        QVERIFY2(compile.exitCode() == 0, compile.readAllStandardError().constData());
        // QMimeDatabase reads the data folders on its first use, which comes after this.
        qputenv("XDG_DATA_DIRS", root.filePath(QStringLiteral("share")).toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("home")).toUtf8());

        const QString office = root.filePath(QStringLiteral("office.humidora"));
        QProcess cli;
        cli.start(QStringLiteral(HUMIDORA_CLI),
            { QStringLiteral("state"), QStringLiteral("--temperature"), QStringLiteral("30"),
                QStringLiteral("--save"), office });
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QFile file(office);
        QVERIFY(file.open(QIODevice::ReadOnly));
        saved_ = file.readAll();
    }

    void typeIsDeclared()
    {
        const QMimeType type = QMimeDatabase().mimeTypeForName(kType);
        QVERIFY(type.isValid());
        QCOMPARE(type.comment(), QStringLiteral("Humidora calculation"));
        QCOMPARE(type.suffixes(), QStringList { QStringLiteral("humidora") });
        QVERIFY(type.inherits(QStringLiteral("application/json")));
    }

    void filesAreRecognised_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("calculation");
        QTest::newRow("saved, by its extension") << "a.humidora" << QByteArray() << true;
        QTest::newRow("saved, renamed without extension") << "a" << QByteArray() << true;
        QTest::newRow("saved, as .txt") << "a.txt" << QByteArray() << false;
        QTest::newRow("compact JSON")
            << "b" << QByteArray(R"({"format":"humidora-calculation","version":1})") << true;
        QTest::newRow("format member last")
            << "c" << QByteArray(R"({"version": 1, "saved_by": "x", "format": "humidora-calculation"})")
            << true;
        QTest::newRow("other JSON") << "d" << QByteArray(R"({"format": "geojson", "version": 1})") << false;
        QTest::newRow("format in a string")
            << "e" << QByteArray(R"({"note": "format humidora-calculation"})") << false;
    }

    void filesAreRecognised()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, calculation);
        const QString path = QDir(scratch_.path()).filePath(QStringLiteral("files/") + name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(contents.isEmpty() ? saved_ : contents) > 0);
        file.close();
        const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
        QCOMPARE(type.name() == kType, calculation);
    }
};

QTEST_GUILESS_MAIN(MimeTypeTest)
#include "mime_type_test.moc"
