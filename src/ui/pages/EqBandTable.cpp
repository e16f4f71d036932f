// The band rows: construction, showing a band, column placement.
#include "ui/pages/EqBandTable.h"

#include "core/ValueScales.h"
#include "ui/artwork/Palette.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/StepButtons.h"
#include "ui/pages/SysComboBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace velmar {

namespace {

constexpr int kBandWidth = 22;
constexpr int kFreqEntryWidth = 54;
constexpr int kQEntryWidth = 54;
constexpr int kGainEntryWidth = 48;
constexpr int kStepGap = 1;
constexpr int kTypeWidth = 78;
constexpr int kBypassWidth = 64;
constexpr int kMinGap = 6;
constexpr int kMaxGap = 26;

constexpr int kColumnWidths[6] = {kBandWidth,
                                  kFreqEntryWidth + kStepGap + StepButtons::kWidth,
                                  kQEntryWidth + kStepGap + StepButtons::kWidth,
                                  kGainEntryWidth + kStepGap + StepButtons::kWidth,
                                  kTypeWidth,
                                  kBypassWidth};

int ColumnsWidth() {
    int w = 0;
    for (int c : kColumnWidths) w += c;
    return w;
}

QLabel* MakeCaption(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(palette::uiFont(11, true));
    label->setAlignment(Qt::AlignCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, palette::kTextDim);
    label->setPalette(p);
    return label;
}

} // namespace

EqBandTable::EqBandTable(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    for (size_t c = 0; c < m_captions.size(); ++c) m_captions[c] = MakeCaption(this);
    m_captions[size_t(Column::Band)]->setText(QStringLiteral("#"));

    const QFont font = palette::uiFont(12);
    for (int r = 0; r < kBandCount; ++r) {
        Row& row = m_rows[size_t(r)];
        row.number = new QLabel(QString::number(r + 1), this);
        row.number->setFont(palette::uiFont(12, true));
        row.number->setAlignment(Qt::AlignCenter);
        QPalette p = row.number->palette();
        p.setColor(QPalette::WindowText, palette::kTextDim);
        row.number->setPalette(p);

        auto entry = [&](NumericEntry*& e, StepButtons*& s, const QStringList& suffixes) {
            e = new NumericEntry(this);
            e->setFont(font);
            e->SetSuffixes(suffixes);
            s = new StepButtons(this);
        };
        entry(row.freq, row.freqStep, {QStringLiteral("Hz")});
        entry(row.q, row.qStep, {});
        entry(row.gain, row.gainStep, {QStringLiteral("dB")});
        row.freq->setObjectName(QStringLiteral("bandFreq%1").arg(r + 1));
        row.q->setObjectName(QStringLiteral("bandQ%1").arg(r + 1));
        row.gain->setObjectName(QStringLiteral("bandGain%1").arg(r + 1));

        // Both lists send when chosen: a passing wheel must not choose (see SysComboBox).
        row.slope = new SysComboBox(this);
        row.slope->setFont(font);
        row.slope->addItems({QStringLiteral("6dB"), QStringLiteral("12dB")});
        row.slope->hide();
        row.type = new SysComboBox(this);
        row.type->setFont(font);
        row.bypass = new QPushButton(this);
        row.bypass->setObjectName(QStringLiteral("bandBypass"));
        row.bypass->setCheckable(true);
        row.bypass->setChecked(true);
        row.bypass->setFont(palette::uiFont(11));
        row.bypass->setFocusPolicy(Qt::TabFocus);

        connect(row.freq, &NumericEntry::committed, this,
                [this, r](const QString& t) { emit freqCommitted(r, t); });
        connect(row.q, &NumericEntry::committed, this,
                [this, r](const QString& t) { emit qCommitted(r, t); });
        connect(row.gain, &NumericEntry::committed, this,
                [this, r](const QString& t) { emit gainCommitted(r, t); });
        connect(row.freqStep, &StepButtons::stepped, this, [this, r](bool up) { emit freqStepped(r, up); });
        connect(row.qStep, &StepButtons::stepped, this, [this, r](bool up) { emit qStepped(r, up); });
        connect(row.gainStep, &StepButtons::stepped, this, [this, r](bool up) { emit gainStepped(r, up); });
        connect(row.freq, &NumericEntry::stepRequested, this,
                [this, r](bool up) { emit freqStepped(r, up); });
        connect(row.q, &NumericEntry::stepRequested, this, [this, r](bool up) { emit qStepped(r, up); });
        connect(row.gain, &NumericEntry::stepRequested, this,
                [this, r](bool up) { emit gainStepped(r, up); });
        connect(row.type, &QComboBox::activated, this, [this, r](int i) { emit typeChosen(r, i); });
        connect(row.slope, &QComboBox::activated, this, [this, r](int i) { emit slopeChosen(r, i); });
        connect(row.bypass, &QPushButton::clicked, this, [this, r](bool on) { emit bypassClicked(r, on); });
    }
    setMinimumWidth(MinimumWidth());
    placeColumns();
}

