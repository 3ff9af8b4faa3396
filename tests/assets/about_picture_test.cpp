// The about picture reaches a program that links humidora_assets as the resource ":/humidora/about.png",
// in its size, with the product name and the chart actually drawn.
#include "assets/about_picture.h"

#include <QImage>
#include <QSet>
#include <QtTest>

namespace {

/// Pixels of `image` inside `area` whose colour is within `tolerance` (per channel) of `colour`.
int CountNear(const QImage& image, const QRect& area, QColor colour, int tolerance)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) <= tolerance
                && qAbs(pixel.green() - colour.green()) <= tolerance
                && qAbs(pixel.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

} // namespace

class AboutPictureTest : public QObject
{
    Q_OBJECT

private:
    QImage picture_;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(humidora::AboutPicturePath()), "the resource is not linked in");
        QVERIFY(picture_.load(humidora::AboutPicturePath()));
    }

    void resourceHoldsThePictureInItsSize()
    {
        QCOMPARE(humidora::AboutPicturePath(), QString(":/humidora/about.png"));
        QCOMPARE(picture_.size(), QSize(humidora::kAboutPictureWidth, humidora::kAboutPictureHeight));
        QCOMPARE(picture_.size(), QSize(348, 341));
    }

    void pictureIsDrawnNotBlank()
    {
        QSet<QRgb> colours;
        for (int y = 0; y < picture_.height(); ++y) {
            for (int x = 0; x < picture_.width(); ++x)
                colours.insert(picture_.pixel(x, y));
        }
        // Gradients, anti-aliased curves and text give hundreds of colours; a failed drawing gives few.
        QVERIFY2(colours.size() > 300, qPrintable(QString("only %1 colours").arg(colours.size())));
    }

    void productNameIsWrittenAcrossTheTop()
    {
        // Dark-blue ink of the title in the top fifth, spread over its middle half.
        const QColor ink(0x1f, 0x3a, 0x5f);
        const int top = picture_.height() / 5;
        QVERIFY(CountNear(picture_, QRect(0, 0, picture_.width(), top), ink, 40) > 400);
        QVERIFY(CountNear(picture_, QRect(picture_.width() / 4, 0, 20, top), ink, 40) > 10);
        QVERIFY(CountNear(picture_, QRect(picture_.width() * 3 / 4 - 20, 0, 20, top), ink, 40) > 10);
    }

    void chartShowsTheSaturationCurveBelowTheTitle()
    {
        // The saturation curve is drawn in the same ink, thick, through the middle of the picture;
        // the relative-humidity curves in a lighter blue.
        const QRect chart(0, picture_.height() / 4, picture_.width(), picture_.height() * 5 / 8);
        QVERIFY(CountNear(picture_, chart, QColor(0x1f, 0x3a, 0x5f), 30) > 300);
        QVERIFY(CountNear(picture_, chart, QColor(0x4f, 0x86, 0xb5), 30) > 300);
    }
};

QTEST_GUILESS_MAIN(AboutPictureTest)
#include "about_picture_test.moc"
