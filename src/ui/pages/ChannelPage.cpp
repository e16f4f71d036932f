// The Input and Output pages' shared zones and the edit pattern behind their controls.
#include "ui/pages/ChannelPage.h"

#include "core/ChannelLink.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/PagePanel.h"
#include "ui/pages/PageStyle.h"
#include "ui/pages/StepButtons.h"

#include <QApplication>
#include <QPushButton>

#include <cmath>

namespace velmar {

namespace {

constexpr int kMargin = 6;
constexpr int kGainPanelWidth = 156;
constexpr int kDelayPanelWidth = 154;
constexpr int kFaderHeight = 168;
constexpr int kEntryHeight = 22;
constexpr int kSwitchWidth = 60;
constexpr int kSwitchHeight = 25;
constexpr int kButtonWidth = 104;
constexpr int kButtonHeight = 24;
constexpr int kTableWidth = 443; // the band rows with 16-pixel column gaps
// The gain zone stacks the fader, the entry and the switches; the delay zone's fader lines up with it.
constexpr int kGainBlockHeight = kFaderHeight + 10 + kEntryHeight + 12 + kSwitchHeight;

constexpr int kGainTrack = 450, kGainThumb = 439, kGainThumbActive = 440;
constexpr int kDelayTrack = 130, kDelayThumb = 437, kDelayThumbActive = 438;
constexpr int kSoundOn = 420, kSoundMuted = 419, kPolarityNormal = 422, kPolarityInverted = 421;

constexpr int kFieldsAll = EqBandTable::kAllFields;
constexpr uint8_t kUnitParam = 1; // sound, polarity, gain, delay (and the gate) share unit 1

// A typed integer is read as its whole part, as the number would be read by "%d".
std::optional<int> WholePart(const std::optional<double>& v) {
    if (!v) return std::nullopt;
    return TruncateToInt(*v);
}

CBitmapSlider* MakeFader(QWidget* parent, int id, int track, int thumb, int thumbActive, int marginLeft,
                         int maximum) {
    auto* f = new CBitmapSlider(id, parent);
    f->SetChannelBitmaps(track, 0, true);
    f->SetThumbBitmaps(thumb, thumbActive, true);
    f->SetMargins(marginLeft, 0, 0, 1);
    f->SetVertical(true);
    f->SetRange(0, maximum);
    return f;
}

} // namespace

CChannelPage::CChannelPage(AppState& app, QWidget* parent, uint8_t kind)
    : PageBase(app, parent), m_kind(kind) {
    setStyleSheet(ChannelPageStyleSheet());
    buildGainPanel();
    buildDelayPanel();
    buildEqPanel();
    connectBandTable();
    m_meterTimer.setInterval(kMeterMs);
    connect(&m_meterTimer, &QTimer::timeout, this, &CChannelPage::MeterTick);
    m_meterTimer.start();
}

CChannelPage::~CChannelPage() = default;

// ---------------------------------------------------------------------------------------------------------
// Construction and placement

void CChannelPage::buildGainPanel() {
    m_gainPanel = new PagePanel(this);
    m_gainFader = MakeFader(m_gainPanel, 0, kGainTrack, kGainThumb, kGainThumbActive, 8, kChannelGainRawMax);
    m_gainFader->setToolTip(tr("Channel gain"));
    connect(m_gainFader, &CBitmapSlider::sliderMoving, this, &CChannelPage::onGainFader,
            Qt::QueuedConnection);
    connect(m_gainFader, &CBitmapSlider::sliderMoved, this, &CChannelPage::onGainFader, Qt::QueuedConnection);
    m_meter = new LevelMeter(LevelMeter::kChannelSegments, LevelMeter::kChannelPitch,
                             LevelMeter::ChannelLabels(), m_gainPanel);
    m_gainEntry = new NumericEntry(m_gainPanel);
    m_gainEntry->setObjectName(QStringLiteral("channelGain"));
    m_gainEntry->setFont(palette::uiFont(12));
    m_gainEntry->SetSuffixes({QStringLiteral("dB")});
    m_gainStep = new StepButtons(m_gainPanel);
    connect(m_gainEntry, &NumericEntry::committed, this, &CChannelPage::onGainCommitted);
    connect(m_gainEntry, &NumericEntry::stepRequested, this, &CChannelPage::onGainStepped);
    connect(m_gainStep, &StepButtons::stepped, this, &CChannelPage::onGainStepped);

    m_sound = new xSkinButton(m_gainPanel);
    m_polarity = new xSkinButton(m_gainPanel);
    for (xSkinButton* b : {m_sound, m_polarity}) {
        b->setFixedSize(kSwitchWidth, kSwitchHeight);
        b->setFocusPolicy(Qt::TabFocus);
        b->setCursor(Qt::PointingHandCursor);
    }
    connect(m_sound, &QAbstractButton::clicked, this, &CChannelPage::onSoundClicked);
    connect(m_polarity, &QAbstractButton::clicked, this, &CChannelPage::onPolarityClicked);
}

void CChannelPage::buildDelayPanel() {
    m_delayPanel = new PagePanel(this);
    m_delayFader = MakeFader(m_delayPanel, 1, kDelayTrack, kDelayThumb, kDelayThumbActive, 3, kDelayRawMax);
    m_delayFader->setToolTip(tr("Delay"));
    connect(m_delayFader, &CBitmapSlider::sliderMoving, this, &CChannelPage::onDelayFader,
            Qt::QueuedConnection);
    connect(m_delayFader, &CBitmapSlider::sliderMoved, this, &CChannelPage::onDelayFader,
            Qt::QueuedConnection);
    const QStringList suffixes[3] = {
        {QStringLiteral("ms")}, {QStringLiteral("Mt"), QStringLiteral("M")}, {QStringLiteral("Ft")}};
    const char* names[3] = {"delayTime", "delayMetres", "delayFeet"};
    for (int u = 0; u < 3; ++u) {
        auto* e = new NumericEntry(m_delayPanel);
        e->setObjectName(QString::fromLatin1(names[u]));
        e->setFont(palette::uiFont(12));
        e->SetSuffixes(suffixes[u]);
        auto* s = new StepButtons(m_delayPanel);
        const DelayUnit unit = DelayUnit(u);
        connect(e, &NumericEntry::committed, this,
                [this, unit](const QString& t) { onDelayCommitted(unit, t); });
        connect(e, &NumericEntry::stepRequested, this, &CChannelPage::onDelayStepped);
        connect(s, &StepButtons::stepped, this, &CChannelPage::onDelayStepped);
        m_delayEntries[size_t(u)] = e;
        m_delaySteps[size_t(u)] = s;
    }
}

void CChannelPage::buildEqPanel() {
    m_eqPanel = new PagePanel(this);
    m_bands = new EqBandTable(m_eqPanel);
    m_eqReset = new QPushButton(m_eqPanel);
    m_eqReset->setObjectName(QStringLiteral("eqReset"));
    m_eqBypass = new QPushButton(m_eqPanel);
    m_eqBypass->setObjectName(QStringLiteral("eqBypass"));
    // Lit while the bypass is in force; the page sets the state, a click only asks for the toggle.
    m_eqBypass->setCheckable(true);
    for (QPushButton* b : {m_eqReset, m_eqBypass}) {
        b->setFont(palette::uiFont(12, true));
        b->setFocusPolicy(Qt::TabFocus);
    }
    connect(m_eqReset, &QPushButton::clicked, this, &CChannelPage::onEqReset);
    connect(m_eqBypass, &QPushButton::clicked, this, &CChannelPage::onEqBypass);
}

void CChannelPage::connectBandTable() {
    connect(m_bands, &EqBandTable::freqCommitted, this, &CChannelPage::onFreqCommitted);
    connect(m_bands, &EqBandTable::qCommitted, this, &CChannelPage::onQCommitted);
    connect(m_bands, &EqBandTable::gainCommitted, this, &CChannelPage::onBandGainCommitted);
    connect(m_bands, &EqBandTable::freqStepped, this, &CChannelPage::onFreqStepped);
    connect(m_bands, &EqBandTable::qStepped, this, &CChannelPage::onQStepped);
    connect(m_bands, &EqBandTable::gainStepped, this, &CChannelPage::onBandGainStepped);
    connect(m_bands, &EqBandTable::typeChosen, this, [this](int r, int i) { OnTypeChosen(r, i); });
    connect(m_bands, &EqBandTable::slopeChosen, this, &CChannelPage::onSlopeChosen);
    connect(m_bands, &EqBandTable::bypassClicked, this, &CChannelPage::onBypassClicked);
}

void CChannelPage::resizeEvent(QResizeEvent* event) {
    PageBase::resizeEvent(event);
    placePanels();
}

QRect CChannelPage::RightColumn() const {
    const int w = RightColumnWidth();
    return QRect(width() - kMargin - w, kMargin, w, height() - 2 * kMargin);
}

void CChannelPage::placePanels() {
    const int h = height() - 2 * kMargin;
    m_gainPanel->setGeometry(kMargin, kMargin, kGainPanelWidth, h);
    m_delayPanel->setGeometry(m_gainPanel->geometry().right() + 1 + kMargin, kMargin, kDelayPanelWidth, h);
    const int eqLeft = m_delayPanel->geometry().right() + 1 + kMargin;
    const int right = RightColumnWidth() > 0 ? RightColumn().left() - kMargin : width() - kMargin;
    m_eqPanel->setGeometry(eqLeft, kMargin, right - eqLeft, h);

    // Gain zone: fader with the meter beside it, the entry below, the two switches at the bottom.
    const int content = m_gainPanel->ContentTop();
    const int faderTop = content + std::max(4, (h - content - kGainBlockHeight) / 2);
    m_gainFader->move(14, faderTop);
    m_meter->move(52, faderTop + (kFaderHeight - m_meter->height()) / 2);
    const int entryTop = faderTop + kFaderHeight + 10;
    m_gainEntry->setGeometry(14, entryTop, 84, kEntryHeight);
    m_gainStep->setGeometry(14 + 84 + 1, entryTop, StepButtons::kWidth, kEntryHeight);
    const int switchTop = entryTop + kEntryHeight + 12;
    m_sound->move(14, switchTop);
    m_polarity->move(14 + kSwitchWidth + 8, switchTop);

    // Delay zone: the fader level with the gain fader, the three entries spread along it.
    m_delayFader->move(14, faderTop);
    const int entryLeft = 44;
    const int entryWidth = 80;
    for (int u = 0; u < 3; ++u) {
        const int y = faderTop + u * (kFaderHeight - kEntryHeight) / 2;
        m_delayEntries[size_t(u)]->setGeometry(entryLeft, y, entryWidth, kEntryHeight);
        m_delaySteps[size_t(u)]->setGeometry(entryLeft + entryWidth + 1, y, StepButtons::kWidth,
                                             kEntryHeight);
    }

    // Equaliser zone: the band rows, the two commands under them on the right.
    // The same column positions on the Input and the Output page, whatever their zone's width.
    m_bands->setGeometry(12, m_eqPanel->ContentTop() - 2, kTableWidth, EqBandTable::kHeight);
    const int buttonsTop = h - 8 - kButtonHeight;
    const int buttonsRight = m_bands->geometry().right() + 1;
    m_eqBypass->setGeometry(buttonsRight - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    m_eqReset->setGeometry(buttonsRight - 2 * kButtonWidth - 8, buttonsTop, kButtonWidth, kButtonHeight);
}

// ---------------------------------------------------------------------------------------------------------
// The channel's fields

PeqBand* CChannelPage::Bands(int channel) {
    CoreState& s = app().core;
    return m_kind == kKindInput ? s.image.inputs[channel].peq : s.image.outputs[channel].peq;
}

CKTVEQ& CChannelPage::Curves(int channel) {
    return m_kind == kKindInput ? inputEqCurves[channel] : outputEqCurves[channel];
}

uint8_t& CChannelPage::SoundOn(int channel) {
    return BlockBytes(app().core.image, m_kind, channel)[offsetof(InputBlock, soundOn)];
}

uint8_t& CChannelPage::Polarity(int channel) {
    return BlockBytes(app().core.image, m_kind, channel)[offsetof(InputBlock, polarity)];
}

int CChannelPage::GainField(int channel) const {
    const DeviceImage& image = app().core.image;
    return m_kind == kKindInput ? image.inputs[channel].gain : image.outputs[channel].gain;
}

void CChannelPage::SetGainField(int channel, int raw) {
    DeviceImage& image = app().core.image;
    if (m_kind == kKindInput)
        image.inputs[channel].gain = int16_t(raw);
    else
        image.outputs[channel].gain = int16_t(raw);
}

int CChannelPage::DelayField(int channel) const {
    const DeviceImage& image = app().core.image;
    return m_kind == kKindInput ? image.inputs[channel].delay : image.outputs[channel].delay;
}

void CChannelPage::SetDelayField(int channel, int raw) {
    DeviceImage& image = app().core.image;
    if (m_kind == kKindInput)
        image.inputs[channel].delay = int16_t(raw);
    else
        image.outputs[channel].delay = int16_t(raw);
}

bool CChannelPage::TakeCurrentChannel() {
    // A value half typed for the channel shown so far is that channel's.
    if (auto* entry = qobject_cast<NumericEntry*>(QApplication::focusWidget()); entry && isAncestorOf(entry))
        entry->CommitIfModified();
    const int channel = app().currentChannel;
    if (!ValidChannel(channel)) return false;
    m_channel = channel;
    return true;
}

QString CChannelPage::DataOutOfRangeMessage() const {
    return tr("Data out of range");
}

void CChannelPage::Refuse() {
    app().showMessage(this, DataOutOfRangeMessage());
}

// ---------------------------------------------------------------------------------------------------------
// Showing and sending

void CChannelPage::SendParam(int channel, int index) {
    CoreState& s = app().core;
    QueueParamWrite(s, m_kind, uint8_t(channel), uint8_t(index));
    LinkParam(s, m_kind, channel, index);
}

void CChannelPage::ShowBand(int channel, int band, int fields, bool send) {
    if (!ValidChannel(channel) || band < 0 || band >= kBandCount) return;
    PeqBand& b = Bands(channel)[band];
    if (Shows(channel)) m_bands->ShowBand(band, b, fields);
    if (!send) return;
    CoreState& s = app().core;
    QueueParamWrite(s, m_kind, uint8_t(channel), uint8_t(BandParam(band)));
    CKTVEQ& set = Curves(channel);
    set.Records().bands[band] = b;
    CFilter& filter = set.Filter(band);
    filter.SetKind(b.type <= 2 ? b.type : 0);
    filter.Recompute(true);
    if (Shows(channel) && app().graph) app().graph->Redraw(band);
    LinkParam(s, m_kind, channel, BandParam(band));
}

void CChannelPage::ShowGain(int channel, bool send) {
    if (!ValidChannel(channel)) return;
    const int gain = GainField(channel);
    if (Shows(channel)) {
        m_gainEntry->ShowText(QString::fromStdString(ChannelGainText(gain)));
        m_gainFader->SetInvertedPos(gain);
    }
    if (send) SendParam(channel, kUnitParam);
}

void CChannelPage::ShowDelay(int channel, bool send) {
    if (!ValidChannel(channel)) return;
    const int delay = DelayField(channel);
    if (Shows(channel)) {
        for (int u = 0; u < 3; ++u)
            m_delayEntries[size_t(u)]->ShowText(
                QString::fromStdString(DelayText(delay, DelayUnit(u), MetreText())));
        m_delayFader->SetInvertedPos(delay);
    }
    if (send) SendParam(channel, kUnitParam);
}

void CChannelPage::TakeBandFromCurves(int channel, int band) {
    if (!ValidChannel(channel) || band < 0 || band >= kBandCount) return;
    Bands(channel)[band] = Curves(channel).Records().bands[band];
    ShowBand(channel, band, kFieldsAll, true);
}

void CChannelPage::showSwitches() {
    const int ch = m_channel;
    const int sound = SoundOn(ch) == 1 ? kSoundOn : kSoundMuted;
    const int polarity = Polarity(ch) == 1 ? kPolarityNormal : kPolarityInverted;
    m_sound->SetSkin(sound, sound, sound);
    m_polarity->SetSkin(polarity, polarity, polarity);
    m_sound->setToolTip(SoundOn(ch) == 1 ? tr("Sound on: click to mute") : tr("Muted: click to sound"));
    m_polarity->setToolTip(Polarity(ch) == 1 ? tr("Polarity normal: click to invert")
                                             : tr("Polarity inverted: click to make normal"));
}

void CChannelPage::UpdateEqBypassButton() {
    m_eqBypass->setChecked(app().eqBypass.Bypassed(m_kind, m_channel));
}

void CChannelPage::RefreshShared(const QStringList& typeNames) {
    const int ch = m_channel;
    for (int r = 0; r < kBandCount; ++r) ShowBand(ch, r, kFieldsAll, false);
    ShowGain(ch, false);
    ShowDelay(ch, false);
    showSwitches();
    m_bands->SetTypeNames(typeNames, Bands(ch));
    UpdateEqBypassButton();
}

void CChannelPage::SetSharedCaptions(const QString& gainPol, const QString& delay, const QString& eq,
                                     const QStringList& columns, const QString& bypass, const QString& reset,
                                     const QString& eqBypass) {
    m_gainPanel->SetTitle(gainPol);
    m_delayPanel->SetTitle(delay);
    m_eqPanel->SetTitle(eq);
    if (columns.size() == 5) m_bands->SetCaptions(columns[0], columns[1], columns[2], columns[3], columns[4]);
    m_bands->SetBypassText(bypass);
    m_eqReset->setText(reset);
    m_eqBypass->setText(eqBypass);
}

void CChannelPage::ShowMeter(uint8_t level, bool top) {
    for (int i = 0; i < 8; ++i) m_meter->SetSegment(i, LevelMeter::SegmentLitByLevel(i, level));
    m_meter->SetSegment(8, top);
}

// ---------------------------------------------------------------------------------------------------------
// Band controls

void CChannelPage::onFreqCommitted(int band, const QString& text) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    int low = 20, high = 20000;
    TypedFreqLimits(b, low, high);
    const std::optional<int> hz = WholePart(NumericEntry::ParseNumber(text, {QStringLiteral("Hz")}));
    if (!hz || *hz < low || *hz > high) {
        Refuse();
        ShowBand(ch, band, EqBandTable::kFreq, false);
        return;
    }
    const bool changed = b.freq != *hz;
    b.freq = int16_t(*hz);
    ShowBand(ch, band, EqBandTable::kFreq, changed);
}

void CChannelPage::onQCommitted(int band, const QString& text) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    const std::optional<double> q = NumericEntry::ParseNumber(text);
    const std::optional<int> index = q ? QIndexFromValue(*q) : std::nullopt;
    if (!index) {
        Refuse();
        ShowBand(ch, band, EqBandTable::kQ, false);
        return;
    }
    const bool changed = b.q != *index;
    b.q = int16_t(*index);
    ShowBand(ch, band, EqBandTable::kQ, changed);
}

