// The channel column panel of the Gain and Delay pages.
#include "ui/pages/SysChannelPanel.h"

#include "ui/artwork/Palette.h"
#include "ui/pages/SysPageCommon.h"

#include <QPainter>
#include <QPainterPath>

namespace velmar {

SysChannelPanel::SysChannelPanel(QWidget* parent) : QWidget(parent), m_accent(palette::kAccent) {}

void SysChannelPanel::setTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    update();
}

void SysChannelPanel::setAccent(QColor accent) {
    m_accent = accent;
    update();
}

void SysChannelPanel::setScale(const QList<ScaleMark>& marks, int right) {
    m_scale = marks;
    m_scaleRight = right;
    update();
}

void SysChannelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath body;
    body.addRoundedRect(r, 5, 5);
    p.fillPath(body, palette::kPanel);

    // Caption strip: a slightly raised band, the name centred, the accent line below it.
    p.save();
    p.setClipPath(body);
    const QRectF strip(r.left(), r.top(), r.width(), kCaptionHeight);
    p.fillRect(strip, palette::kPanelRaised);
    p.fillRect(QRectF(r.left() + 6, strip.bottom() - 2, r.width() - 12, 2), m_accent);
    p.restore();

    p.setPen(QPen(palette::kBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(palette::kText);
    p.setFont(palette::condensedFont(12, true));
    p.drawText(QRect(0, 1, width(), kCaptionHeight - 3), Qt::AlignCenter, m_title);

    p.setPen(palette::kTextFaint);
    p.setFont(palette::condensedFont(10));
    for (const ScaleMark& mark : m_scale)
        p.drawText(QRect(0, mark.y - 7, m_scaleRight, 14), Qt::AlignRight | Qt::AlignVCenter, mark.text);
}

void SysChannelPanel::paintSection(QPainter& p, const QRect& r, const QString& title) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(palette::kBorder);
    p.setBrush(palette::kPage.lighter(104));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect strip(r.left() + 1, r.top() + 1, r.width() - 2, kSectionTitleHeight - 1);
    p.fillRect(strip, palette::kPanel);
    p.setPen(palette::kBorder);
    p.drawLine(strip.bottomLeft(), strip.bottomRight());
    p.setPen(palette::kTextDim);
    p.setFont(palette::uiFont(12, true));
    p.drawText(strip.adjusted(10, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.restore();
}

void SysChannelPanel::arrange(QSize pageSize, int config, int contentHeight,
                              const std::array<SysChannelPanel*, 12>& panels, QRect& inputSection,
                              QRect& outputSection) {
    int inputs = 0, outputs = 0;
    for (int c = 0; c < syspages::kColumnCount; ++c)
        if (syspages::columnPresent(config, c)) ++(c < kInputCount ? inputs : outputs);
    const int columnWidth = panels[0]->width();
    auto sectionWidth = [columnWidth](int n) {
        return 2 * kSectionPadding + n * columnWidth + (n - 1) * kColumnGap;
    };
    const int inWidth = sectionWidth(inputs), outWidth = sectionWidth(outputs);
    const int left = qMax(0, (pageSize.width() - inWidth - kSectionGap - outWidth) / 2);
    const int top = 6;
    const int sectionHeight = qMax(0, pageSize.height() - 2 * top);
    inputSection = QRect(left, top, inWidth, sectionHeight);
    outputSection = QRect(left + inWidth + kSectionGap, top, outWidth, sectionHeight);

    // The panels fill the sections' bodies (never shorter than their content).
    const int body = sectionHeight - kSectionTitleHeight;
    const int panelHeight = qMax(contentHeight, body - 2 * kSectionPadding);
    const int panelTop = top + kSectionTitleHeight + kSectionPadding;
    for (SysChannelPanel* panel : panels) panel->resize(columnWidth, panelHeight);
    int in = 0, out = 0;
    for (int c = 0; c < syspages::kColumnCount; ++c) {
        if (!syspages::columnPresent(config, c)) continue;
        const bool input = c < kInputCount;
        const QRect& section = input ? inputSection : outputSection;
        const int index = input ? in++ : out++;
        panels[size_t(c)]->move(section.left() + kSectionPadding + index * (columnWidth + kColumnGap),
                                panelTop);
    }
}

} // namespace velmar
