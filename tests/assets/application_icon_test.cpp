// The application icon reaches the program in every size of the icon theme, each a rendering of its own:
// transparent outside the rounded tile, the tile and the chart's state point in their colours, and a
// doubled (high-DPI) request served by the rendering of twice the size rather than a scaled-up bitmap.
#include "assets/application_icon.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

namespace {

constexpr int kSizes[] = { 16, 22, 24, 32, 48, 64, 128, 256 };

QImage Rendering(int size)
{
    return QImage(QStringLiteral(":/humidora/icons/humidora-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class ApplicationIconTest : public QObject
{
    Q_OBJECT

private slots:
    void everyThemeSizeIsARenderingOfItsOwn_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : kSizes)
            QTest::addRow("%d px", size) << size;
    }

    void everyThemeSizeIsARenderingOfItsOwn()
    {
        QFETCH(int, size);
        const QIcon icon = humidora::ApplicationIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image, Rendering(size));
        // Rounded corners are see-through; the tile is opaque blue at the top middle.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
        const QColor top = image.pixelColor(size / 2, size * 3 / 32);
        QCOMPARE(top.alpha(), 255);
        QVERIFY2(top.blue() > top.red() + 60, qPrintable(top.name()));
    }

    void statePointIsOrange()
    {
        // The state point sits at (170, 160) on the 256 grid.
        for (const int size : { 48, 256 }) {
            const QColor point = Rendering(size).pixelColor(170 * size / 256, 160 * size / 256);
            QVERIFY2(point.red() > 230 && point.green() > 110 && point.green() < 170 && point.blue() < 60,
                qPrintable(point.name()));
        }
    }

    void doubledScaleUsesTheRenderingOfTwiceTheSize()
    {
        const QIcon icon = humidora::ApplicationIcon();
        for (const int size : { 16, 24, 32, 64, 128 }) {
            const QPixmap pixmap = icon.pixmap(QSize(size, size), 2.0);
            QCOMPARE(pixmap.size(), QSize(2 * size, 2 * size));
            QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
            image.setDevicePixelRatio(1.0);
            QCOMPARE(image, Rendering(2 * size));
        }
    }
};

QTEST_MAIN(ApplicationIconTest)
#include "application_icon_test.moc"
