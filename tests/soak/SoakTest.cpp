// The lossy-link soak: random edits of every kind over TCP and over a pseudo-terminal to the simulated
// processor. Without drops the unit's memory must equal the image byte for byte; with drops and
// corruption too, once verify and repair has done its work. Each run prints one line.
//
// The ctest runs are short; a longer run is chosen by hand, e.g.
//   VELMAR_SOAK_EDITS=10000 VELMAR_SOAK_SEED=7 build/tests/soak/soak_tests
//   --gtest_filter='*overTcpWithoutDrops*'
#include "EditDriver.h"
#include "SoakRun.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

namespace velmar::soak {
namespace {

// Replies split, late and noisy, but every frame arrives.
SimFaultConfig Clean(uint64_t seed) {
    SimFaultConfig f;
    f.seed = seed;
    f.splitReplies = 0.3;
    f.splitGapMs = 3;
    f.noise = 0.2;
    f.noiseBytes = 6;
    f.delayMs = 5;
    f.delayJitterMs = 25;
    return f;
}

// The same with 10 % of the frames lost each way and 2 % of the replies corrupted.
SimFaultConfig Lossy(uint64_t seed) {
    SimFaultConfig f = Clean(seed);
    f.dropFrames = 0.10;
    f.dropReplies = 0.10;
    f.corruptReplies = 0.02;
    return f;
}

SoakResult RunSoak(SoakLink link, bool lossy, int edits, uint64_t seed) {
    SoakOptions o;
    o.link = link;
    o.seed = SoakRun::SeedFromEnv(seed);
    o.faults = lossy ? Lossy(o.seed) : Clean(o.seed);
    o.edits = SoakRun::EditsFromEnv(edits);
    o.label = lossy ? "lossy" : "clean";
    // The short runs of the test suite pause less often than a user; a run by hand keeps the user's pace.
    o.userPauseShare = std::getenv("VELMAR_SOAK_EDITS") ? 0.2 : 0.06;
    o.maxSeconds = o.edits / 2 + 60;
    if (const char* every = std::getenv("VELMAR_SOAK_CHECKPOINT"))
        o.checkpointEvery = std::max(1, std::atoi(every));
    SoakResult r = SoakRun(o).run();
    SoakRun::Report(r.line);
    SoakRun::Report("  edits by kind: " + r.edits_by_kind);
    return r;
}

TEST(Soak, overTcpWithoutDropsTheUnitsMemoryEqualsTheImageByteForByte) {
    const SoakResult r = RunSoak(SoakLink::Tcp, false, 250, 11);
    EXPECT_TRUE(r.finalQuiescent);
    EXPECT_EQ(0, r.finalDifferences);
    EXPECT_EQ(0, r.lostEdits) << "a checkpoint found a difference";
    EXPECT_EQ(0, r.checkpointsMissed);
    EXPECT_GT(r.framesSent, static_cast<uint64_t>(r.edits));
}

TEST(Soak, overAPtyAt19200WithoutDropsTheUnitsMemoryEqualsTheImageByteForByte) {
    const SoakResult r = RunSoak(SoakLink::Pty, false, 120, 12);
    EXPECT_TRUE(r.finalQuiescent);
    EXPECT_EQ(0, r.finalDifferences);
    EXPECT_EQ(0, r.lostEdits) << "a checkpoint found a difference";
    EXPECT_EQ(0, r.checkpointsMissed);
}

// With 10 % of the frames lost each way and 2 % of the replies corrupted, verify and repair finds every
// write the unit did not take: at each checkpoint, once the repair has finished, the unit holds every
// edit, and every store the unit answered holds the image it was asked to keep.
void ExpectNothingLost(const SoakResult& r, int edits) {
    EXPECT_EQ(edits, r.edits);
    EXPECT_GT(r.lostToUnit + r.lostFromUnit, 0u) << "the faults were not applied";
    EXPECT_TRUE(r.finalQuiescent);
    EXPECT_EQ(0, r.lostEdits);
    EXPECT_EQ(0, r.finalDifferences);
    EXPECT_EQ(0, r.storesLost);
    EXPECT_EQ(0, r.checkpointsMissed);
    EXPECT_GT(r.verifyReads, 0);
}

TEST(Soak, overTcpWithDropsAndCorruptionNoEditIsLost) {
    const SoakResult r = RunSoak(SoakLink::Tcp, true, 200, 13);
    ExpectNothingLost(r, SoakRun::EditsFromEnv(200));
}

TEST(Soak, overAPtyWithDropsAndCorruptionNoEditIsLost) {
    const SoakResult r = RunSoak(SoakLink::Pty, true, 80, 14);
    ExpectNothingLost(r, SoakRun::EditsFromEnv(80));
}

// The unit's own front panel changes output gains while the PC edits its inputs over the lossy link:
// every change made at the unit shows in the application's image within one idle verify period (plus
// the read's retries), and the unit ends holding every edit of the PC.
TEST(Soak, valuesChangedAtTheUnitShowWithinOneVerifyPeriodAndNoEditOfThePcIsUndone) {
    const uint64_t seed = SoakRun::SeedFromEnv(15);
    const int changes = std::max(4, SoakRun::EditsFromEnv(12));
    SoakRig rig(SoakLink::Tcp, Lossy(seed));
    CoreState& s = rig.core();
    EditDriver driver(s, seed);
    std::mt19937_64 rng(seed);
    rig.startClock();
    rig.connectLink();
    ASSERT_TRUE(rig.waitReady(20000));

    QTimer pcEdits;
    pcEdits.setInterval(300);
    QObject::connect(&pcEdits, &QTimer::timeout, [&] {
        if (rig.ready()) driver.edit(EditDriver::InputUnit);
    });
    pcEdits.start();

    const int periodMs = SoakRig::VerifyPeriodTicks() * 100;
    const int limitMs = periodMs + 4000; // a period, plus the read's retries on the lossy line
    int shown = 0, latest = 0;
    for (int i = 0; i < changes; ++i) {
        const int out = static_cast<int>(rng() % kOutputCount);
        DeviceImage unit = rig.device().image();
        int16_t gain = static_cast<int16_t>(rng() % 481);
        if (gain == unit.outputs[out].gain) gain = static_cast<int16_t>((gain + 40) % 481);
        unit.outputs[out].gain = gain;
        rig.device().setImage(unit);
        QElapsedTimer t;
        t.start();
        if (rig.spinUntil([&] { return s.image.outputs[out].gain == gain; }, limitMs)) {
            ++shown;
            latest = std::max(latest, static_cast<int>(t.elapsed()));
        }
        rig.spinFor(static_cast<int>(rng() % 1500));
    }
    pcEdits.stop();
    int quiet = 0;
    const bool settled = rig.spinUntil(
        [&] {
            quiet = rig.quiescent() ? quiet + 1 : 0;
            return quiet > 20;
        },
        30000);
    SoakRun::Report("soak tcp front panel seed " + std::to_string(seed) + ": changes at the unit " +
                    std::to_string(changes) + ", shown " + std::to_string(shown) + ", latest after " +
                    std::to_string(latest) + " ms (period " + std::to_string(periodMs) + " ms), edits by the PC " +
                    std::to_string(driver.total()) + ", differences " + std::to_string(rig.differingBytes()) +
                    ", values taken from the unit " + std::to_string(rig.processorChangedFields));
    EXPECT_EQ(changes, shown);
    EXPECT_TRUE(settled);
    EXPECT_EQ(0u, rig.differingBytes()) << rig.describeDifferences();
    EXPECT_GE(rig.processorChangedFields, changes);
}

} // namespace
} // namespace velmar::soak
