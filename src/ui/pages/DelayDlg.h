// CDelayDlg: the Delay page - the delay of all twelve channels in milliseconds, metres and feet.
#pragma once

#include "ui/pages/SysChannelsPage.h"

#include <array>

namespace velmar {

class CBitmapSlider;
class SysChannelPanel;
class NumericEntry;
class StepButtons;

// Column c = 0..3 is input A..D, 4..11 output 1..8. Each column holds the delay fader (raw 0..1466
// through its inverted position, the longest delay at the top) and three entries with their spins, one
// under the other: milliseconds ("%4.3fms" / "%dms"), metres ("%6.3fMt" / "%6.2fMt") and feet
// ("%6.3fFt" / "%6.2fFt" / "%6.1fFt"). A typed value is searched on the delay scale in its unit.
//
// Every edit writes the image, queues parameter 1 of the channel and then copies only `delay` to the
// other members of the channel's link group, marking their parameter 1 dirty. Shown in the tall
// rectangle; a child of the main window's tab control; UI thread only.
class CDelayDlg : public SysChannelsPage {
    Q_OBJECT

public:
    static constexpr int kUnitCount = 3; // 0 ms, 1 metres, 2 feet
    static constexpr int kFaderMax = 1466;

    CDelayDlg(AppState& app, QWidget* parent);
    ~CDelayDlg() override;

    void RefreshPage() override;

    // What the controls of column `column` do; tests call them as the controls would.
    void OnFaderMoved(int column);
    void OnSpin(int column, int delta); // any of the three spins; delta < 0: the up arrow
    void OnEntryLeft(int column, int unit);

    CBitmapSlider* fader(int column) const;
    NumericEntry* entry(int column, int unit) const;
    StepButtons* spin(int column, int unit) const;
    SysChannelPanel* panel(int column) const;

private:
    struct Column {
        SysChannelPanel* panel = nullptr;
        CBitmapSlider* fader = nullptr;
        std::array<NumericEntry*, kUnitCount> entries{};
        std::array<StepButtons*, kUnitCount> spins{};
    };

    void buildColumn(int column);
    void placeColumn(int column) override;
    // Writes the three texts, queues parameter 1 of the channel if asked, moves the fader.
    void showDelay(int column, bool queue);
    void linkStep(int column);

    std::array<Column, 12> m_columns{};
    bool m_checkingEntry = false;
};

} // namespace velmar
