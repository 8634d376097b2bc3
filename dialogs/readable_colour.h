#pragma once

#include <QColor>

class QWidget;

// Text colours that stay readable on any background, by the contrast measure
// of the Web Content Accessibility Guidelines 2.1.
namespace readable_colour {

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

// The least ratio text needs to be read with ease (level AA): 3 for large
// text (from 18 points, or 14 points bold), 4.5 for the rest.
double minimumFor(qreal points, bool bold);

// The colour to draw text of the `designed` colour in on `background`. On
// the light grey of a dialog, for which the colours were chosen, that is the
// designed colour; elsewhere (a dark or a high-contrast palette) it is the
// same hue made lighter or darker, just as far as `minimum` needs.
QColor on(const QColor &background, const QColor &designed, double minimum);

// Gives the widget's text the designed colour, made readable on the
// widget's background now and again whenever its palette or font changes.
void keep(QWidget &text, const QColor &designed);

} // namespace readable_colour
