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

    Command command = Command::None;
    std::string file;     // dump, load, curve
    std::string channel;  // get, set, curve (checked when the command runs)
    std::string field;    // get, set
    std::string value;    // set
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
