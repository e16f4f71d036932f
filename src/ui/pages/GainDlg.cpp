// The Gain page: twelve channel columns with fader, entry, spin, sound and polarity buttons and meter.
#include "ui/pages/GainDlg.h"

#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysChannelPanel.h"
#include "ui/pages/SysPageCommon.h"

#include <cstring>

namespace velmar {

using syspages::columnChannel;
using syspages::ColumnChannel;
using syspages::kColumnCount;

namespace {

// Bitmaps of the buttons and the fader.
constexpr int kSoundMuted = 419, kSoundOn = 420;
constexpr int kPolarityInverted = 421, kPolarityNormal = 422;
constexpr int kTrack = 451, kThumb = 452, kThumbActive = 453;
constexpr int kFaderIdBase = 1720;

// The meter: segment j lights from level 61 + 3 j; inputs clip above 116; bit 7 of an output's byte
// is its limiter.
constexpr int kFirstSegmentLevel = 61;
constexpr int kSegmentStep = 3;
constexpr int kInputClipLevel = 116;
constexpr uint8_t kLimitBit = 0x80;

// Geometry of a column (pixels, relative to its panel) and of the page.
constexpr int kColumnWidth = 80;
constexpr int kButtonTop = 38;
constexpr int kButtonGap = 6;
constexpr int kButtonWidth = 60, kButtonHeight = 25;
constexpr int kFaderLeft = 4;
constexpr int kFaderHeight = 255; // the track's least height
constexpr int kMeterPitch = 15;
// The meter spans the fader's track less these insets (10 below, 22 above at the least height).
constexpr int kMeterInsetBottom = 10;
constexpr int kMeterInsetTop = kFaderHeight - kMeterInsetBottom -
                               (CGainDlg::kMeterSegments - 1) * kMeterPitch - LevelMeter::kSegmentHeight;
constexpr int kMeterLeft = 52;
constexpr int kEntryGap = 14;
constexpr int kEntryHeight = 24;
constexpr int kEntryLeft = 6;
constexpr int kEntryWidth = 52;
constexpr int kBottomPadding = 12;
// Buttons, fader and entry with their gaps.
constexpr int kContentHeight = kButtonTop + 2 * kButtonHeight + kButtonGap + kEntryGap + kFaderHeight +
                               kEntryGap + kEntryHeight + kBottomPadding;

// Parameter 1 fields of the channel of a column. The image's blocks are packed, so fields are read and
// written by value, never through references.
int gainOf(const DeviceImage& image, ColumnChannel cc) {
    return cc.kind == kKindInput ? image.inputs[cc.channel].gain : image.outputs[cc.channel].gain;
}
void setGain(DeviceImage& image, ColumnChannel cc, int raw) {
    if (cc.kind == kKindInput)
        image.inputs[cc.channel].gain = int16_t(raw);
    else
        image.outputs[cc.channel].gain = int16_t(raw);
}
uint8_t* soundOnOf(DeviceImage& image, ColumnChannel cc) {
    return cc.kind == kKindInput ? &image.inputs[cc.channel].soundOn : &image.outputs[cc.channel].soundOn;
}
uint8_t* polarityOf(DeviceImage& image, ColumnChannel cc) {
    return cc.kind == kKindInput ? &image.inputs[cc.channel].polarity : &image.outputs[cc.channel].polarity;
}

} // namespace

CGainDlg::CGainDlg(AppState& app, QWidget* parent) : SysChannelsPage(app, parent, kContentHeight) {
    // The tab control carries the light palette of its strip; the page's controls take the dark one.
    setPalette(palette::applicationPalette());
    for (int c = 0; c < kColumnCount; ++c) buildColumn(c);
    // Every channel's value and images, nothing queued.
    RefreshPage();
    m_meterTimer.setInterval(kMeterTimerMs);
    connect(&m_meterTimer, &QTimer::timeout, this, &CGainDlg::OnMeterTimer);
    m_meterTimer.start();
}

CGainDlg::~CGainDlg() = default;

void CGainDlg::buildColumn(int c) {
    Column& col = m_columns[size_t(c)];
    col.panel = addPanel(c, c < kInputCount ? palette::kAccent : palette::kSignalOn);
    col.panel->resize(kColumnWidth, kContentHeight);

    col.sound = new xSkinButton(col.panel);
    col.sound->setFocusPolicy(Qt::NoFocus);
    col.polarity = new xSkinButton(col.panel);
    col.polarity->setFocusPolicy(Qt::NoFocus);
    connect(col.sound, &QAbstractButton::clicked, this, [this, c] { OnSoundClicked(c); });
    connect(col.polarity, &QAbstractButton::clicked, this, [this, c] { OnPolarityClicked(c); });

    col.fader = new CBitmapSlider(kFaderIdBase + c, col.panel);
    col.fader->SetChannelBitmaps(kTrack, kTrack, true);
    col.fader->SetThumbBitmaps(kThumb, kThumbActive, true);
    col.fader->SetMargins(22, 0, 0, 1);
    col.fader->SetVertical(true);
    col.fader->SetRange(0, kFaderMax, false);
    // Both notifications are handled alike, after the fader's own event has finished (as a posted
    // message would be); the position is read when the slot runs.
    connect(
        col.fader, &CBitmapSlider::sliderMoving, this, [this, c](int, int) { OnFaderMoved(c); },
        Qt::QueuedConnection);
    connect(
        col.fader, &CBitmapSlider::sliderMoved, this, [this, c](int, int) { OnFaderMoved(c); },
        Qt::QueuedConnection);

    col.meter = new LevelMeter(kMeterSegments, kMeterPitch, {}, col.panel);
    col.entry = syspages::newEntry(true, col.panel);
    col.spin = new StepButtons(col.panel);
    connect(col.entry, &NumericEntry::committed, this, [this, c] { OnEntryLeft(c); });
    connect(col.entry, &NumericEntry::stepRequested, this, [this, c](bool up) { OnSpin(c, up ? -1 : 1); });
    connect(col.spin, &StepButtons::stepped, this, [this, c](bool up) { OnSpin(c, up ? -1 : 1); });
    placeColumn(c);
}

void CGainDlg::placeColumn(int c) {
    Column& col = m_columns[size_t(c)];
    const int h = col.panel->height();
    const int buttonLeft = (kColumnWidth - kButtonWidth) / 2;
    col.sound->setGeometry(buttonLeft, kButtonTop, kButtonWidth, kButtonHeight);
    col.polarity->setGeometry(buttonLeft, kButtonTop + kButtonHeight + kButtonGap, kButtonWidth,
                              kButtonHeight);
    const int buttonsBottom = kButtonTop + 2 * kButtonHeight + kButtonGap;
    // The fader takes the height the panel has below the buttons, so a long travel gives fine steps;
    // the meter beside it stretches along with it. Fader and entry stand as one group in the middle.
    const int space = h - kBottomPadding - buttonsBottom;
    const int faderHeight = qMax(kFaderHeight, space - 2 * kEntryGap - kEntryHeight);
    if (col.fader->height() != faderHeight) {
        const QImage track = artwork::gainPageTrack(faderHeight);
        col.fader->SetChannelBitmaps(track, track, true);
    }
    col.meter->SetPitch(
        (col.fader->height() - kMeterInsetBottom - kMeterInsetTop - LevelMeter::kSegmentHeight) /
        (kMeterSegments - 1));
    const int group = col.fader->height() + kEntryGap + kEntryHeight;
    const int faderTop = buttonsBottom + qMax(kEntryGap, (space - group) / 2);
    col.fader->move(kFaderLeft, faderTop);
    col.meter->move(kMeterLeft, faderTop + col.fader->height() - kMeterInsetBottom - col.meter->height());
    const int entryTop = faderTop + col.fader->height() + kEntryGap;
    col.entry->setGeometry(kEntryLeft, entryTop, kEntryWidth, kEntryHeight);
    col.spin->setGeometry(kEntryLeft + kEntryWidth + 2, entryTop, StepButtons::kWidth, kEntryHeight);
}

CBitmapSlider* CGainDlg::fader(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].fader : nullptr;
}
NumericEntry* CGainDlg::entry(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].entry : nullptr;
}
StepButtons* CGainDlg::spin(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].spin : nullptr;
}
xSkinButton* CGainDlg::soundButton(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].sound : nullptr;
}
xSkinButton* CGainDlg::polarityButton(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].polarity : nullptr;
}
SysChannelPanel* CGainDlg::panel(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].panel : nullptr;
}
LevelMeter* CGainDlg::meter(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].meter : nullptr;
}
int CGainDlg::soundBitmap(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].soundBitmap : 0;
}
int CGainDlg::polarityBitmap(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].polarityBitmap : 0;
}

