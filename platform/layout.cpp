#include "layout.h"

#include <QFontInfo>
#include <QGuiApplication>

namespace platform {

namespace {

// A face the machine lacks falls back, on Windows, to the first face Qt
// lists that fits the style hint, which can be a symbol or mathematics face
// whose text does not show in a text box. There the system's own dialog
// face stands in; elsewhere fontconfig finds the nearest face itself.
QFont installedOrDialogFace(QFont font)
{
#ifdef Q_OS_WIN
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0)
        font.setFamily(QGuiApplication::font().family());
#endif
    return font;
}

} // namespace

QFont namedFont(const QString &family, qreal points, bool bold)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return installedOrDialogFace(font);
}

QFont defaultFont()
{
    return namedFont(QStringLiteral("MS Sans Serif"), 8.25, false);
}

} // namespace platform
