#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures, compiled into it.
namespace pictures {

// The resource path of a picture file, e.g. path("main.ico").
QString path(const QString &fileName);

// An icon file with all its sizes.
QIcon icon(const QString &fileName);

// A bitmap whose light-grey background (192, 192, 192) is made transparent.
QPixmap maskedBitmap(const QString &fileName);

} // namespace pictures
