// velmar-sim: the loudspeaker processor simulator on TCP and a pseudo-terminal.
#include "sim/SimDemoSetup.h"
#include "sim/SimDevice.h"
#include "sim/SimFrameLog.h"
#include "sim/SimOptions.h"
#include "sim/SimPtyEndpoint.h"
#include "sim/SimStateFile.h"
#include "sim/SimTcpEndpoint.h"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <mutex>

using namespace velmar;

namespace {

// stdout carries the machine-readable endpoint lines; every line is flushed at once for the scripts
// and tests that wait for it.
void PrintLine(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    const SimOptions::Parsed parsed = options.parse(argc, argv);
    if (options.help) {
        std::fputs(SimOptions::usage().c_str(), stdout);
        return 0;
    }
    if (!parsed.ok) {
        std::fprintf(stderr, "velmar-sim: %s\nTry 'velmar-sim --help' for the options.\n",
                     parsed.error.c_str());
        return 2;
    }

    // Signals are taken by sigwait() on this thread only: block them before any thread starts.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    SimDevice device({options.model, static_cast<uint8_t>(options.address), options.seed});
    if (options.demoSetup) {
        // Before the state file: a unit that has kept its own programs comes back with them.
        SimDeviceState state = device.state();
        std::string error;
        if (!ApplySimDemoSetup(state, error)) {
            std::fprintf(stderr, "velmar-sim: the demo setup is refused: %s\n", error.c_str());
            return 1;
        }
        device.setState(state);
        device.useDemoProgramme();
    }

    std::mutex stateMutex; // serialises saves of the state file
    auto saveState = [&] {
        if (options.statePath.empty()) return;
        std::lock_guard lock(stateMutex);
        std::string error;
        if (!SimStateFile::save(options.statePath, device.state(), error)) {
            std::fprintf(stderr, "velmar-sim: cannot save the state: %s\n", error.c_str());
        }
    };
    if (!options.statePath.empty()) {
        SimDeviceState state;
        std::string error;
        switch (SimStateFile::load(options.statePath, state, error)) {
        case SimStateFile::LoadResult::Loaded:
            device.setState(state);
            break;
        case SimStateFile::LoadResult::Missing:
            break; // written at the first store, rename or exit
        case SimStateFile::LoadResult::Invalid:
            // Never overwrite a file that is not ours or is damaged: the user decides.
            std::fprintf(stderr, "velmar-sim: %s; remove it or give another --state file\n", error.c_str());
            return 1;
        }
        device.setPersistentChangeHandler(saveState);
    }

    std::unique_ptr<SimFrameLog> log;
    if (options.log) log = std::make_unique<SimFrameLog>(stderr);

    std::unique_ptr<SimTcpEndpoint> tcp;
    std::unique_ptr<SimPtyEndpoint> pty;
    std::string error;
    if (options.tcpPort) {
        tcp = std::make_unique<SimTcpEndpoint>(device, options.faults, log.get());
        if (!tcp->start(*options.tcpPort, error)) {
            std::fprintf(stderr, "velmar-sim: TCP: %s\n", error.c_str());
            return 1;
        }
        PrintLine("tcp 127.0.0.1:" + std::to_string(tcp->port()));
    }
    if (options.pty) {
        pty = std::make_unique<SimPtyEndpoint>(device, options.faults, log.get(), options.baud);
        const std::string linkPath = options.linkPath;
        pty->setPathChangedHandler([linkPath](const std::string& path) {
            PrintLine("pty " + path);
            if (!linkPath.empty()) PrintLine("link " + linkPath);
        });
        if (!pty->start(options.linkPath, error)) {
            std::fprintf(stderr, "velmar-sim: pty: %s\n", error.c_str());
            return 1;
        }
        PrintLine("pty " + pty->slavePath());
        if (!options.linkPath.empty()) PrintLine("link " + options.linkPath);
    }
    PrintLine("ready");

    for (;;) {
        int sig = 0;
        if (sigwait(&signals, &sig) != 0) continue;
        if (sig == SIGUSR1 || sig == SIGUSR2) {
            const bool silent = sig == SIGUSR1;
            if (tcp) tcp->faults().setSilent(silent);
            if (pty) pty->faults().setSilent(silent);
            if (log) log->note("sim", silent ? "falling silent (SIGUSR1)" : "answering again (SIGUSR2)");
            continue;
        }
        break;
    }

    if (tcp) tcp->stop();
    if (pty) pty->stop();
    saveState();
    return 0;
}
