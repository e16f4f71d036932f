// CGainDlg: the Gain page - gain, mute and polarity of all twelve channels side by side, with meters.
#pragma once

#include "ui/pages/SysChannelsPage.h"

#include <QTimer>

#include <array>

namespace velmar {

class CBitmapSlider;
class SysChannelPanel;
class LevelMeter;
class NumericEntry;
class StepButtons;
class xSkinButton;

// Column c = 0..3 is input A..D, 4..11 output 1..8. Each column holds the sound and polarity buttons,
// the gain fader (raw 0..480 through its inverted position, +12 dB at the top) with the channel's
// 15-segment level meter beside it, and the gain entry ("%3.1fdB") with its spin control.
//
// Every edit writes the image, queues parameter 1 of the channel and then copies only the edited field
// to the other members of the channel's link group, marking their parameter 1 dirty (the scheduler
// sends them one per tick after the edit). The meters run on their own 100 ms timer from construction
// on, shown or not. Shown in the tall rectangle; a child of the main window's tab control; UI thread
// only.
class CGainDlg : public SysChannelsPage {
    Q_OBJECT

public:
    static constexpr int kMeterSegments = 15;
    static constexpr int kMeterTimerMs = 100;
    static constexpr int kFaderMax = 480;

    // The fields this page edits; all lie in parameter 1 of their block.
    enum class Field { Gain, SoundOn, Polarity };

    CGainDlg(AppState& app, QWidget* parent);
    ~CGainDlg() override;

    void RefreshPage() override;

    // What the controls of column `column` do; tests call them as the controls would.
    void OnFaderMoved(int column);
    void OnSpin(int column, int delta); // delta < 0: the up arrow
    void OnEntryLeft(int column);
    void OnSoundClicked(int column);
    void OnPolarityClicked(int column);
    // One tick of the meter timer.
    void OnMeterTimer();

    CBitmapSlider* fader(int column) const;
    NumericEntry* entry(int column) const;
    StepButtons* spin(int column) const;
    xSkinButton* soundButton(int column) const;
    xSkinButton* polarityButton(int column) const;
    SysChannelPanel* panel(int column) const;
    LevelMeter* meter(int column) const;
    // The bitmap numbers the buttons show now (419/420 sound, 421/422 polarity).
    int soundBitmap(int column) const;
    int polarityBitmap(int column) const;
    QTimer& meterTimer() { return m_meterTimer; }

private:
    struct Column {
        SysChannelPanel* panel = nullptr;
        CBitmapSlider* fader = nullptr;
        NumericEntry* entry = nullptr;
        StepButtons* spin = nullptr;
        xSkinButton* sound = nullptr;
        xSkinButton* polarity = nullptr;
        LevelMeter* meter = nullptr;
        int soundBitmap = 0;
        int polarityBitmap = 0;
    };

    void buildColumn(int column);
    void placeColumn(int column) override;
    // Shows the gain text and moves the fader; with queue, also queues parameter 1 of the channel.
    void showGain(int column, bool queue);
    void showButtons(int column);
    void linkStep(int column, Field field);

    std::array<Column, 12> m_columns{};
    QTimer m_meterTimer;
    bool m_checkingEntry = false;
};

} // namespace velmar