void CChannelPage::onBandGainCommitted(int band, const QString& text) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    const std::optional<double> db = NumericEntry::ParseNumber(text, {QStringLiteral("dB")});
    const std::optional<int> raw = db ? BandGainEntry(*db) : std::nullopt;
    if (!raw) {
        Refuse();
        ShowBand(ch, band, EqBandTable::kGain, false);
        return;
    }
    const bool changed = b.gain != *raw;
    b.gain = int16_t(*raw);
    ShowBand(ch, band, EqBandTable::kGain, changed);
}

void CChannelPage::onFreqStepped(int band, bool up) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    int low = 20, high = 20000;
    SteppedFreqLimits(b, low, high);
    if (up && b.freq < high) ++b.freq;
    if (!up && b.freq > low) --b.freq;
    ShowBand(ch, band, EqBandTable::kFreq, true);
}

void CChannelPage::onQStepped(int band, bool up) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    // Up is the higher Q: the lower index of the table.
    if (up && b.q > 0) --b.q;
    if (!up && b.q < kMaxQIndex) ++b.q;
    ShowBand(ch, band, EqBandTable::kQ, true);
}

void CChannelPage::onBandGainStepped(int band, bool up) {
    const int ch = m_channel;
    PeqBand& b = Bands(ch)[band];
    if (up && b.gain < kBandGainRawMax) ++b.gain;
    if (!up && b.gain > 0) --b.gain;
    ShowBand(ch, band, EqBandTable::kGain, true);
}

