#pragma once

#include <QIcon>
#include <QStatusBar>

#include <array>

class PanelText;
class PictureLabel;

// The main window's status bar: three panels, numbered 1 to 3 from the left,
// each showing a text and a small picture.
class MainStatusBar final : public QStatusBar {
    Q_OBJECT
public:
    enum class Panel { First = 1, Second = 2, Third = 3 };

    explicit MainStatusBar(QWidget *parent);

    void setPanelText(Panel panel, const QString &text);
    void setPanelPicture(Panel panel, const QIcon &picture);

    QString panelText(Panel panel) const;
    // The panel's picture; null when it shows none.
    QIcon panelPicture(Panel panel) const;

private:
    struct PanelWidgets {
        QWidget *frame = nullptr;
        PictureLabel *picture = nullptr;
        PanelText *text = nullptr;
        QIcon icon;
    };
    PanelWidgets &at(Panel panel) { return m_panels[std::size_t(panel) - 1]; }
    const PanelWidgets &at(Panel panel) const { return m_panels[std::size_t(panel) - 1]; }

    std::array<PanelWidgets, 3> m_panels;
};
