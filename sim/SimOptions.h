// The velmar-sim command line.
#pragma once

#include "sim/SimFaultInjector.h"
#include "sim/SimModel.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmar {

struct SimOptions {
    std::optional<uint16_t> tcpPort; // --tcp PORT (0: any free port)
    bool pty = false;                // --pty (also implied by --link)
    std::string linkPath;            // --link PATH
    int baud = 19200;                // --baud N (0: unpaced)
    SimModel model = SimModel::In4Out8;
    int address = 1;
    std::string statePath;
    bool log = false;
    bool demoSetup = false; // --demo-setup: the named two-way programs instead of flat defaults
    uint64_t seed = 1;
    SimFaultConfig faults; // its seed is --seed
    bool help = false;

    struct Parsed {
        bool ok = false;
        std::string error; // one line, without the program name
    };
    // Parses argv[1..]; "--opt value" and "--opt=value" both work. On failure `ok` is false and the
    // options are partly filled.
    Parsed parse(int argc, const char* const* argv);

    static std::string usage();
};

} // namespace velmar
