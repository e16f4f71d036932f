// The command line: every option parsed, every mistake refused with a clear message.
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmar;

namespace {

SimOptions::Parsed Parse(std::vector<const char*> args, SimOptions& o) {
    args.insert(args.begin(), "velmar-sim");
    return o.parse(static_cast<int>(args.size()), args.data());
}

} // namespace

TEST(SimOptions, parsesEveryOptionInBothForms) {
    SimOptions o;
    const auto r = Parse({"--tcp",
                          "0",
                          "--link=/tmp/ttyVM",
                          "--baud",
                          "9600",
                          "--model",
                          "2x6",
                          "--address=17",
                          "--state",
                          "/tmp/s",
                          "--log",
                          "--seed",
                          "18446744073709551615",
                          "--drop-frames",
                          "0.1",
                          "--drop-replies=0.2",
                          "--corrupt-replies",
                          "0.02",
                          "--split-replies",
                          "1",
                          "--split-gap",
                          "3",
                          "--noise",
                          "0.5",
                          "--noise-bytes",
                          "4",
                          "--delay",
                          "20",
                          "--delay-jitter",
                          "5",
                          "--silent-after",
                          "0",
                          "--close-after",
                          "9"},
                         o);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(o.tcpPort, 0);
    EXPECT_TRUE(o.pty); // implied by --link
    EXPECT_EQ(o.linkPath, "/tmp/ttyVM");
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.model, SimModel::In2Out6);
    EXPECT_EQ(o.address, 17);
    EXPECT_EQ(o.statePath, "/tmp/s");
    EXPECT_TRUE(o.log);
    EXPECT_EQ(o.seed, 18446744073709551615ull);
    EXPECT_EQ(o.faults.seed, o.seed);
    EXPECT_DOUBLE_EQ(o.faults.dropFrames, 0.1);
    EXPECT_DOUBLE_EQ(o.faults.dropReplies, 0.2);
    EXPECT_DOUBLE_EQ(o.faults.corruptReplies, 0.02);
    EXPECT_DOUBLE_EQ(o.faults.splitReplies, 1);
    EXPECT_EQ(o.faults.splitGapMs, 3);
    EXPECT_DOUBLE_EQ(o.faults.noise, 0.5);
    EXPECT_EQ(o.faults.noiseBytes, 4);
    EXPECT_EQ(o.faults.delayMs, 20);
    EXPECT_EQ(o.faults.delayJitterMs, 5);
    EXPECT_EQ(o.faults.silentAfterFrames, 0);
    EXPECT_EQ(o.faults.closeAfterFrames, 9);
}

TEST(SimOptions, defaultsAreA4x8UnitAtAddress1On19200BaudWithoutFaults) {
    SimOptions o;
    ASSERT_TRUE(Parse({"--pty"}, o).ok);
    EXPECT_FALSE(o.tcpPort);
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.model, SimModel::In4Out8);
    EXPECT_EQ(o.address, 1);
    EXPECT_FALSE(o.log);
    EXPECT_FALSE(o.faults.any());
}

TEST(SimOptions, mistakesAreRefusedWithAMessageNamingTheOption) {
    const struct {
        std::vector<const char*> args;
        const char* message;
    } cases[] = {
        {{}, "nothing to listen on: give --tcp PORT and/or --pty"},
        {{"--tcp"}, "--tcp: missing value"},
        {{"--tcp", "65536"}, "--tcp: expected a whole number from 0 to 65535, got '65536'"},
        {{"--tcp", "80x"}, "--tcp: expected a whole number from 0 to 65535, got '80x'"},
        {{"--pty", "--address", "0"}, "--address: expected a whole number from 1 to 250, got '0'"},
        {{"--pty", "--address", "251"}, "--address: expected a whole number from 1 to 250, got '251'"},
        {{"--pty", "--model", "8x8"}, "--model: expected 2x4, 2x6, 3x6, 4x6 or 4x8, got '8x8'"},
        {{"--pty", "--baud", "-1"}, "--baud: expected a whole number from 0 to 4000000, got '-1'"},
        {{"--pty", "--drop-frames", "1.5"}, "--drop-frames: expected a fraction from 0 to 1, got '1.5'"},
        {{"--pty", "--noise", "x"}, "--noise: expected a fraction from 0 to 1, got 'x'"},
        {{"--pty", "--close-after", "0"},
         "--close-after: expected a whole number from 1 to 2000000000, got '0'"},
        {{"--pty", "--seed", "-3"},
         "--seed: expected a whole number from 0 to 18446744073709551615, got '-3'"},
        {{"--pty", "--link="}, "--link: expected a path"},
        {{"--pty", "--verbose"}, "unknown option '--verbose'"},
        {{"--pty", "--log=yes"}, "--log takes no value"},
        {{"--pty", "tcp"}, "unknown option 'tcp'"},
    };
    for (const auto& c : cases) {
        SimOptions o;
        const auto r = Parse(c.args, o);
        EXPECT_FALSE(r.ok) << c.message;
        EXPECT_EQ(r.error, c.message);
    }
}

TEST(SimOptions, helpNeedsNoEndpointAndDocumentsEveryOption) {
    SimOptions o;
    ASSERT_TRUE(Parse({"--help"}, o).ok);
    EXPECT_TRUE(o.help);
    const std::string usage = SimOptions::usage();
    for (const char* option : {"--tcp PORT",
                               "--pty",
                               "--link PATH",
                               "--baud N",
                               "--model MODEL",
                               "--address N",
                               "--state FILE",
                               "--seed N",
                               "--log",
                               "--drop-frames F",
                               "--drop-replies F",
                               "--corrupt-replies F",
                               "--split-replies F",
                               "--split-gap MS",
                               "--noise F",
                               "--noise-bytes N",
                               "--delay MS",
                               "--delay-jitter MS",
                               "--silent-after N",
                               "--close-after N",
                               "--help",
                               "SIGUSR1",
                               "SIGUSR2"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}
