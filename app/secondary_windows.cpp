#include "secondary_windows.h"

#include "about_window.h"
#include "add_word_dialog.h"
#include "days_window.h"
#include "language_window.h"
#include "numbers_window.h"
#include "technology_window.h"

namespace {

using W = SecondaryWindow;

struct Switch {
    W target;
    bool showFirst;             // show the target before closing the others
    std::array<W, 5> closeList; // closed one after the other, in this order
};

// The lists differ on purpose: Language closes itself (it always opens
// afresh) and leaves the Technology window open.
constexpr Switch kSwitches[] = {
    {W::Add, false, {W::Numbers, W::Days, W::About, W::Language, W::Technology}},
    {W::Numbers, false, {W::Days, W::About, W::Language, W::Add, W::Technology}},
    {W::Days, false, {W::Numbers, W::About, W::Add, W::Language, W::Technology}},
    {W::About, false, {W::Numbers, W::Days, W::Language, W::Add, W::Technology}},
    {W::Language, false, {W::Numbers, W::Days, W::Language, W::About, W::Add}},
    {W::Technology, true, {W::Numbers, W::Days, W::Add, W::About, W::Language}},
};

std::size_t slot(W window)
{
    return std::size_t(window);
}

} // namespace

SecondaryWindows::SecondaryWindows(platform::Platform &platform) : m_platform(platform) {}

SecondaryWindows::~SecondaryWindows()
{
    for (QPointer<QWidget> &window : m_windows)
        delete window.data();
}

void SecondaryWindows::switchTo(SecondaryWindow target)
{
    for (const Switch &step : kSwitches) {
        if (step.target != target)
            continue;
        if (step.showFirst)
            show(target);
        for (W window : step.closeList)
            close(window);
        if (!step.showFirst)
            show(target);
        return;
    }
}

QWidget *SecondaryWindows::openWindow(SecondaryWindow window) const
{
    // A window closed by its own controls is hidden at once and deleted a
    // little later; it no longer counts as open.
    QWidget *widget = m_windows[slot(window)].data();
    return widget && widget->isVisible() ? widget : nullptr;
}

void SecondaryWindows::close(SecondaryWindow window)
{
    if (QWidget *widget = openWindow(window))
        widget->close();
    m_windows[slot(window)] = nullptr;
}

void SecondaryWindows::show(SecondaryWindow window)
{
    QWidget *widget = openWindow(window);
    if (!widget) {
        widget = create(window);
        m_windows[slot(window)] = widget;
    }
    widget->show();
    widget->raise();
    widget->activateWindow();
}

QWidget *SecondaryWindows::create(SecondaryWindow window) const
{
    switch (window) {
    case W::Add:
        return new frmAdd(m_platform);
    case W::Numbers:
        return new Form2;
    case W::Days:
        return new Form3;
    case W::Technology:
        return new frmTech;
    case W::Language:
        return new Dialog;
    case W::About:
        return new frmAbout;
    }
    return nullptr;
}
