#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyle>

// The palettes the windows are checked in: Qt's standard light one, a dark
// one as desktop dark themes give, and a high-contrast one (white on black).
namespace test_palettes {

inline QPalette named(const QString &name)
{
    if (name == QLatin1String("light"))
        return QApplication::style()->standardPalette();
    const bool dark = name == QLatin1String("dark");
    const QColor window = dark ? QColor(53, 53, 53) : Qt::black, base = dark ? QColor(42, 42, 42) : Qt::black;
    const QColor text = dark ? QColor(238, 238, 236) : Qt::white;
    QPalette palette(text, window, window.lighter(), window.darker(), window, text, text, base, window);
    palette.setColor(QPalette::Highlight, dark ? QColor(42, 130, 218) : QColor(26, 235, 255));
    return palette;
}

} // namespace test_palettes