int EqBandTable::MinimumWidth() {
    return ColumnsWidth() + 5 * kMinGap;
}

void EqBandTable::resizeEvent(QResizeEvent*) {
    placeColumns();
}

void EqBandTable::placeColumns() {
    const int gap = std::clamp((width() - ColumnsWidth()) / 5, kMinGap, kMaxGap);
    int x[6];
    int at = 0;
    for (int c = 0; c < 6; ++c) {
        x[c] = at;
        at += kColumnWidths[c] + gap;
    }
    for (int c = 0; c < 6; ++c) m_captions[size_t(c)]->setGeometry(x[c], 0, kColumnWidths[c], kHeaderHeight);

    const int inset = (kRowHeight - kControlHeight) / 2;
    for (int r = 0; r < kBandCount; ++r) {
        const Row& row = m_rows[size_t(r)];
        const int y = kHeaderHeight + r * kRowHeight + inset;
        const int h = kControlHeight;
        row.number->setGeometry(x[0], y, kBandWidth, h);
        row.freq->setGeometry(x[1], y, kFreqEntryWidth, h);
        row.freqStep->setGeometry(x[1] + kFreqEntryWidth + kStepGap, y, StepButtons::kWidth, h);
        row.q->setGeometry(x[2], y, kQEntryWidth, h);
        row.qStep->setGeometry(x[2] + kQEntryWidth + kStepGap, y, StepButtons::kWidth, h);
        row.slope->setGeometry(x[2], y, kColumnWidths[2], h);
        row.gain->setGeometry(x[3], y, kGainEntryWidth, h);
        row.gainStep->setGeometry(x[3] + kGainEntryWidth + kStepGap, y, StepButtons::kWidth, h);
        row.type->setGeometry(x[4], y, kTypeWidth, h);
        row.bypass->setGeometry(x[5], y, kBypassWidth, h);
    }
}

void EqBandTable::ShowBand(int r, const PeqBand& band, int fields) {
    if (r < 0 || r >= kBandCount) return;
    const Row& row = m_rows[size_t(r)];
    if (fields & kFreq) row.freq->ShowText(QString::fromStdString(FrequencyText(band.freq)));
    if (fields & kQ) {
        row.q->ShowText(QString::fromStdString(QText(band.q)));
        const QSignalBlocker block(row.slope);
        row.slope->setCurrentIndex(band.shelfSlope < row.slope->count() ? band.shelfSlope : -1);
        const bool shelf = band.type != 0;
        row.q->setVisible(!shelf);
        row.qStep->setVisible(!shelf);
        row.slope->setVisible(shelf);
    }
    if (fields & kGain) {
        row.gain->ShowText(QString::fromStdString(BandGainText(band.gain)));
        row.bypass->setChecked(band.gain == kBandGainRawZero);
    }
    if (fields & kType) {
        const QSignalBlocker block(row.type);
        row.type->setCurrentIndex(band.type < row.type->count() ? band.type : -1);
    }
    if (fields & kSlope) {
        const QSignalBlocker block(row.slope);
        row.slope->setCurrentIndex(band.shelfSlope < row.slope->count() ? band.shelfSlope : -1);
    }
}

void EqBandTable::SetCaptions(const QString& freq, const QString& q, const QString& gain, const QString& type,
                              const QString& bypass) {
    m_captions[size_t(Column::Freq)]->setText(freq);
    m_captions[size_t(Column::Q)]->setText(q);
    m_captions[size_t(Column::Gain)]->setText(gain);
    m_captions[size_t(Column::Type)]->setText(type);
    m_captions[size_t(Column::Bypass)]->setText(bypass);
}

void EqBandTable::SetTypeNames(const QStringList& names, const PeqBand* bands) {
    for (int r = 0; r < kBandCount; ++r) {
        QComboBox* list = m_rows[size_t(r)].type;
        const QSignalBlocker block(list);
        list->clear();
        list->addItems(names);
        const int type = bands ? bands[r].type : 0;
        list->setCurrentIndex(type < list->count() ? type : -1);
    }
}

void EqBandTable::SetTypeListsEnabled(bool enabled) {
    for (const Row& row : m_rows) row.type->setEnabled(enabled);
}

void EqBandTable::SetBypassText(const QString& text) {
    for (const Row& row : m_rows) row.bypass->setText(text);
}

void EqBandTable::SetToolTips(const QString& bypass, const QString& type) {
    for (const Row& row : m_rows) {
        row.bypass->setToolTip(bypass);
        row.type->setToolTip(type);
    }
}

} // namespace velmar
