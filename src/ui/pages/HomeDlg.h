// CHomeDlg: the Home page - the processor as a block diagram with the routing matrix and link lists.
#pragma once

#include "ui/pages/PageBase.h"

#include <QPoint>

#include <array>

class QLabel;

namespace velmar {

class SysBlockButton;
class SysComboBox;
class xSkinButton;

// The diagram's background is the picture of the device configuration; the page's controls sit on its
// blocks (HomeLayout). Input rows: caption, link list, Mute, Gain, PEQ, Delay. Output rows: Gain,
// X-Over, PEQ, Comp., Delay, Mute, link list, caption. Between them the 32-button routing matrix.
//
// The block buttons only navigate: they post 0x465 (0, tab) to the main window. The page edits two
// things itself: an output's routeMask (a matrix button flips one bit and queues parameter 1 of that
// output, never propagated to linked outputs) and the link groups (the lists, under the rule of
// SysLinkGroups.h). Channels the device configuration lacks are hidden with their matrix buttons.
// Shown in the tall rectangle; a child of the main window's tab control; UI thread only.
class CHomeDlg : public PageBase {
    Q_OBJECT

public:
    enum class Block { Mute, Gain, Peq, Delay, XOver, Comp };
    static constexpr int kInputBlocks = 4;  // Mute, Gain, PEQ, Delay
    static constexpr int kOutputBlocks = 6; // Gain, X-Over, PEQ, Comp., Delay, Mute

    CHomeDlg(AppState& app, QWidget* parent);
    ~CHomeDlg() override;

    void RefreshPage() override;

    // The tab a block button of channel `channel` (input or output) opens in configuration `config`.
    static int navigationTab(int config, bool input, int channel, Block block);

    // What the controls do; tests call them as the controls would.
    void OnBlockClicked(bool input, int channel, Block block);
    void OnMatrixClicked(int output, int input);
    void OnLinkChosen(uint8_t kind, int channel, int group);

    SysBlockButton* blockButton(bool input, int channel, Block block) const;
    xSkinButton* matrixButton(int output, int input) const;
    int matrixBitmap(int output, int input) const; // 425..432
    SysComboBox* linkList(uint8_t kind, int channel) const;
    QLabel* caption(uint8_t kind, int channel) const;
    // Where the background is painted in the page (the diagram is centred in it).
    QPoint origin() const { return m_origin; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct InputRow {
        QLabel* caption = nullptr;
        SysComboBox* link = nullptr;
        std::array<SysBlockButton*, kInputBlocks> blocks{};
    };
    struct OutputRow {
        QLabel* caption = nullptr;
        SysComboBox* link = nullptr;
        std::array<SysBlockButton*, kOutputBlocks> blocks{};
        std::array<xSkinButton*, kInputCount> matrix{};
        std::array<int, kInputCount> matrixBitmaps{};
    };

    void buildControls();
    void placeControls();
    void setTexts();
    void showMatrix(int output);
    void applyConfig();
    // Brings every list's items, greyed items and selection in line with the link groups.
    void syncLinkLists();
    void syncLinkList(SysComboBox* list, uint8_t kind, int channel, int count);

    std::array<InputRow, kInputCount> m_inputs{};
    std::array<OutputRow, kOutputCount> m_outputs{};
    QPoint m_origin;
};

} // namespace velmar
