// The titled panel of the channel pages.
#include "ui/pages/PagePanel.h"

#include "ui/artwork/Palette.h"

#include <QPainter>

namespace velmar {

PagePanel::PagePanel(QWidget* parent) : QWidget(parent) {}

void PagePanel::SetTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    update();
}

void PagePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(palette::kBorder, 1));
    p.setBrush(palette::kPanel);
    p.drawRoundedRect(r, 4, 4);
    if (m_title.isEmpty()) return;
    // The caption band: a slightly lighter strip with a hairline under it.
    const QRectF band(r.left() + 1, r.top() + 1, r.width() - 2, kTitleHeight - 1);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kPanelRaised);
    p.drawRoundedRect(band, 3, 3);
    p.fillRect(QRectF(band.left(), band.bottom() - 3, band.width(), 3), palette::kPanelRaised);
    p.setPen(palette::kBorder);
    p.drawLine(QPointF(r.left() + 1, kTitleHeight + 0.5), QPointF(r.right() - 1, kTitleHeight + 0.5));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(palette::kTextDim);
    p.setFont(palette::uiFont(11, true));
    p.drawText(QRect(10, 1, width() - 20, kTitleHeight - 1), Qt::AlignLeft | Qt::AlignVCenter, m_title);
}

} // namespace velmar
