// SoakRun: edits at user speed and faster, checkpoints, reconnection, and the run's line.
#include "SoakRun.h"

#include "EditDriver.h"

#include "core/Encoder.h"
#include "core/Scheduler.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace velmar::soak {

namespace {

// How long a user takes to click the message away and connect again.
constexpr int kReconnectDelayMs = 800;
constexpr int kSettleTimeoutMs = 20000;
constexpr int kQuietPolls = 4; // quiescent on this many polls 100 ms apart
// How long the connection dialog waits for the processor before the user connects again (the
// handshake's six sends take 9.6 s, and the dialog waits for them).
constexpr int kConnectGiveUpMs = 11000;

// At a link loss the app's image can be compared with the unit's only when no whole image was on its
// way: a program load or an import the unit may or may not have taken leaves nothing to compare.
bool ComparableAtLoss(const CoreState& s) {
    const SchedState p = s.scheduler.state;
    if (p == SchedState::ImageWrite) return false;
    if (p == SchedState::ProgramLoad && s.scheduler.p2 != 0) return false;
    return s.linkConfirmed == 2;
}

} // namespace

SoakRun::SoakRun(SoakOptions options) : m_options(std::move(options)) {}

int SoakRun::EditsFromEnv(int fallback) {
    const char* v = std::getenv("VELMAR_SOAK_EDITS");
    return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

uint64_t SoakRun::SeedFromEnv(uint64_t fallback) {
    const char* v = std::getenv("VELMAR_SOAK_SEED");
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

void SoakRun::Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (const char* path = std::getenv("VELMAR_SOAK_LOG")) {
        if (std::FILE* f = std::fopen(path, "a")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }
}

bool SoakRun::settle(SoakRig& rig, int timeoutMs) {
    int quiet = 0;
    QElapsedTimer last;
    return rig.spinUntil(
        [&] {
            // Counted once per 100 ms: a poll that comes sooner says nothing new.
            if (last.isValid() && last.elapsed() < 100) return false;
            last.start();
            quiet = rig.quiescent() ? quiet + 1 : 0;
            return quiet >= kQuietPolls;
        },
        timeoutMs);
}

SoakResult SoakRun::run() {
    const SoakOptions& o = m_options;
    SoakResult r;
    SoakRig rig(o.link, o.faults, o.baud);
    CoreState& s = rig.core();
    EditDriver driver(s, o.seed);
    driver.setUserPauseShare(o.userPauseShare);
    QElapsedTimer clock;
    clock.start();

    bool reconnecting = false;
    QElapsedTimer sinceConnect; // since the last connection attempt, while the image is not in place
    sinceConnect.start();
    rig.onLinkLost = [&] {
        if (ComparableAtLoss(s)) r.lostEdits += rig.differingUnits();
        reconnecting = true;
        QTimer::singleShot(kReconnectDelayMs, &rig, [&] {
            reconnecting = false;
            sinceConnect.start();
            rig.connectLink();
        });
    };

    rig.startClock();
    rig.connectLink();
    if (!rig.waitReady(15000) && std::getenv("VELMAR_SOAK_DEBUG")) {
        std::fprintf(stderr,
                     "not ready: connected %d confirmed %d pending %02X sent %llu received %llu sim in %llu "
                     "out %llu fed %llu\n",
                     s.linkConnected, s.linkConfirmed, static_cast<int>(s.scheduler.state),
                     static_cast<unsigned long long>(rig.framesSent),
                     static_cast<unsigned long long>(rig.framesReceived),
                     static_cast<unsigned long long>(rig.simFramesIn.load()),
                     static_cast<unsigned long long>(rig.simRepliesOut.load()),
                     static_cast<unsigned long long>(rig.bytesFed));
    }

    int sinceCheckpoint = 0;
    auto checkpoint = [&] {
        ++r.checkpoints;
        if (!settle(rig, kSettleTimeoutMs)) {
            ++r.checkpointsMissed;
            if (std::getenv("VELMAR_SOAK_DEBUG")) {
                std::fprintf(stderr,
                             "checkpoint not reached: connected %d confirmed %d pending %02X sent %d dirty "
                             "%d store %d\n",
                             s.linkConnected, s.linkConfirmed, static_cast<int>(s.scheduler.state), s.scheduler.sent,
                             AnyDirty(s), s.scheduler.storeProgram);
            }
            return;
        }
        const int differing = rig.differingUnits();
        if (differing > 0 && std::getenv("VELMAR_SOAK_DEBUG"))
            std::fprintf(stderr, "checkpoint %d: %d units differ after: %s\n  %s\n", r.checkpoints, differing,
                         driver.recent().c_str(), rig.describeDifferences().c_str());
        r.lostEdits += differing;
        r.storesLost += rig.storesLost();
        // The unit is brought level with the app, so the next checkpoint counts only new losses.
        rig.device().setImage(s.image);
    };

    while (driver.total() < o.edits && clock.elapsed() < o.maxSeconds * 1000LL) {
        if (!rig.ready() || reconnecting) {
            // The connection dialog gives up on a link whose processor has not answered, and the user
            // tries again: an abandoned handshake leaves the link open but the image never read.
            if (!reconnecting && sinceConnect.elapsed() > kConnectGiveUpMs) {
                ++r.connectRetries;
                rig.links().closeLink();
                sinceConnect.start();
                rig.connectLink();
            }
            rig.spinFor(50);
            continue;
        }
        sinceConnect.start();
        driver.edit();
        if (++sinceCheckpoint >= o.checkpointEvery) {
            sinceCheckpoint = 0;
            checkpoint();
            continue;
        }
        const int delay = driver.nextDelayMs();
        if (delay > 0) rig.spinFor(delay);
    }

    r.finalQuiescent = settle(rig, kSettleTimeoutMs);
    r.storesLost += rig.storesLost();
    r.finalDifferences = static_cast<int>(rig.differingBytes());
    r.finalUnits = rig.differingUnits();
    if (o.faults.dropFrames > 0 || o.faults.dropReplies > 0 || o.faults.corruptReplies > 0) {
        r.lostEdits += r.finalUnits;
    }
    rig.stopClock();
    rig.spinFor(200); // replies still on their way are counted

    r.edits = driver.total();
    r.edits_by_kind = driver.summary();
    r.framesSent = rig.framesSent;
    r.framesReceived = rig.framesReceived;
    r.lostToUnit = rig.simFramesDropped;
    r.lostFromUnit = rig.simRepliesDropped;
    r.corrupted = rig.simRepliesCorrupted;
    r.missedByUnit = rig.framesSent > rig.simFramesIn ? rig.framesSent - rig.simFramesIn : 0;
    const uint64_t delivered = rig.simRepliesOut - rig.simRepliesDropped - rig.simRepliesCorrupted;
    r.missedByApp = delivered > rig.framesReceived ? delivered - rig.framesReceived : 0;
    r.framesLost = r.lostToUnit + r.lostFromUnit + r.corrupted + r.missedByApp + r.missedByUnit;
    r.linkLosses = rig.linkLosses;
    r.storesChecked = rig.storesChecked;
    r.storesFailed = rig.storesFailed;
    r.verifyReads = rig.verifyReads;
    r.repairs = rig.repairs;
    r.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    r.longestStallMs = rig.watchdog().longestStallMs();

    char line[1024];
    std::snprintf(
        line, sizeof line,
        "soak %s %s seed %llu: edits %d, frames sent %llu, frames lost %llu (to unit %llu, from unit "
        "%llu, corrupted %llu, missed by app %llu, by unit %llu), link losses %d, differences %d "
        "(%d units; edits lost %d), stores %d (lost %d, not made %d), verify reads %d, fields repaired %d, "
        "connection retries %d, checkpoints %d (%d not reached), %.1f s, longest stall %.1f ms",
        LinkName(o.link), o.label.c_str(), static_cast<unsigned long long>(o.seed), r.edits,
        static_cast<unsigned long long>(r.framesSent), static_cast<unsigned long long>(r.framesLost),
        static_cast<unsigned long long>(r.lostToUnit), static_cast<unsigned long long>(r.lostFromUnit),
        static_cast<unsigned long long>(r.corrupted), static_cast<unsigned long long>(r.missedByApp),
        static_cast<unsigned long long>(r.missedByUnit), r.linkLosses, r.finalDifferences, r.finalUnits,
        r.lostEdits, r.storesChecked, r.storesLost, r.storesFailed, r.verifyReads, r.repairs, r.connectRetries,
        r.checkpoints, r.checkpointsMissed, r.seconds, r.longestStallMs);
    r.line = line;
    return r;
}

} // namespace velmar::soak
