#pragma once

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <climits>

// Owns a window under test: deletes it if the test left it open, and tells
// whether the window has gone after its deferred deletion.
class OpenWindow {
public:
    explicit OpenWindow(QWidget *window) : m_window(window) {}
    ~OpenWindow() { delete m_window.data(); }
    OpenWindow(const OpenWindow &) = delete;
    OpenWindow &operator=(const OpenWindow &) = delete;

    QWidget *get() const { return m_window.data(); }
    template <typename T>
    T *child(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }

    bool deleted() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_window.isNull();
    }

private:
    QPointer<QWidget> m_window;
};

// Shows a new window and makes it the active one, as opening it from the
// main window does.
inline QWidget *shownActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return window;
}

// The names of the labels of `window` whose text does not fit their box in
// the font the machine has; empty when every text fits.
inline QString clippedLabels(const QWidget &window)
{
    QStringList clipped;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QRect box = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed =
            label->fontMetrics().boundingRect(QRect(0, 0, box.width(), INT_MAX / 2), flags, label->text());
        if (needed.width() > box.width() || needed.height() > box.height())
            clipped << label->objectName();
    }
    return clipped.join(QStringLiteral("; "));
}
