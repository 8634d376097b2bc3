#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QGroupBox;
class QLabel;
class QToolButton;
class QWidget;

// Building blocks the secondary windows share: the fixed window they sit in
// and the few kinds of control they all carry. Geometry is in pixels, made
// from the layouts' twips with platform::fromTwips.
namespace controls {

// A window that cannot be resized and has a close box but no minimize or
// maximize box. A dialog border keeps it out of the task bar.
enum class Border { Dialog, FixedSingle };
Qt::WindowFlags windowFlags(Border border);

// Names the window, gives it its caption, icon, default font and fixed client
// size, and has it deleted when it closes, so the next opening starts afresh.
void setUpWindow(QWidget &window, const char *name, const QString &caption, const QString &iconFile,
                 const QSize &client);

void centreOnScreen(QWidget &window);

// A font a window names explicitly. Such fonts are meant to carry Arabic as
// well: where the family lacks those glyphs (or is missing), DejaVu Sans,
// which Debian ships with Arabic, fills in.
QFont namedFont(const QString &family, qreal points, bool bold);

// A frame without a caption; the controls inside it are placed relative to it.
QGroupBox *frame(QWidget *parent, const char *name, const QRect &geometry);

// A label in the window's font; `colour` left invalid keeps the palette's.
QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
              const QColor &colour = QColor());

// A label in the bold variant of the window's font.
QLabel *boldLabel(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                  const QColor &colour = QColor());

void setTextColour(QWidget *widget, const QColor &colour);

// A push button drawn as a 32 x 32 picture, with no caption and the tool tip
// "Exit"; the accessible name stands in for the missing caption.
QToolButton *exitPictureButton(QWidget *parent, const char *name, const QString &iconFile, const QRect &geometry);

} // namespace controls
