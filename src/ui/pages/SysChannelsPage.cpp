// The twelve-column pages' panels, sections and layout.
#include "ui/pages/SysChannelsPage.h"

#include "ui/artwork/Palette.h"
#include "ui/pages/SysChannelPanel.h"
#include "ui/pages/SysPageCommon.h"

#include <QPainter>

namespace velmar {

SysChannelsPage::SysChannelsPage(AppState& app, QWidget* parent, int contentHeight)
    : PageBase(app, parent), m_contentHeight(contentHeight) {}

SysChannelPanel* SysChannelsPage::addPanel(int column, QColor accent) {
    auto* panel = new SysChannelPanel(this);
    panel->setAccent(accent);
    m_panels[size_t(column)] = panel;
    return panel;
}

void SysChannelsPage::refreshColumns(const QString& inputsTitle, const QString& outputsTitle) {
    m_inputsTitle = inputsTitle;
    m_outputsTitle = outputsTitle;
    const int config = app().core.deviceConfig;
    for (int c = 0; c < syspages::kColumnCount; ++c) {
        if (!m_panels[size_t(c)]) continue;
        m_panels[size_t(c)]->setTitle(syspages::columnCaption(c));
        m_panels[size_t(c)]->setVisible(syspages::columnPresent(config, c));
    }
    layoutColumns();
    update();
}

void SysChannelsPage::layoutColumns() {
    SysChannelPanel::arrange(size(), app().core.deviceConfig, m_contentHeight, m_panels, m_inputSection,
                             m_outputSection);
    for (int c = 0; c < syspages::kColumnCount; ++c) placeColumn(c);
}

void SysChannelsPage::resizeEvent(QResizeEvent*) {
    layoutColumns();
}

void SysChannelsPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette::kPage);
    SysChannelPanel::paintSection(p, m_inputSection, m_inputsTitle);
    SysChannelPanel::paintSection(p, m_outputSection, m_outputsTitle);
}

} // namespace velmar
