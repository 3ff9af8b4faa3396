// make_window_pictures: the pictures of the three windows that the user's guide shows, taken at build
// time from the real windows, offscreen, as they open (the main window at its start-up state), so that
// the guide never shows a window that has changed since.
//
//   make_window_pictures OUTPUT_DIR     writes main_window.png, saturation_window.png, unit_converter.png
#include "ui/desktop_services.h"
#include "ui/form_ambient.h"
#include "ui/form_saturation.h"
#include "ui/form_unit_convertor.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <memory>

namespace {

/// Nothing is handed to a desktop while the pictures are taken.
class NoDesktop final : public humidora::DesktopServices
{
public:
    humidora::DocumentOpening openDocument(const QString&) override { return {}; }
    bool openAddress(const QString&) override { return false; }
};

bool Save(QWidget& window, const QDir& folder, const char* name)
{
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QLatin1String(name));
    if (window.grab().save(path, "PNG"))
        return true;
    std::fprintf(stderr, "make_window_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_window_pictures OUTPUT_DIR\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_window_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    Form_ambient main_window(std::make_unique<NoDesktop>());
    Form_saturation saturation;
    Form_unit_convertor converter;
    const bool saved = Save(main_window, folder, "main_window.png")
        && Save(saturation, folder, "saturation_window.png") && Save(converter, folder, "unit_converter.png");
    return saved ? 0 : 1;
}
