// The state file: round trip, refusal of damaged or foreign files, atomic replacement.
#include "sim/SimStateFile.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

using namespace velmar;

namespace {

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/velmar-sim-state-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() {
        if (DIR* d = ::opendir(path.c_str())) {
            while (dirent* e = ::readdir(d)) {
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                    ::unlink((path + "/" + e->d_name).c_str());
            }
            ::closedir(d);
        }
        ::rmdir(path.c_str());
    }
    int entries() const {
        int n = 0;
        if (DIR* d = ::opendir(path.c_str())) {
            while (dirent* e = ::readdir(d)) n += std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..");
            ::closedir(d);
        }
        return n;
    }
    std::string path;
};

SimDeviceState Sample() {
    SimDevice device;
    SimDeviceState s = device.state();
    s.image.outputs[4].gain = 123;
    s.currentProgram = 7;
    std::memcpy(s.names[7].data(), "CHURCH", 6);
    s.programs[6].inputs[2].delay = 999;
    return s;
}

} // namespace

TEST(SimStateFile, savedStateLoadsBackByteForByte) {
    TempDir dir;
    const std::string path = dir.path + "/unit.state";
    std::string error;
    ASSERT_TRUE(SimStateFile::save(path, Sample(), error)) << error;
    EXPECT_EQ(dir.entries(), 1); // no temporary file left behind
    SimDeviceState loaded;
    ASSERT_EQ(SimStateFile::load(path, loaded, error), SimStateFile::LoadResult::Loaded) << error;
    EXPECT_EQ(SimStateFile::serialise(loaded), SimStateFile::serialise(Sample()));

    // Saving again replaces the file in place.
    SimDeviceState changed = Sample();
    changed.currentProgram = 2;
    ASSERT_TRUE(SimStateFile::save(path, changed, error)) << error;
    ASSERT_EQ(SimStateFile::load(path, loaded, error), SimStateFile::LoadResult::Loaded);
    EXPECT_EQ(loaded.currentProgram, 2);
    EXPECT_EQ(dir.entries(), 1);
}

TEST(SimStateFile, aMissingFileIsReportedAsMissing) {
    TempDir dir;
    SimDeviceState s;
    std::string error;
    EXPECT_EQ(SimStateFile::load(dir.path + "/none", s, error), SimStateFile::LoadResult::Missing);
}

TEST(SimStateFile, damagedForeignOrTruncatedFilesAreRefusedAndLeaveTheStateAlone) {
    const auto good = SimStateFile::serialise(Sample());
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"one byte longer",
         [&] {
             auto b = good;
             b.push_back(0);
             return b;
         }()},
        {"a flipped payload byte",
         [&] {
             auto b = good;
             b[1000] ^= 1;
             return b;
         }()},
        {"another magic",
         [&] {
             auto b = good;
             b[0] = 'X';
             return b;
         }()},
        {"another version",
         [&] {
             auto b = good;
             b[8] = 2;
             return b;
         }()},
    };
    for (const auto& c : cases) {
        SimDeviceState s;
        s.currentProgram = 11;
        std::string error;
        EXPECT_FALSE(SimStateFile::deserialise(c.bytes, s, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(s.currentProgram, 11) << c.what;
    }
}

TEST(SimStateFile, aDeviceGivenALoadedStateClampsIt) {
    SimDeviceState s = Sample();
    s.image.inputs[0].gain = 999; // above 480: the clamp puts 360 back
    s.programs[0].outputs[0].routeMask = 0xFF;
    s.currentProgram = 40;
    SimDevice device;
    device.setState(s);
    EXPECT_EQ(device.image().inputs[0].gain, 360);
    EXPECT_EQ(device.storedProgram(1).outputs[0].routeMask, 0x0F);
    EXPECT_EQ(device.currentProgram(), 0);
}
