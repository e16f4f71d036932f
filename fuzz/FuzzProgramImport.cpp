// Fuzz target: a program file as the import takes it. The input is the file: its first 1600 bytes go
// into importImage and the DeviceImage, then ClampImage, RefreshAllCurveSets and the image write. A
// shorter file stops after the bytes it has, as a failed read does.
#include "FuzzSupport.h"

#include "core/Image.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"

#include <cmath>
#include <memory>

namespace velmar::fuzz {
namespace {

// What ClampImage promises about every field it looks at.
bool Clamped(const DeviceImage& image) {
    auto bandOk = [](const PeqBand& b) {
        return b.freq >= 20 && b.freq <= 20000 && b.gain <= 400 && b.q <= 295 && b.shelfSlope <= 1 &&
               b.type <= 2;
    };
    for (const InputBlock& in : image.inputs) {
        if (in.soundOn > 1 || in.polarity > 1 || in.gain > 480 || in.delay > 1466 || in.gateThreshold > 120)
            return false;
        for (const PeqBand& b : in.peq)
            if (!bandOk(b)) return false;
    }
    for (const OutputBlock& out : image.outputs) {
        if (out.soundOn > 1 || out.polarity > 1 || out.gain > 480 || out.delay > 1466) return false;
        for (const PeqBand& b : out.peq)
            if (!bandOk(b)) return false;
    }
    return true;
}

// Bands are clamped to frequencies 20..20000 Hz, so their responses are numbers whatever their gain and
// Q bytes say. Crossover corners are not clamped (a corner of 0 Hz has no finite response); the drawing
// holds such values at the edge, so only the label is asked of them.
void CheckSet(CKTVEQ& set) {
    set.ComputeSum();
    for (int i = 0; i < set.Count(); ++i) {
        CFilter& f = set.Filter(i);
        if (i < set.BandCount()) {
            for (double db : f.Response()) VELMAR_FUZZ_CHECK(std::isfinite(db));
            VELMAR_FUZZ_CHECK(std::isfinite(f.Bandwidth()) && std::isfinite(f.DisplayedQ()));
        }
        VELMAR_FUZZ_CHECK(!f.Label().empty());
    }
}

CoreState& Shared() {
    // The curve sets are global and built once, as at application start.
    static CoreState* s = [] {
        auto* state = new CoreState;
        InitCoreState(*state);
        BuildCurveSets(*state);
        for (auto& set : inputEqCurves) set.SetPlotSize(Rect{35, 10, 1063, 320});
        for (auto& set : inputGeqCurves) set.SetPlotSize(Rect{35, 10, 1063, 320});
        for (auto& set : outputEqCurves) set.SetPlotSize(Rect{35, 10, 1063, 320});
        return state;
    }();
    return *s;
}

} // namespace
} // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmar;
    using namespace velmar::fuzz;
    CoreState& s = Shared();
    InitCoreState(s);
    s.linkConnected = 1;
    s.deviceAddress = 1;
    s.linkConfirmed = 2;
    s.scheduler.pending = kCmdHeartbeat;
    const DeviceImage before = s.image;

    const size_t n = std::min(size, kImageSize);
    std::memcpy(&s.importImage, data, n);
    std::memcpy(&s.image, data, n);
    if (n < kImageSize) {
        // The read failed at the end of the data: nothing after it runs.
        VELMAR_FUZZ_CHECK(std::memcmp(reinterpret_cast<const uint8_t*>(&s.image) + n,
                                      reinterpret_cast<const uint8_t*>(&before) + n, kImageSize - n) == 0);
        return 0;
    }
    ClampImage(s.image);
    RefreshAllCurveSets(s);
    QueueImageWrite(s, 0);

    // importImage keeps the bytes as read; the image holds them clamped, and clamping again (an export
    // followed by an import) changes nothing.
    VELMAR_FUZZ_CHECK(std::memcmp(&s.importImage, data, kImageSize) == 0);
    VELMAR_FUZZ_CHECK(Clamped(s.image));
    DeviceImage again = s.image;
    ClampImage(again);
    VELMAR_FUZZ_CHECK(std::memcmp(&again, &s.image, kImageSize) == 0);

    for (auto& set : inputEqCurves) CheckSet(set);
    for (auto& set : inputGeqCurves) CheckSet(set);
    for (auto& set : outputEqCurves) CheckSet(set);

    // The next tick sends importImage, byte for byte, as one valid 1614-byte frame.
    Bytes sent;
    s.hooks.writeFrame = [&](const uint8_t* f, size_t len) { sent.assign(f, f + len); };
    SchedulerTick(s);
    s.hooks.writeFrame = nullptr;
    VELMAR_FUZZ_CHECK(sent.size() == kImageSize + kFrameOverhead);
    VELMAR_FUZZ_CHECK(WireFrameValid(sent.data(), sent.size()));
    VELMAR_FUZZ_CHECK(sent[5] == kCmdImageWrite);
    VELMAR_FUZZ_CHECK(std::memcmp(sent.data() + 12, data, kImageSize) == 0);
    return 0;
}
