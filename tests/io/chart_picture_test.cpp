// The chart's pictures: the overlay that other tools add is drawn in every picture, and a picture that
// cannot be written says why and leaves nothing behind.
#include "calc/windows/ambient_window.h"
#include "io/chart_picture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace humidora {
namespace {

QStringList SvgTexts(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader reader(&file);
    QStringList texts;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("text"))
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    return reader.hasError() ? QStringList { "(not XML)" } : texts;
}

chart::ChartPicture StartUpPicture()
{
    AmbientWindow window;
    window.Open();
    chart::ChartModel model;
    model.Follow(window);
    return model.Picture();
}

TEST(ChartPicture, OverlayPointsAndArrowsAreDrawnWithTheirLabels)
{
    chart::ChartPicture picture = StartUpPicture();
    picture.overlay.points = { { "Outdoor", { 305.15, 0.012 } }, { "Supply", { 287.15, 0.009 } } };
    picture.overlay.arrows = { { 0, 1, "cooling coil" }, { 0, 7, "no such point" } };
    QTemporaryDir folder;
    const QString svg = folder.filePath("overlay.svg");
    ASSERT_EQ(ExportChart(svg, picture, QSize(1200, 800)), QString());
    const QStringList texts = SvgTexts(svg);
    EXPECT_TRUE(texts.contains("Outdoor"));
    EXPECT_TRUE(texts.contains("Supply"));
    EXPECT_TRUE(texts.contains("cooling coil"));
    // An arrow to a point the overlay does not have is left out, not drawn to nowhere.
    EXPECT_FALSE(texts.contains("no such point"));
}

TEST(ChartPicture, RefusedPicturesNameTheFileAndLeaveNothing)
{
    const chart::ChartPicture picture = StartUpPicture();
    QTemporaryDir folder;
    struct Case
    {
        QString path;
        QSize size;
        const char* reason;
    };
    const Case cases[] = {
        { folder.filePath("chart.gif"), QSize(800, 600), "must end in .png, .svg or .pdf" },
        { folder.filePath("chart.png"), QSize(100, 600), "200 x 150 to 8000 x 8000 pixels" },
        { folder.filePath("chart.pdf"), QSize(9000, 600), "200 x 150 to 8000 x 8000 pixels" },
        { folder.filePath("missing/chart.svg"), QSize(800, 600), "Could not write the chart" },
    };
    for (const Case& c : cases) {
        const QString error = ExportChart(c.path, picture, c.size);
        EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
        EXPECT_TRUE(error.contains(c.path)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(c.path));
    }
}

} // namespace
} // namespace humidora
