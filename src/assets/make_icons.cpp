// make_icons: renders the scalable application icon to the PNG sizes of the hicolor icon theme.
//
//   make_icons INPUT.svg OUTPUT_DIR SIZE...
//
// Writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/<name>.png for each SIZE, <name> being INPUT's base name, so that
// OUTPUT_DIR installs as it stands into share/icons/hicolor. The pixels come from the SVG at every size
// (never a scaled bitmap), which keeps the small icons and the doubled ones of high-DPI screens sharp.
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

int Fail(const QString& message)
{
    QTextStream(stderr) << "make_icons: " << message << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument("INPUT", "The scalable icon (SVG).");
    parser.addPositionalArgument("OUTPUT_DIR", "The icon theme folder to write into.");
    parser.addPositionalArgument("SIZE", "Edge lengths in pixels.", "SIZE...");
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < 3)
        return Fail("usage: make_icons INPUT.svg OUTPUT_DIR SIZE...");

    QSvgRenderer renderer(arguments[0]);
    if (!renderer.isValid())
        return Fail(arguments[0] + " is not a valid SVG picture");
    const QString name = QFileInfo(arguments[0]).completeBaseName();

    QList<int> sizes;
    for (const QString& text : arguments.mid(2)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return Fail("not a size in pixels: " + text);
        sizes << size;
    }
    for (const int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(size);
        const QString output = folder + '/' + name + ".png";
        if (!QDir().mkpath(folder) || !image.save(output, "PNG"))
            return Fail("cannot write " + output);
    }
    return 0;
}
