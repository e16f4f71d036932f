// The level meter: segment images, the label column and the channel pages' thresholds.
#include "ui/pages/LevelMeter.h"

#include "ui/artwork/Palette.h"
#include "ui/controls/XPButton.h"

#include <QLabel>

namespace velmar {

namespace {

constexpr int kGreenLit = 441, kRedLit = 442, kYellowLit = 443;
constexpr int kGreenUnlit = 456, kYellowUnlit = 457, kRedUnlit = 458;

// Lit and unlit bitmaps: the two top segments warn, the rest are green.
void segmentImages(int j, int count, int& lit, int& unlit) {
    if (j == count - 1) {
        lit = kRedLit;
        unlit = kRedUnlit;
    } else if (j == count - 2) {
        lit = kYellowLit;
        unlit = kYellowUnlit;
    } else {
        lit = kGreenLit;
        unlit = kGreenUnlit;
    }
}

} // namespace

LevelMeter::LevelMeter(int segments, int pitch, const QStringList& labels, QWidget* parent)
    : QWidget(parent), m_pitch(qMax(pitch, kSegmentHeight)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int j = 0; j < segments; ++j) {
        auto* b = new XPButton(this);
        int lit = 0, unlit = 0;
        segmentImages(j, segments, lit, unlit);
        b->SetBitmaps(lit, lit, lit, unlit, unlit, unlit);
        b->SetHandCursor(false);
        b->setFocusPolicy(Qt::NoFocus);
        m_segments.append(b);
        if (j >= labels.size()) continue;

        auto* label = new QLabel(labels.at(j), this);
        label->setFont(palette::condensedFont(10));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, palette::kTextDim);
        label->setPalette(pal);
        m_labels.append(label);
    }
    stack();
}

void LevelMeter::SetPitch(int pitch) {
    pitch = qMax(pitch, kSegmentHeight);
    if (pitch == m_pitch) return;
    m_pitch = pitch;
    stack();
}

void LevelMeter::stack() {
    const int segments = int(m_segments.size());
    const int height = qMax(0, segments - 1) * m_pitch + kSegmentHeight;
    setFixedSize(m_labels.isEmpty() ? kSegmentWidth : kSegmentWidth + kLabelGap + kLabelWidth, height);
    for (int j = 0; j < segments; ++j) {
        const int top = height - kSegmentHeight - j * m_pitch;
        m_segments[j]->move(0, top);
        if (j < m_labels.size())
            m_labels[j]->setGeometry(kSegmentWidth + kLabelGap, top - 1, kLabelWidth, kSegmentHeight + 2);
    }
}

QStringList LevelMeter::ChannelLabels() {
    return {QStringLiteral("-36"), QStringLiteral("-30"), QStringLiteral("-24"),
            QStringLiteral("-18"), QStringLiteral("-12"), QStringLiteral("-6"),
            QStringLiteral(" 0"),  QStringLiteral(" 6"),  QStringLiteral("12")};
}

bool LevelMeter::SegmentLitByLevel(int segment, uint8_t level) {
    return segment >= 0 && segment < 8 && level >= 64 + 6 * segment;
}

void LevelMeter::SetSegment(int segment, bool on) {
    if (XPButton* b = m_segments.value(segment)) b->SetOn(on);
}

bool LevelMeter::IsSegmentOn(int segment) const {
    const XPButton* b = m_segments.value(segment);
    return b && b->IsOn();
}

int LevelMeter::LitCount() const {
    int n = 0;
    for (const XPButton* b : m_segments) n += b->IsOn() ? 1 : 0;
    return n;
}

} // namespace velmar
