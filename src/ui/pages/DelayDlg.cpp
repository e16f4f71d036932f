// The Delay page: twelve channel columns with fader and the delay in milliseconds, metres and feet.
#include "ui/pages/DelayDlg.h"

#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysChannelPanel.h"
#include "ui/pages/SysPageCommon.h"

namespace velmar {

using syspages::columnChannel;
using syspages::ColumnChannel;
using syspages::kColumnCount;

namespace {

constexpr int kTrack = 300, kThumb = 454, kThumbActive = 455;
constexpr int kFaderIdBase = 1780;
constexpr DelayUnit kUnits[CDelayDlg::kUnitCount] = {DelayUnit::Milliseconds, DelayUnit::Metres,
                                                     DelayUnit::Feet};

// Geometry of a column (relative to its panel) and of the page.
constexpr int kColumnWidth = 80;
constexpr int kFaderTop = 40;
constexpr int kFaderHeight = 215; // the track's least height
constexpr int kEntryGap = 16;
constexpr int kEntryPitch = 30;
constexpr int kEntryHeight = 24;
constexpr int kEntryLeft = 3;
constexpr int kEntryWidth = 59;
// The delay texts run to eight characters ("1094.1Ft", "147.56Mt"): a narrower spin leaves them room.
constexpr int kSpinWidth = 14;
constexpr int kBottomPadding = 10;
constexpr int kContentHeight = kFaderTop + kFaderHeight + kEntryGap +
                               (CDelayDlg::kUnitCount - 1) * kEntryPitch + kEntryHeight + kBottomPadding;

int delayOf(const DeviceImage& image, ColumnChannel cc) {
    return cc.kind == kKindInput ? image.inputs[cc.channel].delay : image.outputs[cc.channel].delay;
}
void setDelay(DeviceImage& image, ColumnChannel cc, int raw) {
    if (cc.kind == kKindInput)
        image.inputs[cc.channel].delay = int16_t(raw);
    else
        image.outputs[cc.channel].delay = int16_t(raw);
}

} // namespace

CDelayDlg::CDelayDlg(AppState& app, QWidget* parent) : SysChannelsPage(app, parent, kContentHeight) {
    // The tab control carries the light palette of its strip; the page's controls take the dark one.
    setPalette(palette::applicationPalette());
    for (int c = 0; c < kColumnCount; ++c) buildColumn(c);
    // Every channel's value, nothing queued.
    RefreshPage();
}

CDelayDlg::~CDelayDlg() = default;

void CDelayDlg::buildColumn(int c) {
    Column& col = m_columns[size_t(c)];
    col.panel = addPanel(c, palette::kDelayColour);

    col.fader = new CBitmapSlider(kFaderIdBase + c, col.panel);
    col.fader->SetChannelBitmaps(kTrack, kTrack, true);
    col.fader->SetThumbBitmaps(kThumb, kThumbActive, true);
    col.fader->SetMargins(1, 0, 0, 1);
    col.fader->SetVertical(true);
    col.fader->SetRange(0, kFaderMax, false);
    connect(
        col.fader, &CBitmapSlider::sliderMoving, this, [this, c](int, int) { OnFaderMoved(c); },
        Qt::QueuedConnection);
    connect(
        col.fader, &CBitmapSlider::sliderMoved, this, [this, c](int, int) { OnFaderMoved(c); },
        Qt::QueuedConnection);

    for (int u = 0; u < kUnitCount; ++u) {
        auto* entry = syspages::newEntry(false, col.panel);
        auto* spin = new StepButtons(col.panel);
        connect(entry, &NumericEntry::committed, this, [this, c, u] { OnEntryLeft(c, u); });
        connect(entry, &NumericEntry::stepRequested, this, [this, c](bool up) { OnSpin(c, up ? -1 : 1); });
        connect(spin, &StepButtons::stepped, this, [this, c](bool up) { OnSpin(c, up ? -1 : 1); });
        col.entries[size_t(u)] = entry;
        col.spins[size_t(u)] = spin;
    }
    col.panel->resize(kColumnWidth, kContentHeight);
    placeColumn(c);
}

void CDelayDlg::placeColumn(int c) {
    Column& col = m_columns[size_t(c)];
    const int h = col.panel->height();
    // The fader takes the height the panel has, so a long travel gives fine steps; it and the three
    // entries under it stand as one group in the middle of the panel.
    const int entries = (kUnitCount - 1) * kEntryPitch + kEntryHeight;
    const int space = h - kBottomPadding - SysChannelPanel::kCaptionHeight;
    const int faderHeight = qMax(kFaderHeight, space - 2 * kEntryGap - entries);
    if (col.fader->height() != faderHeight) {
        const QImage track = artwork::delayPageTrack(faderHeight);
        col.fader->SetChannelBitmaps(track, track, true);
    }
    const int group = col.fader->height() + kEntryGap + entries;
    const int faderTop = SysChannelPanel::kCaptionHeight + qMax(kEntryGap, (space - group) / 2);
    col.fader->move((kColumnWidth - col.fader->width()) / 2, faderTop);
    // The fader's scale in milliseconds at the marks of its track.
    static const struct {
        int raw;
        const char* text;
    } kMarks[] = {{1466, "1000"}, {1216, "750"}, {966, "500"}, {716, "250"},
                  {566, "100"},   {476, "10"},   {0, "0"}};
    QList<SysChannelPanel::ScaleMark> marks;
    for (const auto& m : kMarks)
        marks.append(
            {faderTop + col.fader->pixelForPosition(kFaderMax - m.raw), QString::fromLatin1(m.text)});
    col.panel->setScale(marks, col.fader->x() - 3);
    const int firstEntry = faderTop + col.fader->height() + kEntryGap;
    for (int u = 0; u < kUnitCount; ++u) {
        const int top = firstEntry + u * kEntryPitch;
        col.entries[size_t(u)]->setGeometry(kEntryLeft, top, kEntryWidth, kEntryHeight);
        col.spins[size_t(u)]->setGeometry(kEntryLeft + kEntryWidth + 1, top, kSpinWidth, kEntryHeight);
    }
}

CBitmapSlider* CDelayDlg::fader(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].fader : nullptr;
}
NumericEntry* CDelayDlg::entry(int c, int u) const {
    return c >= 0 && c < kColumnCount && u >= 0 && u < kUnitCount ? m_columns[size_t(c)].entries[size_t(u)]
                                                                  : nullptr;
}
StepButtons* CDelayDlg::spin(int c, int u) const {
    return c >= 0 && c < kColumnCount && u >= 0 && u < kUnitCount ? m_columns[size_t(c)].spins[size_t(u)]
                                                                  : nullptr;
}
SysChannelPanel* CDelayDlg::panel(int c) const {
    return c >= 0 && c < kColumnCount ? m_columns[size_t(c)].panel : nullptr;
}

