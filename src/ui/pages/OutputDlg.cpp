// The Output page: the shared zones plus the crossover, the compressor and the output meter.
#include "ui/pages/OutputDlg.h"

#include "core/ChannelLink.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "ui/artwork/Palette.h"
#include "ui/pages/EqBandTable.h"

#include "ui/pages/NumericEntry.h"
#include "ui/pages/PagePanel.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysComboBox.h"
#include <QPushButton>

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace velmar {

namespace {

constexpr int kRightWidth = 262;
constexpr int kXoverHeight = 112;
constexpr int kEntryHeight = 22;
constexpr int kMinFreq = 20;
constexpr int kMaxFreq = 20000;
constexpr int kThresholdMax = 48;
constexpr int kAttackMax = 97;

// The crossover alignments in list order, with their trailing spaces.
const char* const kCrossoverNames[kCrossoverChoiceCount] = {
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Lin-Ril 12dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Lin-Ril 24dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Lin-Ril 36dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Lin-Ril 48dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "ButterW 12dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "ButterW 18dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "ButterW 24dB"),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Bessel 12dB "),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Bessel 18dB "),
    QT_TRANSLATE_NOOP("velmar::COutputDlg", "Bessel 24dB ")};

QLabel* MakeLabel(QWidget* parent, Qt::Alignment align, bool bold) {
    auto* label = new QLabel(parent);
    label->setFont(palette::uiFont(bold ? 11 : 12, bold));
    label->setAlignment(align | Qt::AlignVCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, bold ? palette::kTextDim : palette::kText);
    label->setPalette(p);
    return label;
}

// One half of the crossover unit (side 0 high-pass, 1 low-pass), copied out of and into the packed
// output block or curve record by value.
struct Side {
    int freq;
    uint8_t type;
    uint8_t slope;
};

template <class Crossover> Side GetSide(const Crossover& x, int side) {
    return side == 0 ? Side{x.hpfFreq, x.hpfType, x.hpfSlope} : Side{x.lpfFreq, x.lpfType, x.lpfSlope};
}

template <class Crossover> void SetSide(Crossover& x, int side, const Side& v) {
    if (side == 0) {
        x.hpfFreq = int16_t(v.freq);
        x.hpfType = v.type;
        x.hpfSlope = v.slope;
    } else {
        x.lpfFreq = int16_t(v.freq);
        x.lpfType = v.type;
        x.lpfSlope = v.slope;
    }
}

} // namespace

COutputDlg::COutputDlg(AppState& app, QWidget* parent) : CChannelPage(app, parent, kKindOutput) {
    buildCrossover();
    buildCompressor();
    setCaptions();
    fillCrossoverLists();
}

int COutputDlg::RightColumnWidth() const {
    return kRightWidth;
}

void COutputDlg::buildCrossover() {
    m_xoverPanel = new PagePanel(this);
    m_xoverCaptions[0] = MakeLabel(m_xoverPanel, Qt::AlignHCenter, true);
    m_xoverCaptions[1] = MakeLabel(m_xoverPanel, Qt::AlignHCenter, true);
    m_xoverCaptions[2] = MakeLabel(m_xoverPanel, Qt::AlignRight, true);
    m_xoverCaptions[3] = MakeLabel(m_xoverPanel, Qt::AlignRight, true);
    for (int side = 0; side < 2; ++side) {
        auto* e = new NumericEntry(m_xoverPanel);
        e->setObjectName(side == 0 ? QStringLiteral("hpfFreq") : QStringLiteral("lpfFreq"));
        e->setFont(palette::uiFont(12));
        e->SetSuffixes({QStringLiteral("Hz")});
        auto* s = new StepButtons(m_xoverPanel);
        auto* list = new SysComboBox(m_xoverPanel); // the alignment is sent when chosen
        list->setFont(palette::uiFont(12));
        connect(e, &NumericEntry::committed, this,
                [this, side](const QString& t) { onCrossoverCommitted(side, t); });
        connect(e, &NumericEntry::stepRequested, this,
                [this, side](bool up) { onCrossoverStepped(side, up); });
        connect(s, &StepButtons::stepped, this, [this, side](bool up) { onCrossoverStepped(side, up); });
        connect(list, &QComboBox::activated, this, [this, side](int i) { onCrossoverChosen(side, i); });
        m_xoverEntries[size_t(side)] = e;
        m_xoverSteps[size_t(side)] = s;
        m_xoverLists[size_t(side)] = list;
    }
}

