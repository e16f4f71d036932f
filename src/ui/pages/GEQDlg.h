// CGEQDlg: the Graphic EQ page of the main window (drawn as a stand-in until the page is built).
#pragma once

#include "ui/pages/GraphNotice.h"
#include "ui/pages/PageBase.h"

namespace velmar {

// Edits the 31-band graphic equaliser of input app().currentChannel (0..3); shown in the short
// rectangle above the graph. Shares the EQ-bypass state (app().eqBypass) with the Input page.
// UI thread only; a child of the main window's tab control.
class CGEQDlg : public PageBase {
    Q_OBJECT

public:
    CGEQDlg(AppState& app, QWidget* parent);

    void RefreshPage() override;

    // The graph changed band `band` (0..30) of input `channel`'s graphic-equaliser curves.
    void TakeBandFromGraph(int band, int channel);

    const GraphNotice& lastGraphNotice() const { return m_notice; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphNotice m_notice;
};

} // namespace velmar