void CChannelPage::onSlopeChosen(int band, int index) {
    const int ch = m_channel;
    if (index < 0) return;
    PeqBand& b = Bands(ch)[band];
    if (b.shelfSlope == index) return;
    b.shelfSlope = uint8_t(index);
    ShowBand(ch, band, EqBandTable::kSlope, true);
}

void CChannelPage::onBypassClicked(int band, bool checked) {
    const int ch = m_channel;
    const bool changed = app().eqBypass.ToggleBandBypass(app().core, m_kind, ch, band, checked);
    ShowBand(ch, band, EqBandTable::kGain, changed);
}

// ---------------------------------------------------------------------------------------------------------
// Gain, delay and the switches

void CChannelPage::onGainCommitted(const QString& text) {
    const int ch = m_channel;
    const std::optional<double> db = NumericEntry::ParseNumber(text, {QStringLiteral("dB")});
    const std::optional<int> raw = db ? ChannelGainEntry(*db) : std::nullopt;
    if (!raw) {
        Refuse();
        ShowGain(ch, false);
        return;
    }
    const bool changed = GainField(ch) != *raw;
    SetGainField(ch, *raw);
    ShowGain(ch, changed);
}

void CChannelPage::onGainStepped(bool up) {
    const int ch = m_channel;
    const int gain = GainField(ch);
    if (up && gain < kChannelGainRawMax) SetGainField(ch, gain + 1);
    if (!up && gain > 0) SetGainField(ch, gain - 1);
    ShowGain(ch, true);
}

