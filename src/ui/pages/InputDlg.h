// CInputDlg: the Input page of the main window (drawn as a stand-in until the page is built).
#pragma once

#include "ui/pages/GraphNotice.h"
#include "ui/pages/PageBase.h"

namespace velmar {

// Edits input app().currentChannel (0..3 = A..D); shown in the short rectangle above the graph.
// UI thread only; a child of the main window's tab control.
class CInputDlg : public PageBase {
    Q_OBJECT

public:
    CInputDlg(AppState& app, QWidget* parent);

    void RefreshPage() override;

    // The graph changed point `index` (band 0..9) of input `channel`'s equaliser curves: take the
    // band from the curve record into the image and send it. `channel` is the channel the edit was
    // made on, which is the shown one unless the pages moved on meanwhile.
    void GraphPointChanged(int index, int channel);
    // The graph's edit ends EQ BYPASS of input `channel`.
    void ClearEqBypass(int channel);

    const GraphNotice& lastGraphNotice() const { return m_notice; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphNotice m_notice;
};

} // namespace velmar
