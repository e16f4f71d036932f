// The velmarctl command line: the link, the global options, the command and its arguments, the help text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmar::ctl {

enum class LinkChoice : uint8_t { None, Tcp, Serial, Usb };

enum class Command : uint8_t {
    None,
    Info,
    Dump,
    Load,
    Get,
    Set,
    ProgramLoad,
    ProgramStore,
    ProgramRename,
    Meters,
    Curve,
    Diff,
};

// One "CHANNEL FIELD VALUE" of set, as typed (checked when the command runs).
struct FieldSetting {
    std::string channel;
    std::string field;
    std::string value;
};

struct CtlOptions {
    LinkChoice link = LinkChoice::None;
    std::string tcpHost; // without brackets for an IPv6 literal
    uint16_t tcpPort = 0;
    std::string serialDevice;
    int address = 1;
    bool json = false;
    bool trace = false;
    bool help = false;
    bool noVerify = false; // no periodic verify read (set still confirms its writes with one)

    Command command = Command::None;
    std::string file;    // dump, load, curve, diff
    std::string channel; // get, set, curve (checked when the command runs)
    std::string field;   // get, set
    std::string value;   // set
    // set: every triple in the order given. channel, field and value above hold the first one; a caller
    // that fills only those sets that one field.
    std::vector<FieldSetting> settings;
    int program = 0;      // program load/store/rename, 1..12
    std::string name;     // program rename
    int count = 1;        // meters
    bool filters = false; // curve

    struct Parsed {
        bool ok = false;
        std::string error; // one line, without the program name
    };
    // Parses argv[1..]. "--opt value" and "--opt=value" both work for the options before the command.
    // --help anywhere asks for the help text and ends parsing successfully.
    Parsed parse(int argc, const char* const* argv);

    static std::string usage();
};

} // namespace velmar::ctl
