#include "image_list.h"

#include "pictures.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A 16-pixel bitmap in the middle of a toolbar button's 32-pixel place, at
// each density from the bitmap's own image for it.
QIcon inToolbarPlace(const QIcon &bitmap)
{
    QIcon placed;
    for (int scale = 1; scale <= 3; ++scale) {
        QPixmap place(32 * scale, 32 * scale);
        place.fill(Qt::transparent);
        QPainter(&place).drawPixmap(8 * scale, 8 * scale, bitmap.pixmap(QSize(16, 16) * scale, 1.0));
        placed.addPixmap(place);
    }
    return placed;
}

} // namespace

ImageList::ImageList()
{
    const char *const files[] = {
        "exit.ico",  "add.ico",    "numbers.ico", "days.ico",  "language.ico", "list6.bmp",  "home.ico",
        "tech.ico",  "list9.ico",  "list10.ico",  "about.ico", "list12.ico",   "readme.ico",
    };
    for (const char *file : files) {
        const QString name = QLatin1String(file);
        m_images.append(name.endsWith(QLatin1String(".bmp")) ? inToolbarPlace(pictures::bitmap(name))
                                                              : pictures::icon(name));
    }
}

QIcon ImageList::image(int index) const
{
    if (index < 1 || index > count())
        return {};
    return m_images.at(index - 1);
}
