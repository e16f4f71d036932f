// COutputDlg: the Output page of the main window (drawn as a stand-in until the page is built).
#pragma once

#include "ui/pages/GraphNotice.h"
#include "ui/pages/PageBase.h"

namespace velmar {

// Edits output app().currentChannel (0..7 = 1..8); shown in the short rectangle above the graph.
// UI thread only; a child of the main window's tab control.
class COutputDlg : public PageBase {
    Q_OBJECT

public:
    COutputDlg(AppState& app, QWidget* parent);

    // Also gives the graph the shown output's curve set.
    void RefreshPage() override;

    // The graph changed filter `index` (0..9 a band, 10 high-pass, 11 low-pass) of output `channel`.
    void GraphPointChanged(int index, int channel);
    // The graph's edit of a band ends EQ BYPASS of output `channel`.
    void ClearEqBypass(int channel);

    const GraphNotice& lastGraphNotice() const { return m_notice; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphNotice m_notice;
};

} // namespace velmar
