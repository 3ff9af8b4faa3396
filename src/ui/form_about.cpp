#include "ui/form_about.h"

#include "assets/about_picture.h"
#include "calc/document/product.h"

#include <QLabel>
#include <QPixmap>

namespace {

constexpr int kClientWidth = 343;
constexpr int kClientHeight = 341;
// The picture keeps its own size; it is a few pixels wider than the window, whose right edge trims it.
constexpr int kPictureWidth = 348;
constexpr int kPictureHeight = 341;

} // namespace

form_about::form_about(QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("form_about"));
    setAttribute(Qt::WA_DeleteOnClose);
    const std::string_view title = humidora::kProductTitle;
    setWindowTitle(
        QStringLiteral("About ") + QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    setFixedSize(kClientWidth, kClientHeight);

    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(228, 228, 222));
    setPalette(background);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(humidora::AboutPicturePath()));
}
