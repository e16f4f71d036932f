// Fuzz target: a program file through the application's import (ProgramFile). The input is written as
// the file; the import reads its first 1600 bytes into importImage and the image, clamps, rebuilds the
// curves and queues the image write. A file shorter than 1600 bytes is refused and changes nothing.
// The export of what was imported, imported again, must change nothing.
#include "FuzzSupport.h"

#include "core/Image.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "ui/app/ProgramFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

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

// A folder of its own for the files of this process, removed at exit.
const std::string& Folder() {
    static const std::string folder = [] {
        // In memory where the machine has it: an export's commit syncs the file, and on a busy disk
        // one sync can stall for longer than the fuzzer's time-out for an input.
        std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/velmar-fuzz-import-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        VELMAR_FUZZ_CHECK(made != nullptr);
        std::string f = made;
        static std::string removeAtExit = f;
        std::atexit([] {
            std::remove((removeAtExit + "/in.vq").c_str());
            std::remove((removeAtExit + "/out.vq").c_str());
            ::rmdir(removeAtExit.c_str());
        });
        return f;
    }();
    return folder;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    VELMAR_FUZZ_CHECK(f != nullptr);
    VELMAR_FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);
}

Bytes ReadFile(const std::string& path) {
    Bytes out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    VELMAR_FUZZ_CHECK(f != nullptr);
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

CoreState& Shared() {
    // The curve sets are global and built once, as at application start; the import rebuilds them
    // through the imageReplaced hook, as in the application.
    static CoreState* s = [] {
        auto* state = new CoreState;
        InitCoreState(*state);
        BuildCurveSets(*state);
        InstallCurveSetHooks(*state);
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
    s.scheduler.state = SchedState::Idle;
    const DeviceImage before = s.image;
    const DeviceImage importBefore = s.importImage;

    const std::string in = Folder() + "/in.vq";
    WriteFile(in, data, size);
    ProgramFile files(QString::fromStdString(Folder()));
    const ProgramFile::Result result = files.importImage(s, QString::fromStdString(in));
    if (size < kImageSize) {
        // A short file is refused whole: nothing of it reaches the image or importImage.
        VELMAR_FUZZ_CHECK(result == ProgramFile::Result::ReadError);
        VELMAR_FUZZ_CHECK(std::memcmp(&s.image, &before, kImageSize) == 0);
        VELMAR_FUZZ_CHECK(std::memcmp(&s.importImage, &importBefore, kImageSize) == 0);
        VELMAR_FUZZ_CHECK(s.scheduler.state == SchedState::Idle);
        return 0;
    }
    VELMAR_FUZZ_CHECK(result == ProgramFile::Result::Ok);

    // importImage keeps the first 1600 bytes as read; the image holds them clamped.
    VELMAR_FUZZ_CHECK(std::memcmp(&s.importImage, data, kImageSize) == 0);
    DeviceImage want;
    std::memcpy(&want, data, kImageSize);
    ClampImage(want);
    VELMAR_FUZZ_CHECK(std::memcmp(&want, &s.image, kImageSize) == 0);
    VELMAR_FUZZ_CHECK(Clamped(s.image));

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

    // Export then import: the file holds the image and reading it back changes nothing.
    const std::string out = Folder() + "/out.vq";
    const DeviceImage imported = s.image;
    VELMAR_FUZZ_CHECK(files.exportImage(s, QString::fromStdString(out)) == ProgramFile::Result::Ok);
    const Bytes written = ReadFile(out);
    VELMAR_FUZZ_CHECK(written.size() == kImageSize &&
                      std::memcmp(written.data(), &imported, kImageSize) == 0);
    VELMAR_FUZZ_CHECK(files.importImage(s, QString::fromStdString(out)) == ProgramFile::Result::Ok);
    VELMAR_FUZZ_CHECK(std::memcmp(&s.image, &imported, kImageSize) == 0);
    return 0;
}
