// LevelMeter: a column of level-meter segments, bottom first, with optional dB labels beside it.
#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;

#include <cstdint>

namespace velmar {

class XPButton;

// Segment j (0 = bottom) is an XPButton given its lit image three times and its unlit image three
// times; the meter only switches them with SetSegment. The top segment is red (442 / 458), the one
// under it yellow (443 / 457), the rest green (441 / 456). Segments are 21 x 13, stacked `pitch` pixels
// apart; label j, when given, stands to the right of segment j. The meter takes no mouse and no focus
// and shows the arrow cursor: it is not a button.
//
// The Input and Output pages show nine segments labelled "-36" .. "12" (ChannelLabels), the Gain page
// fifteen without labels. Owned by its page; UI thread only.
class LevelMeter : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSegmentWidth = 21;
    static constexpr int kSegmentHeight = 13;
    static constexpr int kLabelGap = 4;
    static constexpr int kLabelWidth = 22;
    // The channel pages' meter: nine segments, one every 15 pixels.
    static constexpr int kChannelSegments = 9;
    static constexpr int kChannelPitch = 15;

    LevelMeter(int segments, int pitch, const QStringList& labels, QWidget* parent = nullptr);

    // The labels of the channel pages' meter, bottom first.
    static QStringList ChannelLabels();
    // Segments 0..7 of the channel pages' meter lit by a level from the processor: segment i when
    // level >= 64 + 6 i.
    static bool SegmentLitByLevel(int segment, uint8_t level);

    // Stacks the segments `pitch` pixels apart (at least the segment height); the meter's height follows.
    void SetPitch(int pitch);
    int Pitch() const { return m_pitch; }

    int SegmentCount() const { return int(m_segments.size()); }
    XPButton* Segment(int segment) const { return m_segments.value(segment); }
    void SetSegment(int segment, bool on);
    bool IsSegmentOn(int segment) const;
    // Number of lit segments, for quick looks in tests and logs.
    int LitCount() const;

private:
    void stack();

    QList<XPButton*> m_segments;
    QList<QLabel*> m_labels; // beside segments 0.. as far as given
    int m_pitch = 0;
};

} // namespace velmar
