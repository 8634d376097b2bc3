#include "status_bar.h"

#include "layout.h"
#include "picture_label.h"

#include <QHBoxLayout>
#include <QLabel>

// A panel's text. What does not fit ends with an ellipsis at the panel's
// edge instead of being cut mid-letter; screen readers get the whole text.
class PanelText final : public QLabel {
public:
    explicit PanelText(QWidget *parent) : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // the panel's width decides
    }
    void setWholeText(const QString &text)
    {
        m_whole = text;
        setAccessibleName(text);
        elide();
    }
    const QString &wholeText() const { return m_whole; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(m_whole, Qt::ElideRight, contentsRect().width())); }

    QString m_whole;
};

namespace {
constexpr int kPanelWidthTwips = 2415;
constexpr int kPanelMinimumTwips = 1440;
constexpr int kHeightTwips = 375;
constexpr int kPictureSize = 16;
} // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFixedHeight(platform::twipsToPixels(kHeightTwips));
    // One item holding the three panels side by side: as items of their own
    // they would be spaced apart, and the bar would grow wider than its window.
    auto *panels = new QWidget(this);
    panels->setObjectName(QStringLiteral("Panels"));
    auto *row = new QHBoxLayout(panels);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    int number = 1;
    for (PanelWidgets &panel : m_panels) {
        panel.frame = new QWidget(panels);
        panel.frame->setObjectName(QStringLiteral("Panel%1").arg(number++));
        panel.frame->setMinimumWidth(platform::twipsToPixels(kPanelMinimumTwips));
        panel.frame->setFixedWidth(platform::twipsToPixels(kPanelWidthTwips));
        auto *layout = new QHBoxLayout(panel.frame);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setSpacing(3);
        panel.picture = new PictureLabel(panel.frame, "", QSize(kPictureSize, kPictureSize), QRect());
        panel.picture->setFixedSize(kPictureSize, kPictureSize);
        panel.picture->setAccessibleName(QString());
        panel.text = new PanelText(panel.frame);
        layout->addWidget(panel.picture);
        layout->addWidget(panel.text, 1);
        panel.picture->hide();
        row->addWidget(panel.frame);
    }
    addWidget(panels);
}

void MainStatusBar::setPanelText(Panel panel, const QString &text)
{
    PanelWidgets &widgets = at(panel);
    widgets.text->setWholeText(text);
    widgets.frame->setAccessibleName(text);
}

void MainStatusBar::setPanelPicture(Panel panel, const QIcon &picture)
{
    PanelWidgets &widgets = at(panel);
    widgets.icon = picture;
    widgets.picture->setPicture(picture);
    widgets.picture->setVisible(!picture.isNull());
}

QString MainStatusBar::panelText(Panel panel) const
{
    return at(panel).text->wholeText();
}

QIcon MainStatusBar::panelPicture(Panel panel) const
{
    return at(panel).icon;
}
