// SysChannelPanel: the framed column of one channel on the Gain and Delay pages, with its caption.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

#include <array>

class QPainter;

namespace velmar {

// A raised panel with a caption strip at the top (the channel's name) and an accent line under it;
// the page puts the channel's controls inside it. Hiding the panel hides the whole channel.
// Owned by its page; UI thread only.
class SysChannelPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCaptionHeight = 26;

    explicit SysChannelPanel(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setAccent(QColor accent);

    // Scale marks drawn beside a fader: each text right-aligned to `right`, centred on its y.
    struct ScaleMark {
        int y;
        QString text;
    };
    void setScale(const QList<ScaleMark>& marks, int right);

    // The page's section frames (the zones "INPUTS" and "OUTPUTS"), drawn like the Home page's zones.
    static void paintSection(QPainter& p, const QRect& r, const QString& title);
    static constexpr int kSectionTitleHeight = 26;

    // Places the panels of the channels that device configuration `config` has (columns 0..3 inputs,
    // 4..11 outputs) side by side, inputs and outputs each in their own section, the whole centred
    // in a page of `pageSize`, and makes them as tall as the sections allow (at least contentHeight);
    // gives back the two section frames to paint. All panels take the width of the first.
    static void arrange(QSize pageSize, int config, int contentHeight,
                        const std::array<SysChannelPanel*, 12>& panels, QRect& inputSection,
                        QRect& outputSection);
    static constexpr int kColumnGap = 5;
    static constexpr int kSectionPadding = 10;
    static constexpr int kSectionGap = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QColor m_accent;
    QList<ScaleMark> m_scale;
    int m_scaleRight = 0;
};

} // namespace velmar
