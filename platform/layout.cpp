#include "layout.h"

namespace platform {

QFont namedFont(const QString &family, qreal points, bool bold)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont defaultFont()
{
    return namedFont(QStringLiteral("MS Sans Serif"), 8.25, false);
}

} // namespace platform
