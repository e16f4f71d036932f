// The level meter: segment images, label column and the level thresholds.
#include "ui/pages/LevelMeter.h"

#include "ui/artwork/Palette.h"
#include "ui/controls/XPButton.h"

#include <QLabel>

namespace velmar {

namespace {

constexpr const char* kLabels[LevelMeter::kSegments] = {"-36", "-30", "-24", "-18", "-12",
                                                        "-6",  " 0",  " 6",  "12"};
constexpr int kGreenLit = 441, kRedLit = 442, kYellowLit = 443;
constexpr int kGreenUnlit = 456, kYellowUnlit = 457, kRedUnlit = 458;

} // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    for (int i = 0; i < kSegments; ++i) {
        auto* s = new XPButton(this);
        const int lit = i < 7 ? kGreenLit : (i == 7 ? kYellowLit : kRedLit);
        const int unlit = i < 7 ? kGreenUnlit : (i == 7 ? kYellowUnlit : kRedUnlit);
        s->SetBitmaps(lit, lit, lit, unlit, unlit, unlit);
        s->SetHandCursor(false); // a meter, not a button
        s->setAttribute(Qt::WA_TransparentForMouseEvents);
        const int top = (kSegments - 1 - i) * kPitch;
        s->move(0, top);
        m_segments[size_t(i)] = s;

        auto* label = new QLabel(QString::fromLatin1(kLabels[i]), this);
        label->setFont(palette::condensedFont(10));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, palette::kTextDim);
        label->setPalette(pal);
        label->setGeometry(kSegmentWidth + 4, top - 1, kLabelWidth, kSegmentHeight + 2);
    }
}

bool LevelMeter::SegmentLitByLevel(int segment, uint8_t level) {
    return segment >= 0 && segment < 8 && level >= 64 + 6 * segment;
}

void LevelMeter::SetSegment(int segment, bool on) {
    if (segment >= 0 && segment < kSegments) m_segments[size_t(segment)]->SetOn(on);
}

bool LevelMeter::IsSegmentOn(int segment) const {
    return segment >= 0 && segment < kSegments && m_segments[size_t(segment)]->IsOn();
}

} // namespace velmar