void CGainDlg::RefreshPage() {
    for (int c = 0; c < kColumnCount; ++c) {
        showGain(c, false);
        showButtons(c);
    }
    refreshColumns(tr("INPUTS"), tr("OUTPUTS"));
}

void CGainDlg::showGain(int c, bool queue) {
    Column& col = m_columns[size_t(c)];
    const ColumnChannel cc = columnChannel(c);
    const int raw = gainOf(app().core.image, cc);
    col.entry->ShowText(QString::fromStdString(ChannelGainText(raw)));
    if (queue) QueueParamWrite(app().core, cc.kind, uint8_t(cc.channel), 1);
    col.fader->SetInvertedPos(raw);
}

void CGainDlg::showButtons(int c) {
    Column& col = m_columns[size_t(c)];
    const ColumnChannel cc = columnChannel(c);
    DeviceImage& image = app().core.image;
    col.soundBitmap = *soundOnOf(image, cc) == 0 ? kSoundMuted : kSoundOn;
    col.polarityBitmap = *polarityOf(image, cc) == 0 ? kPolarityInverted : kPolarityNormal;
    col.sound->SetSkin(col.soundBitmap, col.soundBitmap, col.soundBitmap);
    col.polarity->SetSkin(col.polarityBitmap, col.polarityBitmap, col.polarityBitmap);
    col.sound->setToolTip(*soundOnOf(image, cc) == 0 ? tr("Muted") : tr("Sound on"));
    col.polarity->setToolTip(*polarityOf(image, cc) == 0 ? tr("Polarity inverted") : tr("Polarity normal"));
}

