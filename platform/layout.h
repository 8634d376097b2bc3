#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Window layouts are drawn up in twips (1/1440 inch); 15 twips make one
// pixel at 96 dots per inch. Qt scales these pixels on high-DPI screens.
namespace platform {

inline constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

inline QRect fromTwips(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QSize sizeFromTwips(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

// Every window's font: a plain sans serif at 8.25 pt, the nearest the
// machine has to the classic dialog font.
QFont defaultFont();

// A named font of a window, with the same fallback, at `points`.
QFont namedFont(const QString &family, qreal points, bool bold);

} // namespace platform
