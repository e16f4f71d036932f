// Common page behaviour: the refresh count and the placeholder drawing.
#include "ui/pages/PageBase.h"

#include "ui/artwork/Palette.h"

#include <QPainter>

namespace velmar {

PageBase::PageBase(AppState& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, palette::kPage);
    setPalette(p);
}

void PageBase::Refresh() {
    ++m_refreshCount;
    RefreshPage();
}

void PageBase::paintPlaceholder(const QString& title, const QString& detail) {
    QPainter p(this);
    p.fillRect(rect(), palette::kPage);
    const QRect panel = rect().adjusted(12, 12, -12, -12);
    p.setPen(palette::kBorder);
    p.setBrush(palette::kPanel);
    p.drawRoundedRect(panel, 6, 6);
    p.setPen(palette::kText);
    p.setFont(palette::uiFont(22, true));
    p.drawText(panel.adjusted(0, 0, 0, -30), Qt::AlignCenter, title);
    p.setPen(palette::kTextDim);
    p.setFont(palette::uiFont(13));
    p.drawText(panel.adjusted(0, 40, 0, 0), Qt::AlignCenter, detail);
}

} // namespace velmar
