#include "pictures.h"

#include <QBitmap>
#include <QColor>
#include <QPixmap>

namespace pictures {

QString path(const QString &fileName)
{
    return QStringLiteral(":/pictures/") + fileName;
}

QIcon icon(const QString &fileName)
{
    QIcon icon(path(fileName));
    icon.addFile(path(QStringLiteral("hidpi/") + fileName));
    return icon;
}

QIcon bitmap(const QString &fileName, bool masked)
{
    QIcon sizes;
    const QString base = fileName.chopped(4); // without ".bmp"
    for (const QString &file : {fileName, QStringLiteral("hidpi/%1-2x.bmp").arg(base),
                                QStringLiteral("hidpi/%1-3x.bmp").arg(base)}) {
        QPixmap pixmap(path(file));
        if (masked && !pixmap.isNull())
            pixmap.setMask(pixmap.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
        sizes.addPixmap(pixmap);
    }
    return sizes;
}

} // namespace pictures
