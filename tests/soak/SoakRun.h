// SoakRun: one soak — thousands of random edits over a real link to the simulated processor with
// faults, reconnecting after link losses, and the comparison of both memories.
#pragma once

#include "SoakRig.h"

#include <cstdint>
#include <string>

namespace velmar::soak {

struct SoakOptions {
    SoakLink link = SoakLink::Tcp;
    SimFaultConfig faults;
    int edits = 300;
    uint64_t seed = 1;
    int baud = 19200;            // pty pacing
    int checkpointEvery = 40;    // edits between two comparisons
    double userPauseShare = 0.2; // edits followed by a user's pause rather than a drag's pace or none
    int maxSeconds = 600;        // the run stops making edits after this long
    std::string label;           // "clean" or "lossy", for the line
};

struct SoakResult {
    int edits = 0;
    uint64_t framesSent = 0, framesReceived = 0;
    uint64_t framesLost = 0; // dropped or corrupted on the way plus frames a receiver never took
    uint64_t lostToUnit = 0, lostFromUnit = 0, corrupted = 0, missedByApp = 0, missedByUnit = 0;
    int linkLosses = 0;
    int checkpoints = 0, checkpointsMissed = 0;
    int connectRetries = 0; // connections given up because the image never arrived
    // Units that differed at the checkpoints and at link losses (edits the protocol lost), and the
    // differences left at the end after the final wait.
    int lostEdits = 0;
    int storesChecked = 0, storesLost = 0, storesFailed = 0; // stores answered, lost in the unit, not made
    int verifyReads = 0, repairs = 0;                         // compare reads answered, fields sent again
    int finalDifferences = 0; // bytes
    int finalUnits = 0;
    bool finalQuiescent = false;
    double seconds = 0, longestStallMs = 0;
    std::string edits_by_kind;
    std::string line;
};

// Runs on a thread with a Qt event loop (the rig's spins run it).
class SoakRun {
public:
    explicit SoakRun(SoakOptions options);
    SoakResult run();

    // Options from the environment for the longer runs by hand: VELMAR_SOAK_EDITS, VELMAR_SOAK_SEED,
    // VELMAR_SOAK_LOG (a file the lines are appended to).
    static int EditsFromEnv(int fallback);
    static uint64_t SeedFromEnv(uint64_t fallback);
    static void Report(const std::string& line);

private:
    // Waits for every edit to reach the wire and be answered; false after timeoutMs.
    bool settle(SoakRig& rig, int timeoutMs);

    SoakOptions m_options;
};

} // namespace velmar::soak