void COutputDlg::buildCompressor() {
    m_compPanel = new PagePanel(this);
    const char* names[4] = {"compThreshold", "compAttack", "compRelease", "compRatio"};
    const QStringList suffixes[4] = {{QStringLiteral("dBu")}, {QStringLiteral("ms")}, {}, {}};
    for (int i = 0; i < 4; ++i) {
        const Comp c = Comp(i);
        m_compCaptions[size_t(i)] = MakeLabel(m_compPanel, Qt::AlignRight, true);
        auto* e = new NumericEntry(m_compPanel);
        e->setObjectName(QString::fromLatin1(names[i]));
        e->setFont(palette::uiFont(12));
        e->SetSuffixes(suffixes[i]);
        // Release and ratio are chosen by their steps only.
        e->setReadOnly(c == Comp::Release || c == Comp::Ratio);
        auto* s = new StepButtons(m_compPanel);
        connect(e, &NumericEntry::stepRequested, this, [this, c](bool up) { onCompressorStepped(c, up); });
        connect(s, &StepButtons::stepped, this, [this, c](bool up) { onCompressorStepped(c, up); });
        m_compEntries[size_t(i)] = e;
        m_compSteps[size_t(i)] = s;
    }
    connect(m_compEntries[0], &NumericEntry::committed, this, &COutputDlg::onThresholdCommitted);
    connect(m_compEntries[1], &NumericEntry::committed, this, &COutputDlg::onAttackCommitted);
}

void COutputDlg::resizeEvent(QResizeEvent* event) {
    CChannelPage::resizeEvent(event);
    placeRightColumn();
}

void COutputDlg::placeRightColumn() {
    const QRect column = RightColumn();
    m_xoverPanel->setGeometry(column.left(), column.top(), column.width(), kXoverHeight);
    m_compPanel->setGeometry(column.left(), column.top() + kXoverHeight + 6, column.width(),
                             column.height() - kXoverHeight - 6);

    // Crossover: captions over the frequency and the alignment, one row per side.
    const int labelX = 8, labelW = 34, entryX = labelX + labelW + 6, entryW = 62;
    const int listX = entryX + entryW + 1 + StepButtons::kWidth + 8;
    const int listW = column.width() - listX - 8;
    const int top = m_xoverPanel->ContentTop() - 2;
    m_xoverCaptions[0]->setGeometry(entryX, top, entryW + 1 + StepButtons::kWidth, 18);
    m_xoverCaptions[1]->setGeometry(listX, top, listW, 18);
    for (int side = 0; side < 2; ++side) {
        const int y = top + 20 + side * 30;
        m_xoverCaptions[size_t(2 + side)]->setGeometry(labelX, y, labelW, kEntryHeight);
        m_xoverEntries[size_t(side)]->setGeometry(entryX, y, entryW, kEntryHeight);
        m_xoverSteps[size_t(side)]->setGeometry(entryX + entryW + 1, y, StepButtons::kWidth, kEntryHeight);
        m_xoverLists[size_t(side)]->setGeometry(listX, y, listW, kEntryHeight);
    }

    // Compressor: four rows spread over the zone, captions right-aligned against the entries.
    const int rowsTop = m_compPanel->ContentTop() + 2;
    const int pitch = std::min(34, (m_compPanel->height() - rowsTop - 8) / 4);
    const int capW = 96, compEntryX = 8 + capW + 8, compEntryW = 80;
    for (int i = 0; i < 4; ++i) {
        const int y = rowsTop + i * pitch + (pitch - kEntryHeight) / 2;
        m_compCaptions[size_t(i)]->setGeometry(8, y, capW, kEntryHeight);
        m_compEntries[size_t(i)]->setGeometry(compEntryX, y, compEntryW, kEntryHeight);
        m_compSteps[size_t(i)]->setGeometry(compEntryX + compEntryW + 1, y, StepButtons::kWidth,
                                            kEntryHeight);
    }
}

