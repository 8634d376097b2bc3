#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, compiled into it. Each comes with its copies for
// dense screens (hidpi/), drawn at two and three times its size, so a QIcon
// holds every size and Qt takes the one that suits the screen: the exact one
// at normal density, else the next larger, scaled down.
namespace pictures {

// The resource path of a picture file, e.g. path("main.ico").
QString path(const QString &fileName);

// An icon file with all its sizes and its larger images.
QIcon icon(const QString &fileName);

// A bitmap with its 2x and 3x copies. With `masked`, their light-grey
// background (192, 192, 192) is made transparent.
QIcon bitmap(const QString &fileName, bool masked = true);

} // namespace pictures
