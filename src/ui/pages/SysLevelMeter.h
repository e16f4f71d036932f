// SysLevelMeter: a column of meter segments (XPButtons with lit and unlit images), bottom first.
#pragma once

#include <QList>
#include <QWidget>

namespace velmar {

class XPButton;

// Segment j (0 = bottom) is an XPButton given its lit image three times and its unlit image three
// times; the meter only switches them with SetOn. The Gain page's meter has 15 segments: 0..12 green
// (441 / 456), 13 yellow (443 / 457), 14 red (442 / 458). Segments are 21 x 13 and stacked `pitch`
// pixels apart. They show the arrow cursor: a meter is not a button. Owned by its page; UI thread only.
class SysLevelMeter : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSegmentWidth = 21;
    static constexpr int kSegmentHeight = 13;

    SysLevelMeter(int segments, int pitch, QWidget* parent = nullptr);

    int segmentCount() const { return int(m_segments.size()); }
    XPButton* segment(int j) const { return m_segments.value(j); }
    void setSegment(int j, bool on);
    bool isSegmentOn(int j) const;
    // Number of lit segments, for quick looks in tests and logs.
    int litCount() const;

private:
    QList<XPButton*> m_segments;
};

} // namespace velmar