void COutputDlg::setCaptions() {
    SetSharedCaptions(tr("GAIN / POL"), tr("DELAY"), tr("EQ"),
                      {tr("Freq"), tr("Q"), tr("Gain"), tr("Type"), tr("Bypass")}, tr("Bypass"),
                      tr("EQ RESET"), tr("EQ BYPASS"));
    BandTable()->SetToolTips(tr("Bypass: the band at 0 dB; press again to restore its gain"),
                             tr("Band type: peaking or a shelf"));
    EqResetButton()->setToolTip(tr("All ten bands to their start values"));
    EqBypassButton()->setToolTip(tr("Flattens the ten bands; press again to restore them"));
    m_xoverPanel->SetTitle(tr("XOVER"));
    m_compPanel->SetTitle(tr("COMPRESSOR"));
    m_xoverCaptions[0]->setText(tr(" Freq"));
    m_xoverCaptions[1]->setText(tr("Type", "crossover"));
    m_xoverCaptions[2]->setText(tr("HPF"));
    m_xoverCaptions[3]->setText(tr("LPF"));
    m_compCaptions[0]->setText(tr("Threshold"));
    m_compCaptions[1]->setText(tr("    Attack"));
    m_compCaptions[2]->setText(tr("  Release"));
    m_compCaptions[3]->setText(tr("    Ratio"));
    m_xoverEntries[0]->setToolTip(tr("High-pass frequency in Hz; 20 is OFF"));
    m_xoverEntries[1]->setToolTip(tr("Low-pass frequency in Hz; 20000 is OFF"));
}

