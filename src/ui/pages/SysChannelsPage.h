// SysChannelsPage: what the Gain and Delay pages share - twelve channel panels in an inputs and an
// outputs section, arranged for the device configuration and for the page's size.
#pragma once

#include "ui/pages/PageBase.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <array>

namespace velmar {

class SysChannelPanel;

// Column c = 0..3 is input A..D, 4..11 output 1..8. The page creates each column's panel with
// addPanel and fills it; this class places the panels of the channels the configuration has, as tall
// as the page allows, and draws the two section frames. Owned by the main window's tab control; UI
// thread only.
class SysChannelsPage : public PageBase {
    Q_OBJECT

public:
    // `contentHeight` is the least height a panel gets: what its controls need.
    SysChannelsPage(AppState& app, QWidget* parent, int contentHeight);

protected:
    // Creates the panel of `column` (owned by this page) with its accent colour.
    SysChannelPanel* addPanel(int column, QColor accent);
    // Gives every panel its caption, shows only the channels of the device configuration, titles the
    // sections (in the caller's translation context) and lays the page out again.
    void refreshColumns(const QString& inputsTitle, const QString& outputsTitle);
    // Arranges the panels for the page's size, then lets the page place each column's controls.
    void layoutColumns();
    // Places the controls of `column` in its panel, whose height layoutColumns has just decided.
    virtual void placeColumn(int column) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<SysChannelPanel*, 12> m_panels{};
    QRect m_inputSection, m_outputSection;
    QString m_inputsTitle, m_outputsTitle;
    int m_contentHeight;
};

} // namespace velmar