void CGainDlg::linkStep(int c, Field field) {
    CoreState& s = app().core;
    const ColumnChannel cc = columnChannel(c);
    const uint8_t group = syspages::columnLinkGroup(s, c);
    const int first = cc.kind == kKindInput ? 0 : kInputCount;
    const int last = cc.kind == kKindInput ? kInputCount : kColumnCount;
    for (int o = first; o < last; ++o) {
        if (o == c || syspages::columnLinkGroup(s, o) != group) continue;
        const ColumnChannel oc = columnChannel(o);
        MarkParamDirty(s, oc.kind, oc.channel, 1);
        switch (field) {
        case Field::Gain:
            setGain(s.image, oc, gainOf(s.image, cc));
            showGain(o, false);
            break;
        case Field::SoundOn:
            *soundOnOf(s.image, oc) = *soundOnOf(s.image, cc);
            showButtons(o);
            break;
        case Field::Polarity:
            *polarityOf(s.image, oc) = *polarityOf(s.image, cc);
            showButtons(o);
            break;
        }
    }
}

void CGainDlg::OnFaderMoved(int c) {
    if (c < 0 || c >= kColumnCount) return;
    const int raw = m_columns[size_t(c)].fader->GetInvertedPos();
    setGain(app().core.image, columnChannel(c), raw);
    showGain(c, true);
    linkStep(c, Field::Gain);
}

