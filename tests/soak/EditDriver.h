// EditDriver: seeded random edits of every kind, made on a CoreState the way the pages make them.
#pragma once

#include "core/CoreState.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>

namespace velmar::soak {

// Every edit writes in-range raw values into the image, queues its write and propagates it to linked
// channels, then rebuilds the curves it touched, as the pages do: parameter units of inputs and outputs,
// graphic-equaliser bands, routing, crossovers, compressors, EQ reset and bypass (block writes), link
// joins, channel copies, program stores and loads, and imports of in-range program files.
//
// Core thread only; the state must outlive the driver.
class EditDriver {
public:
    enum Kind : int {
        InputUnit,
        GeqBand,
        OutputUnit,
        Routing,
        Crossover,
        EqReset,
        EqBypass,
        GeqReset,
        JoinGroup,
        CopyChannel,
        ProgramStore,
        ProgramLoad,
        Import,
        KindCount
    };

    EditDriver(CoreState& s, uint64_t seed);

    // Makes one edit of a randomly chosen kind; returns its kind.
    Kind edit();
    // Makes one edit of the given kind.
    void edit(Kind kind);

    // Milliseconds until the next edit: at once (several edits before the next tick), a drag's pace
    // (20..150 ms) or a user's pause (0.3..1.2 s), the last with the given share (0.2 by default).
    int nextDelayMs();
    void setUserPauseShare(double share) { userPauseShare_ = share; }

    const std::array<int, KindCount>& counts() const { return counts_; }
    int total() const { return total_; }
    static const char* Name(Kind kind);
    // "input-unit 120, geq 40, ..." for the edits made so far.
    std::string summary() const;
    // The kinds of the last edits, oldest first (for the report of a difference).
    std::string recent() const;

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    PeqBand randomBand();
    void inputUnit(int ch, int unit);
    void outputUnit(int ch, int unit);
    void afterParam(uint8_t kind, int ch, int index);
    void afterBlock(uint8_t kind, int ch);

    CoreState& s_;
    std::mt19937_64 rng_;
    std::array<int, KindCount> counts_{};
    int total_ = 0;
    std::array<int, 12> recent_{};
    double userPauseShare_ = 0.2;
    // EQ bypass kept outside the image, as the pages keep it: the gains saved by the bypass.
    std::array<std::array<int16_t, kBandCount>, kOutputCount> savedOutputGains_{};
    std::array<bool, kOutputCount> outputBypassed_{};
};

} // namespace velmar::soak
