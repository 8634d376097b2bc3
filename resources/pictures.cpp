#include "pictures.h"

#include <QBitmap>
#include <QColor>

namespace pictures {

QString path(const QString &fileName)
{
    return QStringLiteral(":/pictures/") + fileName;
}

QIcon icon(const QString &fileName)
{
    return QIcon(path(fileName));
}

QPixmap maskedBitmap(const QString &fileName)
{
    QPixmap pixmap(path(fileName));
    if (!pixmap.isNull())
        pixmap.setMask(pixmap.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
    return pixmap;
}

} // namespace pictures
