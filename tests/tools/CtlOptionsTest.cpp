// The velmarctl command line: what each command takes, the link options, and what is a usage error.
#include "ctl/CtlOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmar::ctl {
namespace {

struct Outcome {
    CtlOptions options;
    CtlOptions::Parsed parsed;
};

Outcome Parse(const std::vector<const char*>& args) {
    std::vector<const char*> argv{"velmarctl"};
    argv.insert(argv.end(), args.begin(), args.end());
    Outcome o;
    o.parsed = o.options.parse(static_cast<int>(argv.size()), argv.data());
    return o;
}

TEST(CtlOptions, theLinkAddressAndFlagsComeBeforeOrAfterTheCommand) {
    const Outcome o = Parse({"--tcp", "127.0.0.1:8080", "--address=17", "get", "inA", "gain", "--json"});
    ASSERT_TRUE(o.parsed.ok) << o.parsed.error;
    EXPECT_EQ(o.options.link, LinkChoice::Tcp);
    EXPECT_EQ(o.options.tcpHost, "127.0.0.1");
    EXPECT_EQ(o.options.tcpPort, 8080);
    EXPECT_EQ(o.options.address, 17);
    EXPECT_TRUE(o.options.json);
    EXPECT_EQ(o.options.command, Command::Get);
    EXPECT_EQ(o.options.channel, "inA");
    EXPECT_EQ(o.options.field, "gain");

    const Outcome v6 = Parse({"--tcp=[::1]:9000", "info"});
    ASSERT_TRUE(v6.parsed.ok) << v6.parsed.error;
    EXPECT_EQ(v6.options.tcpHost, "::1");
    EXPECT_EQ(v6.options.tcpPort, 9000);

    const Outcome serial = Parse({"--serial", "ttyUSB0", "--trace", "meters", "--count", "5"});
    ASSERT_TRUE(serial.parsed.ok) << serial.parsed.error;
    EXPECT_EQ(serial.options.serialDevice, "ttyUSB0");
    EXPECT_TRUE(serial.options.trace);
    EXPECT_EQ(serial.options.count, 5);
    EXPECT_EQ(Parse({"--usb", "info"}).options.address, 1); // the default address
}

TEST(CtlOptions, negativeValuesAndSignsAreArgumentsNotOptions) {
    const Outcome gain = Parse({"--usb", "set", "out1", "gain", "-3.5"});
    ASSERT_TRUE(gain.parsed.ok) << gain.parsed.error;
    EXPECT_EQ(gain.options.value, "-3.5");
    EXPECT_EQ(Parse({"--usb", "set", "out1", "polarity", "-"}).options.value, "-");
    const Outcome name = Parse({"--usb", "program", "rename", "3", "--", "--odd--"});
    ASSERT_TRUE(name.parsed.ok) << name.parsed.error;
    EXPECT_EQ(name.options.name, "--odd--");
    EXPECT_EQ(name.options.program, 3);
}

TEST(CtlOptions, setTakesTriplesInOrderAndDiffAFile) {
    const Outcome o = Parse({"--usb", "--no-verify", "set", "out2", "peq3.gain", "+3", "inA", "gain", "-6"});
    ASSERT_TRUE(o.parsed.ok) << o.parsed.error;
    EXPECT_TRUE(o.options.noVerify);
    ASSERT_EQ(o.options.settings.size(), 2u);
    EXPECT_EQ(o.options.settings[1].channel, "inA");
    EXPECT_EQ(o.options.settings[1].field, "gain");
    EXPECT_EQ(o.options.settings[1].value, "-6");
    EXPECT_EQ(o.options.channel, "out2"); // the first triple
    EXPECT_FALSE(Parse({"--usb", "info"}).options.noVerify);
    const Outcome diff = Parse({"--usb", "--json", "diff", "show.vq"});
    ASSERT_TRUE(diff.parsed.ok) << diff.parsed.error;
    EXPECT_EQ(diff.options.command, Command::Diff);
    EXPECT_EQ(diff.options.file, "show.vq");
}

TEST(CtlOptions, curveNeedsNoLink) {
    const Outcome o = Parse({"curve", "a.vq", "geq-inB", "--filters"});
    ASSERT_TRUE(o.parsed.ok) << o.parsed.error;
    EXPECT_EQ(o.options.command, Command::Curve);
    EXPECT_EQ(o.options.file, "a.vq");
    EXPECT_EQ(o.options.channel, "geq-inB");
    EXPECT_TRUE(o.options.filters);
}

TEST(CtlOptions, helpAnywhereAsksForTheHelpText) {
    EXPECT_TRUE(Parse({"--tcp", "bad", "--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    const std::string help = CtlOptions::usage();
    for (const char* word : {"info",
                             "dump FILE",
                             "load FILE",
                             "get CHANNEL FIELD",
                             "set CHANNEL FIELD VALUE [CHANNEL FIELD VALUE ...]",
                             "diff FILE",
                             "--no-verify",
                             "program load N",
                             "program store N",
                             "program rename N NAME",
                             "meters [--count K]",
                             "curve FILE CHANNEL [--filters]",
                             "--tcp HOST:PORT",
                             "--serial DEVICE",
                             "--usb",
                             "--address N",
                             "--json",
                             "--trace",
                             "Data out of range",
                             "no link groups",
                             "Exit status",
                             "comp.ratio",
                             "geq<b>",
                             "xover-hp"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

TEST(CtlOptions, malformedCommandLinesAreUsageErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"info"},                                  // no link
        {"--tcp", "127.0.0.1:1", "--usb", "info"}, // two links
        {"--tcp", "127.0.0.1", "info"},            // no port
        {"--tcp", "127.0.0.1:0", "info"},
        {"--tcp", "127.0.0.1:65536", "info"},
        {"--tcp", ":8080", "info"},
        {"--tcp", "::1:8080", "info"}, // IPv6 without brackets
        {"--usb", "--address", "0", "info"},
        {"--usb", "--address", "251", "info"},
        {"--usb", "--address", "1x", "info"},
        {"--usb", "--json=1", "info"},
        {"--usb", "--bogus", "info"},
        {"--usb", "reboot"},
        {"--usb", "info", "extra"},
        {"--usb", "get", "inA"},
        {"--usb", "set", "inA", "gain"},
        {"--usb", "set", "inA", "gain", "1", "inB"},
        {"--usb", "set", "inA", "gain", "1", "inB", "gain"},
        {"--usb", "diff"},
        {"--usb", "diff", "a.vq", "b.vq"},
        {"--usb", "--no-verify=1", "info"},
        {"--usb", "program", "load", "0"},
        {"--usb", "program", "store", "13"},
        {"--usb", "program", "erase", "1"},
        {"--usb", "program", "rename", "1", "a name longer than15"},
        {"--usb", "program", "rename", "1", "tab\there"},
        {"--usb", "meters", "--count", "0"},
        {"--usb", "meters", "--count"},
        {"--usb", "get", "inA", "gain", "--count", "2"},
        {"--usb", "info", "--filters"},
        {"curve", "a.vq"},
    };
    for (const auto& args : bad) {
        const Outcome o = Parse(args);
        std::string line;
        for (const char* a : args) line += std::string(a) + " ";
        EXPECT_FALSE(o.parsed.ok) << line;
        EXPECT_FALSE(o.parsed.error.empty()) << line;
    }
    EXPECT_TRUE(Parse({"--usb", "program", "rename", "1", "exactly 15 char"}).parsed.ok);
    EXPECT_TRUE(Parse({"--usb", "program", "rename", "12", ""}).parsed.ok);
}

} // namespace
} // namespace velmar::ctl