void CGainDlg::OnSpin(int c, int delta) {
    if (c < 0 || c >= kColumnCount) return;
    const ColumnChannel cc = columnChannel(c);
    DeviceImage& image = app().core.image;
    const int raw = gainOf(image, cc);
    if (delta < 0 && raw < kFaderMax)
        setGain(image, cc, raw + 1);
    else if (delta >= 0 && raw > 0)
        setGain(image, cc, raw - 1);
    // At the ends of the range nothing changes, but the write and the propagation still go out.
    showGain(c, true);
    linkStep(c, Field::Gain);
}

void CGainDlg::OnEntryLeft(int c) {
    if (c < 0 || c >= kColumnCount || m_checkingEntry) return;
    const ColumnChannel cc = columnChannel(c);
    const std::optional<double> typed = syspages::parseTypedNumber(m_columns[size_t(c)].entry->text());
    if (!typed) {
        // Nothing typed (an emptied entry): the channel keeps its gain.
        showGain(c, false);
        return;
    }
    const std::optional<int> raw = ChannelGainEntry(*typed);
    if (!raw) {
        // The box runs its own event loop, which moves the focus about: no second check meanwhile.
        m_checkingEntry = true;
        app().showMessage(this, syspages::dataOutOfRangeText());
        m_checkingEntry = false;
        showGain(c, false);
        return;
    }
    if (*raw == gainOf(app().core.image, cc)) return; // the entry keeps what was typed
    setGain(app().core.image, cc, *raw);
    showGain(c, true);
    linkStep(c, Field::Gain);
}

void CGainDlg::OnSoundClicked(int c) {
    if (c < 0 || c >= kColumnCount) return;
    const ColumnChannel cc = columnChannel(c);
    uint8_t* field = soundOnOf(app().core.image, cc);
    *field = *field == 0 ? 1 : 0;
    showButtons(c);
    QueueParamWrite(app().core, cc.kind, uint8_t(cc.channel), 1);
    linkStep(c, Field::SoundOn);
}

void CGainDlg::OnPolarityClicked(int c) {
    if (c < 0 || c >= kColumnCount) return;
    const ColumnChannel cc = columnChannel(c);
    uint8_t* field = polarityOf(app().core.image, cc);
    *field = *field == 0 ? 1 : 0;
    showButtons(c);
    QueueParamWrite(app().core, cc.kind, uint8_t(cc.channel), 1);
    linkStep(c, Field::Polarity);
}

void CGainDlg::OnMeterTimer() {
    CoreState& s = app().core;
    MeterLevels& m = s.meterLevels;
    if (!s.linkConnected) {
        // The levels of a link that is gone show nothing: the four inputs, the eight outputs and the
        // four bytes after them.
        std::memset(m.inputLevel, 0, sizeof m.inputLevel);
        std::memset(m.outputLevel, 0, sizeof m.outputLevel);
        std::memset(m.extra, 0, sizeof m.extra);
    }
    for (int c = 0; c < kColumnCount; ++c) {
        const ColumnChannel cc = columnChannel(c);
        int level = 0;
        bool top = false;
        if (cc.kind == kKindInput) {
            level = m.inputLevel[cc.channel];
            top = level > kInputClipLevel;
        } else {
            uint8_t& byte = m.outputLevel[cc.channel];
            top = (byte & kLimitBit) != 0;
            // The limiter's mark is taken once: cleared here, lit until the next heartbeat sets it.
            if (top) byte = uint8_t(byte & ~kLimitBit);
            level = byte;
        }
        LevelMeter* meter = m_columns[size_t(c)].meter;
        for (int j = 0; j < kMeterSegments - 1; ++j)
            meter->SetSegment(j, level >= kFirstSegmentLevel + kSegmentStep * j);
        meter->SetSegment(kMeterSegments - 1, top);
    }
}

} // namespace velmar