void CChannelPage::onDelayCommitted(DelayUnit unit, const QString& text) {
    const int ch = m_channel;
    const std::optional<double> value =
        NumericEntry::ParseNumber(text, m_delayEntries[size_t(unit)]->Suffixes());
    const std::optional<int> raw = value ? DelayEntry(*value, unit) : std::nullopt;
    if (!raw) {
        Refuse();
        ShowDelay(ch, false);
        return;
    }
    const bool changed = DelayField(ch) != *raw;
    SetDelayField(ch, *raw);
    ShowDelay(ch, changed);
}

void CChannelPage::onDelayStepped(bool up) {
    const int ch = m_channel;
    const int delay = DelayField(ch);
    if (up && delay < kDelayRawMax) SetDelayField(ch, delay + 1);
    if (!up && delay > 0) SetDelayField(ch, delay - 1);
    ShowDelay(ch, true);
}

void CChannelPage::onGainFader() {
    // Every notification is sent, changed or not: the fader's last word is what the processor gets.
    const int ch = m_channel;
    SetGainField(ch, m_gainFader->GetInvertedPos());
    ShowGain(ch, true);
}

void CChannelPage::onDelayFader() {
    const int ch = m_channel;
    SetDelayField(ch, m_delayFader->GetInvertedPos());
    ShowDelay(ch, true);
}

