#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
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
// Enter presses its focused button (pressFocusedButtonOnEnter).
void setUpWindow(QWidget &window, const char *name, const QString &caption, const QString &iconFile,
                 const QSize &client);

void centreOnScreen(QWidget &window);

// Enter and keypad Enter press the button that has the focus, as in every
// window of the desktop the layouts come from, without making it the
// window's default button. Only a key the focused control leaves unused
// reaches the window, so a text box or a list keeps its own Enter.
void pressFocusedButtonOnEnter(QWidget &window);

// The most characters a box takes from the user. Far more than any word or
// phrase, and more than the longest key a line of the word list can hold, so
// an over-long paste reaches the checks that explain a refusal instead of
// being cut short without a word; small enough that the box stays quick.
inline constexpr int kTypedTextLimit = 1 << 16;

// Sets a box's text as the program's own doing: unlike QLineEdit::clear(),
// it leaves nothing for the user's Undo to bring back.
void setProgramText(QLineEdit &box, const QString &text);

// A font a window names explicitly. Such fonts are meant to carry Arabic as
// well: where the family lacks those glyphs (or is missing), DejaVu Sans,
// which Debian ships with Arabic, fills in.
QFont namedFont(const QString &family, qreal points, bool bold);

// A frame without a caption; the controls inside it are placed relative to it.
QGroupBox *frame(QWidget *parent, const char *name, const QRect &geometry);

// A label in the window's font; `colour` left invalid keeps the palette's.
// A colour given is the designed one, kept readable in every palette
// (readable_colour::keep).
QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
              const QColor &colour = QColor());

// A label in the bold variant of the window's font.
QLabel *boldLabel(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                  const QColor &colour = QColor());

// A push button drawn as a 32 x 32 picture, with no caption and the tool tip
// "Exit"; the accessible name stands in for the missing caption.
QToolButton *exitPictureButton(QWidget *parent, const char *name, const QString &iconFile, const QRect &geometry);

} // namespace controls
