// CChannelPage: what the Input and Output pages share - the gain, polarity, delay and meter zones, the
// ten band rows, EQ RESET and EQ BYPASS, and the one edit pattern behind every control.
#pragma once

#include "core/ValueScales.h"
#include "ui/pages/PageBase.h"

#include <QTimer>

#include <array>
#include <cstdint>

class QPushButton;

namespace velmar {

class CBitmapSlider;
class CKTVEQ;
class EqBandTable;
class LevelMeter;
class NumericEntry;
class PagePanel;
class StepButtons;
class xSkinButton;

// A page edits one channel of its kind (1 input, 4 output): the channel app().currentChannel named at
// its last RefreshPage, kept as ShownChannel(). Every edit follows one pattern: the raw value is written
// into the DeviceImage, the write is queued, the unit is copied to the linked channels (which are marked
// dirty), the channel's curve is rebuilt and the graph redrawn, and the control shows the stored value.
// Typed values take effect when their entry loses the focus; a value outside its scale is refused with
// "Data out of range" and the entry shows the stored value again. UI thread only.
class CChannelPage : public PageBase {
    Q_OBJECT

public:
    // Meter refresh period (the page's timer 8 on inputs, 7 on outputs).
    static constexpr int kMeterMs = 100;

    CChannelPage(AppState& app, QWidget* parent, uint8_t kind);
    ~CChannelPage() override;

    uint8_t Kind() const { return m_kind; }
    int ShownChannel() const { return m_channel; }

    // Controls, for tests and the screenshot tour.
    EqBandTable* BandTable() const { return m_bands; }
    NumericEntry* GainEntry() const { return m_gainEntry; }
    StepButtons* GainStep() const { return m_gainStep; }
    CBitmapSlider* GainFader() const { return m_gainFader; }
    NumericEntry* DelayEntryFor(DelayUnit unit) const { return m_delayEntries[size_t(unit)]; }
    StepButtons* DelayStepFor(DelayUnit unit) const { return m_delaySteps[size_t(unit)]; }
    CBitmapSlider* DelayFader() const { return m_delayFader; }
    xSkinButton* SoundButton() const { return m_sound; }
    xSkinButton* PolarityButton() const { return m_polarity; }
    QPushButton* EqResetButton() const { return m_eqReset; }
    QPushButton* EqBypassButton() const { return m_eqBypass; }
    LevelMeter* Meter() const { return m_meter; }
    QTimer& MeterTimer() { return m_meterTimer; }
    PagePanel* GainPanel() const { return m_gainPanel; }
    PagePanel* DelayPanel() const { return m_delayPanel; }
    PagePanel* EqPanel() const { return m_eqPanel; }

public slots:
    // One step of the level meter. Tests call it.
    virtual void MeterTick() = 0;

protected:
    // Kind-specific parts.
    virtual int ChannelCount() const = 0;
    // Parameter index of band r (kind 1: r + 2, kind 4: r + 4).
    virtual int BandParam(int band) const = 0;
    // Frequency limits of a typed and of a stepped band frequency.
    virtual void TypedFreqLimits(const PeqBand& band, int& low, int& high) const = 0;
    virtual void SteppedFreqLimits(const PeqBand& band, int& low, int& high) const = 0;
    virtual MetreSuffix MetreText() const = 0;
    // Gives the graph this page's curve set of `channel`.
    virtual void ShowCurvesOnGraph(int channel) = 0;
    // The graph's change of filter `index` on `channel` taken into the image, as its notice would.
    virtual void ApplyGraphChange(int index, int channel) = 0;
    // Takes what the graph changed on this page's curves of `channel` and the image has not yet taken.
    // Called before the curves are reloaded from the image or the image is edited under them.
    void TakeGraphChanges(int channel);
    // The band type list was used (the Output page only).
    virtual void OnTypeChosen(int band, int index) { (void)band, (void)index; }
    // Extra width the page keeps right of the equaliser zone.
    virtual int RightColumnWidth() const { return 0; }

