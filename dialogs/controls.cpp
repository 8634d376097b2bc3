#include "controls.h"

#include "layout.h"
#include "pictures.h"
#include "readable_colour.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QToolButton>
#include <QWidget>

namespace controls {

namespace {

class EnterPressesFocusedButton final : public QObject {
public:
    explicit EnterPressesFocusedButton(QWidget &window) : QObject(&window), m_window(window) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *button = qobject_cast<QAbstractButton *>(m_window.focusWidget());
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

private:
    QWidget &m_window;
};

} // namespace

Qt::WindowFlags windowFlags(Border border)
{
    const Qt::WindowFlags kind = border == Border::Dialog ? Qt::Dialog : Qt::Window;
    return kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

void setUpWindow(QWidget &window, const char *name, const QString &caption, const QString &iconFile,
                 const QSize &client)
{
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    window.setWindowIcon(pictures::icon(iconFile));
    window.setFont(platform::defaultFont());
    window.setFixedSize(client);
    window.setAttribute(Qt::WA_DeleteOnClose);
    pressFocusedButtonOnEnter(window);
}

void pressFocusedButtonOnEnter(QWidget &window)
{
    window.installEventFilter(new EnterPressesFocusedButton(window));
}

void setProgramText(QLineEdit &box, const QString &text)
{
    box.setText(text); // setText empties the box's undo history
}

void centreOnScreen(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

QFont namedFont(const QString &family, qreal points, bool bold)
{
    QFont font = platform::namedFont(family, points, bold);
    font.setFamilies({family, QStringLiteral("DejaVu Sans")});
    return font;
}

QGroupBox *frame(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *box = new QGroupBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry, const QColor &colour)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (colour.isValid())
        readable_colour::keep(*label, colour);
    return label;
}

QLabel *boldLabel(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                  const QColor &colour)
{
    QLabel *bold = label(parent, name, caption, geometry, colour);
    bold->setFont(namedFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    return bold;
}

QToolButton *exitPictureButton(QWidget *parent, const char *name, const QString &iconFile, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(pictures::icon(iconFile));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setToolTip(QStringLiteral("Exit"));
    button->setAccessibleName(QStringLiteral("Exit"));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(geometry);
    return button;
}

} // namespace controls