void CDelayDlg::RefreshPage() {
    for (int c = 0; c < kColumnCount; ++c) showDelay(c, false);
    refreshColumns(tr("INPUTS"), tr("OUTPUTS"));
}

void CDelayDlg::showDelay(int c, bool queue) {
    Column& col = m_columns[size_t(c)];
    const ColumnChannel cc = columnChannel(c);
    const int raw = delayOf(app().core.image, cc);
    for (int u = 0; u < kUnitCount; ++u)
        col.entries[size_t(u)]->ShowText(QString::fromStdString(DelayText(raw, kUnits[u])));
    if (queue) QueueParamWrite(app().core, cc.kind, uint8_t(cc.channel), 1);
    col.fader->SetInvertedPos(raw);
}

void CDelayDlg::linkStep(int c) {
    CoreState& s = app().core;
    const ColumnChannel cc = columnChannel(c);
    const uint8_t group = syspages::columnLinkGroup(s, c);
    const int first = cc.kind == kKindInput ? 0 : kInputCount;
    const int last = cc.kind == kKindInput ? kInputCount : kColumnCount;
    for (int o = first; o < last; ++o) {
        if (o == c || syspages::columnLinkGroup(s, o) != group) continue;
        const ColumnChannel oc = columnChannel(o);
        MarkParamDirty(s, oc.kind, oc.channel, 1);
        setDelay(s.image, oc, delayOf(s.image, cc));
        showDelay(o, false);
    }
}

void CDelayDlg::OnFaderMoved(int c) {
    if (c < 0 || c >= kColumnCount) return;
    setDelay(app().core.image, columnChannel(c), m_columns[size_t(c)].fader->GetInvertedPos());
    showDelay(c, true);
    linkStep(c);
}

void CDelayDlg::OnSpin(int c, int delta) {
    if (c < 0 || c >= kColumnCount) return;
    const ColumnChannel cc = columnChannel(c);
    DeviceImage& image = app().core.image;
    const int raw = delayOf(image, cc);
    if (delta < 0 && raw < kFaderMax)
        setDelay(image, cc, raw + 1);
    else if (delta >= 0 && raw > 0)
        setDelay(image, cc, raw - 1);
    showDelay(c, true);
    linkStep(c);
}

void CDelayDlg::OnEntryLeft(int c, int u) {
    if (c < 0 || c >= kColumnCount || u < 0 || u >= kUnitCount || m_checkingEntry) return;
    const ColumnChannel cc = columnChannel(c);
    const std::optional<double> typed =
        syspages::parseTypedNumber(m_columns[size_t(c)].entries[size_t(u)]->text());
    if (!typed) {
        showDelay(c, false);
        return;
    }
    const std::optional<int> raw = DelayEntry(*typed, kUnits[u]);
    if (!raw) {
        m_checkingEntry = true;
        app().showMessage(this, syspages::dataOutOfRangeText());
        m_checkingEntry = false;
        showDelay(c, false);
        return;
    }
    if (*raw == delayOf(app().core.image, cc)) return; // the entry keeps what was typed
    setDelay(app().core.image, cc, *raw);
    showDelay(c, true);
    linkStep(c);
}

} // namespace velmar
