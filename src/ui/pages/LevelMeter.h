// LevelMeter: the nine-segment level meter of the Input and Output pages, with its dB labels.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

namespace velmar {

class XPButton;

// Segment 0 is the bottom one ("-36"), 8 the top ("12"): seven green, one yellow, one red, each an
// XPButton with its lit and unlit images; the labels stand to the right. Owned by its page; UI thread.
class LevelMeter : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSegments = 9;
    static constexpr int kSegmentWidth = 21;
    static constexpr int kSegmentHeight = 13;
    static constexpr int kPitch = 15; // a segment and the gap above it
    static constexpr int kLabelWidth = 22;
    static constexpr int kWidth = kSegmentWidth + 4 + kLabelWidth;
    static constexpr int kHeight = kSegments * kPitch - 2;

    explicit LevelMeter(QWidget* parent = nullptr);

    // Segments 0..7 lit by a level from the processor: segment i when level >= 64 + 6 i.
    static bool SegmentLitByLevel(int segment, uint8_t level);

    void SetSegment(int segment, bool on);
    bool IsSegmentOn(int segment) const;
    XPButton* Segment(int segment) const { return m_segments[size_t(segment)]; }

private:
    std::array<XPButton*, kSegments> m_segments{};
};

} // namespace velmar
