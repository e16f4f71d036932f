// CGEQDlg: the Graphic EQ page - the 31 band faders of one input's graphic equaliser, GEQ RESET and
// GEQ BYPASS.
#pragma once

#include "ui/pages/GraphNotice.h"
#include "ui/pages/PageBase.h"

#include <array>

class QLabel;
class QPushButton;

namespace velmar {

class CBitmapSlider;

// Edits the graphic equaliser of input ShownChannel() (0..3), taken from app().currentChannel by
// RefreshPage; shown in the short rectangle above the graph, which draws the curve and lets the bands be
// dragged there too. Fader b is geq[b] (raw 0..400, 0 dB in the middle, +20 dB at the top), parameter
// index 12 + b; geq[31] has no fader. GEQ RESET and GEQ BYPASS act on the same per-input bypass state
// as the Input page's EQ RESET and EQ BYPASS (app().eqBypass). UI thread only; a child of the main
// window's tab control.
class CGEQDlg : public PageBase {
    Q_OBJECT

public:
    static constexpr int kFaderMax = 400;
    static constexpr int kFaderWidth = 30;
    static constexpr int kFaderHeight = 264;

    CGEQDlg(AppState& app, QWidget* parent);
    ~CGEQDlg() override;

    // Rebuilds the input's graphic-equaliser curves, gives them to the graph, places every fader and
    // sets the texts in the current language.
    void RefreshPage() override;

    // The graph changed band `band` (0..30) of input `channel`'s graphic-equaliser curves: the band's
    // word is taken from the curve record and sent. Other bands are ignored.
    void TakeBandFromGraph(int band, int channel);
    // Takes what the graph changed on the curves of `channel` and the image has not yet taken; called
    // before the curves are reloaded from the image or the image is edited under them.
    void TakeGraphChanges(int channel);

    // GEQ RESET and GEQ BYPASS, as the buttons do.
    void EqReset();
    void EqBypassToggle();

    int ShownChannel() const { return m_channel; }
    const GraphNotice& lastGraphNotice() const { return m_notice; }

    // Controls, for tests and the screenshot tour.
    CBitmapSlider* Fader(int band) const { return m_faders[size_t(band)]; }
    QLabel* BandLabel(int band) const { return m_bandLabels[size_t(band)]; }
    QLabel* ValueLabel(int band) const { return m_valueLabels[size_t(band)]; }
    QPushButton* ResetButton() const { return m_reset; }
    QPushButton* BypassButton() const { return m_bypass; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // geq[band] of `channel` has its new value: queue it, place the fader, recompute the band's curve,
    // redraw the graph and copy the word to the linked inputs.
    void BandStep(int channel, int band);
    // Rebuilds the shown input's curves, hands them to the graph and shows every band and text.
    void showChannel();
    void setTexts();
    void showBand(int band);
    void onFader(int band);
    void place();
    // Fader y of a level in dB (the thumb centre), in page coordinates.
    int LevelY(int db) const;

    int m_channel = 0;
    GraphNotice m_notice;
    QRect m_panelRect; // the framed zone the faders stand in, drawn by paintEvent
    std::array<CBitmapSlider*, 31> m_faders{};
    std::array<QLabel*, 31> m_bandLabels{};
    std::array<QLabel*, 31> m_valueLabels{};
    std::array<QLabel*, 18> m_scaleLabels{}; // nine levels, left and right
    QPushButton* m_reset = nullptr;
    QPushButton* m_bypass = nullptr;
};

} // namespace velmar