    PeqBand* Bands(int channel);
    CKTVEQ& Curves(int channel);
    uint8_t CurveKind() const { return m_kind; } // the curve-set kinds match the block kinds
    uint8_t& SoundOn(int channel);
    uint8_t& Polarity(int channel);
    // Packed 16-bit fields are read and written by value, never through references.
    int GainField(int channel) const;
    void SetGainField(int channel, int raw);
    int DelayField(int channel) const;
    void SetDelayField(int channel, int raw);
    bool Shows(int channel) const { return channel == m_channel; }
    bool ValidChannel(int channel) const { return channel >= 0 && channel < ChannelCount(); }

    // Takes app().currentChannel as the channel shown (after handing any half-typed value to the
    // channel it was typed for). False when it is not a channel of this kind.
    bool TakeCurrentChannel();

    // Band r of `channel`: shows `fields` when the channel is shown; with send, queues the band,
    // copies it into the curve set and recomputes its filter, redraws the graph and propagates it.
    void ShowBand(int channel, int band, int fields, bool send);
    void ShowGain(int channel, bool send);
    void ShowDelay(int channel, bool send);
    // Queues parameter `index` of `channel` and copies it to the linked channels.
    void SendParam(int channel, int index);
    // The graph changed band `band` of `channel`'s curve set: takes it into the image and sends it.
    void TakeBandFromCurves(int channel, int band);

    // Redisplays the shared controls of the shown channel: bands (and their type lists with `typeNames`),
    // gain, delay, switches, EQ BYPASS; takes the saved gains for bypass as the refresh rule says.
    void RefreshShared(const QStringList& typeNames);
    void SetSharedCaptions(const QString& gainPol, const QString& delay, const QString& eq,
                           const QStringList& columns, const QString& bypass, const QString& reset,
                           const QString& eqBypass);
    void UpdateEqBypassButton();

    // Refuses a typed value: the message box, then the stored value again.
    void Refuse();
    // The meter segments of a level: segments 0..7 by the thresholds, the top one as given.
    void ShowMeter(uint8_t level, bool top);

    void resizeEvent(QResizeEvent* event) override;
    // Where a subclass places its own zones: right of the equaliser zone, full height.
    QRect RightColumn() const;
    QString DataOutOfRangeMessage() const;

private:
    void buildGainPanel();
    void buildDelayPanel();
    void buildEqPanel();
    void placePanels();
    void connectBandTable();

    void onFreqCommitted(int band, const QString& text);
    void onQCommitted(int band, const QString& text);
    void onBandGainCommitted(int band, const QString& text);
    void onFreqStepped(int band, bool up);
    void onQStepped(int band, bool up);
    void onBandGainStepped(int band, bool up);
    void onSlopeChosen(int band, int index);
    void onBypassClicked(int band, bool checked);
    void onGainCommitted(const QString& text);
    void onGainStepped(bool up);
    void onDelayCommitted(DelayUnit unit, const QString& text);
    void onDelayStepped(bool up);
    void onGainFader();
    void onDelayFader();
    void onSoundClicked();
    void onPolarityClicked();
    void onEqReset();
    void onEqBypass();
    void showSwitches();
    // After EQ RESET or EQ BYPASS changed the shown channel's bands in the image.
    void showBandsAfterBlockEdit();

    const uint8_t m_kind;
    int m_channel = 0;

    PagePanel* m_gainPanel = nullptr;
    PagePanel* m_delayPanel = nullptr;
    PagePanel* m_eqPanel = nullptr;
    EqBandTable* m_bands = nullptr;
    NumericEntry* m_gainEntry = nullptr;
    StepButtons* m_gainStep = nullptr;
    CBitmapSlider* m_gainFader = nullptr;
    std::array<NumericEntry*, 3> m_delayEntries{};
    std::array<StepButtons*, 3> m_delaySteps{};
    CBitmapSlider* m_delayFader = nullptr;
    xSkinButton* m_sound = nullptr;
    xSkinButton* m_polarity = nullptr;
    QPushButton* m_eqReset = nullptr;
    QPushButton* m_eqBypass = nullptr;
    LevelMeter* m_meter = nullptr;
    QTimer m_meterTimer;
};

} // namespace velmar