void CChannelPage::onSoundClicked() {
    const int ch = m_channel;
    SoundOn(ch) = SoundOn(ch) == 1 ? 0 : 1;
    showSwitches();
    SendParam(ch, kUnitParam);
}

void CChannelPage::onPolarityClicked() {
    const int ch = m_channel;
    Polarity(ch) = Polarity(ch) == 1 ? 0 : 1;
    showSwitches();
    SendParam(ch, kUnitParam);
}

// ---------------------------------------------------------------------------------------------------------
// EQ RESET and EQ BYPASS

void CChannelPage::showBandsAfterBlockEdit() {
    const int ch = m_channel;
    // Every band's curve from the image (bands only: the crossover of an output is not touched).
    CKTVEQ& set = Curves(ch);
    for (int r = 0; r < kBandCount; ++r) {
        const PeqBand& b = Bands(ch)[r];
        set.Records().bands[r] = b;
        set.Filter(r).SetKind(b.type <= 2 ? b.type : 0);
        set.Filter(r).Recompute(true);
        // All fields: after a reset the type and slope lists must show the reset bands too.
        m_bands->ShowBand(r, b, kFieldsAll);
    }
    if (app().graph) app().graph->Redraw(-1);
    UpdateEqBypassButton();
}

void CChannelPage::TakeGraphChanges(int channel) {
    if (!app().graph) return;
    const int mode = m_kind == kKindInput ? CFStatic::kModeInputEq : CFStatic::kModeOutput;
    for (const CFStatic::Change& c : app().graph->TakeChanges(mode, channel))
        ApplyGraphChange(c.index, c.channel);
}

void CChannelPage::onEqReset() {
    TakeGraphChanges(m_channel);
    app().eqBypass.ResetEq(app().core, m_kind, m_channel);
    showBandsAfterBlockEdit();
}

void CChannelPage::onEqBypass() {
    // A band dragged a moment ago is in the gains EQ BYPASS puts aside.
    TakeGraphChanges(m_channel);
    app().eqBypass.ToggleEqBypass(app().core, m_kind, m_channel);
    showBandsAfterBlockEdit();
}

} // namespace velmar