void COutputDlg::fillCrossoverLists() {
    QStringList names;
    for (const char* n : kCrossoverNames) names << tr(n);
    for (QComboBox* list : m_xoverLists) {
        const QSignalBlocker block(list);
        list->clear();
        list->addItems(names);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Refresh and the graph

void COutputDlg::ShowCurvesOnGraph(int channel) {
    if (app().graph) app().graph->ShowOutputCurves(channel);
}

void COutputDlg::RefreshPage() {
    if (!TakeCurrentChannel()) return;
    const int ch = ShownChannel();
    // A drag's last step still on its way to the image is taken first, or the reload would undo it.
    TakeGraphChanges(ch);
    RefreshCurveSet(app().core, kCurveSetOutput, ch);
    ShowCurvesOnGraph(ch);
    RefreshShared({tr("PEQ"), tr("Lo_Shf"), tr("Hi_Shf")});
    fillCrossoverLists();
    ShowCrossover(ch, 0, false);
    ShowCrossover(ch, 1, false);
    ShowCompressor(ch, 1 | 2 | 4 | 8, false);
    setCaptions();
}

void COutputDlg::GraphPointChanged(int index, int channel) {
    m_notice = {index, channel, m_notice.count + 1};
    if (!ValidChannel(channel)) return;
    if (index >= 0 && index < kBandCount) {
        TakeBandFromCurves(channel, index);
    } else if (index == kHighPassItem || index == kLowPassItem) {
        const int side = index - kHighPassItem;
        SetSide(app().core.image.outputs[channel], side, GetSide(Curves(channel).Records().crossover, side));
        ShowCrossover(channel, side, true);
    }
}

void COutputDlg::ApplyGraphChange(int index, int channel) {
    GraphPointChanged(index, channel);
    if (index < kBandCount) ClearEqBypass(channel); // a crossover point leaves the bypass alone
}

void COutputDlg::ClearEqBypass(int channel) {
    app().eqBypass.ClearBypass(kKindOutput, channel);
    if (Shows(channel)) UpdateEqBypassButton();
}

// ---------------------------------------------------------------------------------------------------------
// Bands

void COutputDlg::TypedFreqLimits(const PeqBand&, int& low, int& high) const {
    // The output page does not limit shelf frequencies.
    low = kMinFreq, high = kMaxFreq;
}

void COutputDlg::SteppedFreqLimits(const PeqBand&, int& low, int& high) const {
    low = kMinFreq, high = kMaxFreq;
}

void COutputDlg::OnTypeChosen(int band, int index) {
    const int ch = ShownChannel();
    if (index < 0 || index >= kBandTypeCount) return;
    PeqBand& b = Bands(ch)[band];
    if (b.type == index) return;
    b.type = uint8_t(index);
    // The whole band goes out and its curve takes the new kind; a shelf shows its slope list instead of Q.
    ShowBand(ch, band, EqBandTable::kFreq | EqBandTable::kQ, true);
}

// ---------------------------------------------------------------------------------------------------------
// Crossover

void COutputDlg::ShowCrossover(int channel, int side, bool send) {
    if (!ValidChannel(channel)) return;
    const Side s = GetSide(app().core.image.outputs[channel], side);
    if (Shows(channel)) {
        const bool off = side == 0 ? s.freq == kMinFreq : s.freq == kMaxFreq;
        m_xoverEntries[size_t(side)]->ShowText(off ? QStringLiteral("OFF") : QString::number(s.freq));
        const QSignalBlocker block(m_xoverLists[size_t(side)]);
        // A family and slope without a list item (only from outside) selects nothing rather than a
        // wrong name.
        m_xoverLists[size_t(side)]->setCurrentIndex(CrossoverComboIndex(s.type, s.slope).value_or(-1));
    }
    if (!send) return;
    CoreState& core = app().core;
    QueueParamWrite(core, kKindOutput, uint8_t(channel), kCrossoverParam);
    CKTVEQ& set = Curves(channel);
    SetSide(set.Records().crossover, side, s);
    (side == 0 ? set.HighPass() : set.LowPass()).Recompute(true);
    if (Shows(channel) && app().graph) app().graph->Redraw(-1);
    LinkParam(core, kKindOutput, channel, kCrossoverParam);
}

void COutputDlg::onCrossoverCommitted(int side, const QString& text) {
    const int ch = ShownChannel();
    OutputBlock& out = app().core.image.outputs[ch];
    Side s = GetSide(out, side);
    std::optional<int> hz;
    if (text.trimmed().compare(QStringLiteral("OFF"), Qt::CaseInsensitive) == 0) {
        hz = side == 0 ? kMinFreq : kMaxFreq;
    } else if (const std::optional<double> v = NumericEntry::ParseNumber(text, {QStringLiteral("Hz")})) {
        hz = TruncateToInt(*v);
    }
    // The high-pass stays at or below the low-pass, the low-pass at or above the high-pass.
    const int low = side == 0 ? kMinFreq : out.hpfFreq;
    const int high = side == 0 ? out.lpfFreq : kMaxFreq;
    if (!hz || *hz < low || *hz > high) {
        Refuse();
        ShowCrossover(ch, side, false);
        return;
    }
    const bool changed = s.freq != *hz;
    s.freq = *hz;
    SetSide(out, side, s);
    ShowCrossover(ch, side, changed);
}

void COutputDlg::onCrossoverStepped(int side, bool up) {
    const int ch = ShownChannel();
    OutputBlock& out = app().core.image.outputs[ch];
    if (side == 0) {
        if (up && out.hpfFreq < kMaxFreq && out.hpfFreq < out.lpfFreq) ++out.hpfFreq;
        if (!up && out.hpfFreq > kMinFreq) --out.hpfFreq;
    } else {
        if (up && out.lpfFreq < kMaxFreq) ++out.lpfFreq;
        if (!up && out.lpfFreq > kMinFreq && out.lpfFreq > out.hpfFreq) --out.lpfFreq;
    }
    ShowCrossover(ch, side, true);
}

void COutputDlg::onCrossoverChosen(int side, int index) {
    const int ch = ShownChannel();
    const std::optional<CrossoverChoice> choice = CrossoverFromCombo(index);
    if (!choice) return;
    OutputBlock& out = app().core.image.outputs[ch];
    Side s = GetSide(out, side);
    if (s.type == choice->type && s.slope == choice->slope) return;
    s.type = choice->type;
    s.slope = choice->slope;
    SetSide(out, side, s);
    ShowCrossover(ch, side, true);
}

// ---------------------------------------------------------------------------------------------------------
// Compressor

void COutputDlg::ShowCompressor(int channel, int fields, bool send) {
    if (!ValidChannel(channel)) return;
    const OutputBlock& out = app().core.image.outputs[channel];
    if (Shows(channel)) {
        if (fields & 1)
            m_compEntries[0]->ShowText(QString::fromStdString(CompThresholdText(out.compThreshold)));
        if (fields & 2) m_compEntries[1]->ShowText(QString::fromStdString(CompAttackText(out.compAttack)));
        if (fields & 4)
            m_compEntries[2]->ShowText(
                QString::fromUtf8(CompReleaseText(out.compRelease, app().core.languageFlag)));
        if (fields & 8) m_compEntries[3]->ShowText(QString::fromStdString(CompRatioText(out.compRatio)));
    }
    if (send) SendParam(channel, kCompressorParam);
}

void COutputDlg::onThresholdCommitted(const QString& text) {
    const int ch = ShownChannel();
    OutputBlock& out = app().core.image.outputs[ch];
    const std::optional<double> v = NumericEntry::ParseNumber(text, {QStringLiteral("dBu")});
    // Read as a whole number of dBu.
    const std::optional<int> raw = v ? CompThresholdEntry(TruncateToInt(*v)) : std::nullopt;
    if (!raw) {
        Refuse();
        ShowCompressor(ch, 1, false);
        return;
    }
    const bool changed = out.compThreshold != *raw;
    out.compThreshold = int16_t(*raw);
    ShowCompressor(ch, 1, changed);
}

void COutputDlg::onAttackCommitted(const QString& text) {
    const int ch = ShownChannel();
    OutputBlock& out = app().core.image.outputs[ch];
    const std::optional<double> v = NumericEntry::ParseNumber(text, {QStringLiteral("ms")});
    const std::optional<int> raw = v ? CompAttackEntry(*v) : std::nullopt;
    if (!raw) {
        Refuse();
        ShowCompressor(ch, 2, false);
        return;
    }
    const bool changed = out.compAttack != *raw;
    out.compAttack = uint8_t(*raw);
    // Shown again either way: 50.9 ms is stored as 47 and reads "50ms".
    ShowCompressor(ch, 2, changed);
}

void COutputDlg::onCompressorStepped(Comp c, bool up) {
    const int ch = ShownChannel();
    OutputBlock& out = app().core.image.outputs[ch];
    // By value: the threshold is a packed 16-bit field.
    const auto step = [up](int value, int maximum) {
        if (up && value < maximum) return value + 1;
        if (!up && value > 0) return value - 1;
        return value;
    };
    switch (c) {
    case Comp::Threshold:
        out.compThreshold = int16_t(step(out.compThreshold, kThresholdMax));
        break;
    case Comp::Attack:
        out.compAttack = uint8_t(step(out.compAttack, kAttackMax));
        break;
    case Comp::Release:
        out.compRelease = uint8_t(step(out.compRelease, kReleaseStepMax));
        break;
    case Comp::Ratio:
        out.compRatio = uint8_t(step(out.compRatio, kRatioMax));
        break;
    }
    ShowCompressor(ch, 1 << int(c), true);
}

// ---------------------------------------------------------------------------------------------------------
// Meter

void COutputDlg::MeterTick() {
    CoreState& s = app().core;
    uint8_t& selected = s.meterLevels.selectedOutputLevel;
    if (s.linkConnected != 1) selected = 0;
    const uint8_t level = selected;
    // Bit 7 is the limiter: it lights the top segment once and is cleared until the next heartbeat
    // reports it again. The other segments show the level itself (bits 0..6).
    const bool limiting = (level & 0x80) != 0;
    if (limiting) selected = uint8_t(level & 0x7F);
    ShowMeter(uint8_t(level & 0x7F), limiting);
}

} // namespace velmar
