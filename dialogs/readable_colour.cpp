#include "readable_colour.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace readable_colour {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// The light greys of the desktops' standard light palettes (192 to 250 in
// every channel, nearly without tint); a high-contrast white is not one.
bool isLightGrey(const QColor &colour)
{
    const int low = std::min({colour.red(), colour.green(), colour.blue()});
    const int high = std::max({colour.red(), colour.green(), colour.blue()});
    return low >= 192 && high <= 250 && high - low <= 16;
}

class Keeper final : public QObject {
public:
    Keeper(QWidget &text, const QColor &designed) : QObject(&text), m_text(text), m_designed(designed)
    {
        apply();
        text.installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
            apply();
        return false;
    }

private:
    // Setting the same palette again sends no change, so this ends.
    void apply()
    {
        QPalette palette = m_text.palette();
        const QFont font = m_text.font();
        palette.setColor(QPalette::WindowText, on(palette.color(QPalette::Window), m_designed,
                                                  minimumFor(font.pointSizeF(), font.bold())));
        m_text.setPalette(palette);
    }

    QWidget &m_text;
    QColor m_designed;
};

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)}); // values: no references to temporaries
    return (light + 0.05) / (dark + 0.05);
}

double minimumFor(qreal points, bool bold)
{
    return points >= 18 || (bold && points >= 14) ? 3.0 : 4.5;
}

QColor on(const QColor &background, const QColor &designed, double minimum)
{
    if (isLightGrey(background) || contrast(designed, background) >= minimum)
        return designed;
    const bool lighter = contrast(Qt::white, background) >= contrast(Qt::black, background);
    float hue, saturation, lightness, alpha;
    designed.getHslF(&hue, &saturation, &lightness, &alpha);
    for (int step = 1; step <= 100; ++step) {
        const float moved = lighter ? lightness + (1 - lightness) * step / 100 : lightness * (100 - step) / 100;
        const QColor candidate = QColor::fromHslF(std::max(hue, 0.0f), saturation, moved);
        if (contrast(candidate, background) >= minimum)
            return candidate;
    }
    return lighter ? QColor(Qt::white) : QColor(Qt::black);
}

void keep(QWidget &text, const QColor &designed)
{
    new Keeper(text, designed);
}

} // namespace readable_colour
