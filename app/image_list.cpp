#include "image_list.h"

#include "pictures.h"

ImageList::ImageList()
{
    const char *const files[] = {
        "exit.ico",  "add.ico",    "numbers.ico", "days.ico",  "language.ico", "list6.bmp",  "home.ico",
        "tech.ico",  "list9.ico",  "list10.ico",  "about.ico", "list12.ico",   "readme.ico",
    };
    for (const char *file : files) {
        const QString name = QLatin1String(file);
        // Bitmaps carry light grey where they are transparent; icons have masks of their own.
        m_images.append(name.endsWith(QLatin1String(".bmp")) ? QIcon(pictures::maskedBitmap(name))
                                                              : pictures::icon(name));
    }
}

QIcon ImageList::image(int index) const
{
    if (index < 1 || index > count())
        return {};
    return m_images.at(index - 1);
}
