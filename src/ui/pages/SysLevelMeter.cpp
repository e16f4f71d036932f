// The Gain page's level meter.
#include "ui/pages/SysLevelMeter.h"

#include "ui/controls/XPButton.h"

namespace velmar {

namespace {
// Lit and unlit bitmaps: the two top segments warn, the rest are green.
void segmentImages(int j, int count, int& lit, int& unlit) {
    if (j == count - 1) {
        lit = 442;
        unlit = 458;
    } else if (j == count - 2) {
        lit = 443;
        unlit = 457;
    } else {
        lit = 441;
        unlit = 456;
    }
}
} // namespace

SysLevelMeter::SysLevelMeter(int segments, int pitch, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int height = (segments - 1) * pitch + kSegmentHeight;
    setFixedSize(kSegmentWidth, height);
    for (int j = 0; j < segments; ++j) {
        auto* b = new XPButton(this);
        int lit = 0, unlit = 0;
        segmentImages(j, segments, lit, unlit);
        b->SetBitmaps(lit, lit, lit, unlit, unlit, unlit);
        b->SetHandCursor(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->move(0, height - kSegmentHeight - j * pitch);
        m_segments.append(b);
    }
}

void SysLevelMeter::setSegment(int j, bool on) {
    if (XPButton* b = m_segments.value(j)) b->SetOn(on);
}

bool SysLevelMeter::isSegmentOn(int j) const {
    const XPButton* b = m_segments.value(j);
    return b && b->IsOn();
}

int SysLevelMeter::litCount() const {
    int n = 0;
    for (const XPButton* b : m_segments) n += b->IsOn() ? 1 : 0;
    return n;
}

} // namespace velmar
