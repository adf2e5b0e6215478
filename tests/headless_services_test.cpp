// Log files, framework threads and the wave-out list of the headless platform.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/WinThread.h"
#include "tools/world/HeadlessPlatform.h"

namespace {

struct ServicesTest : ::testing::Test {
    sim::HeadlessPlatform machine{res::Lang::English, {10, 7, 0}, {5, 1}};
    std::string dir = ::testing::TempDir();

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string LastLine() const { return machine.transcript.Lines().back().text; }
};

TEST_F(ServicesTest, LogFilesGetCrLfLineEndsAndAreExclusive) {
    const std::string name = dir + "usb0.txt";
    const plat::Handle file = machine.files.Create(name);
    ASSERT_NE(file, plat::kNullHandle);
    EXPECT_EQ(LastLine(), "open " + name);
    EXPECT_EQ(machine.files.Create(name), plat::kNullHandle);  // held open: exclusive sharing
    EXPECT_EQ(LastLine(), "open-failed " + name);
    machine.files.WriteLine(file, "07:03 FindUSB");
    machine.files.WriteLine(file, "");
    machine.files.WriteLine(file, "07:04 two\nlines\n");  // inner line feeds as a text-mode file writes them
    machine.files.Close(file);
    EXPECT_EQ(LastLine(), "close " + name);
    EXPECT_EQ(Contents(name), "07:03 FindUSB\r\n\r\n07:04 two\r\nlines\r\n\r\n");
    // A new file of the same name starts empty.
    const plat::Handle again = machine.files.Create(name);
    machine.files.Close(again);
    EXPECT_EQ(Contents(name), "");
}

TEST_F(ServicesTest, AFileThatCannotBeCreatedTakesWritesWithoutHarm) {
    const plat::Handle file = machine.files.Create(dir + "no-such-dir/voip0.txt");
    EXPECT_EQ(file, plat::kNullHandle);
    machine.files.WriteLine(file, "lost");
    const std::size_t lines = machine.transcript.Lines().size();
    machine.files.Close(file);
    EXPECT_EQ(machine.transcript.Lines().size(), lines);  // nothing was open, nothing closes
}

class CountingThread : public plat::WinThread {
public:
    int starts = 0;
    bool InitInstance() override {
        ++starts;
        return true;
    }
};

TEST_F(ServicesTest, AThreadStartsOnceWhenResumedAndSuspendingDoesNotEndIt) {
    CountingThread thread;
    const plat::Handle handle = machine.threads.CreateSuspended(thread);
    ASSERT_NE(handle, plat::kNullHandle);
    EXPECT_EQ(thread.starts, 0);
    machine.threads.Resume(handle);
    EXPECT_EQ(thread.starts, 1);  // InitInstance has finished when Resume returns
    machine.threads.Suspend(handle);
    machine.threads.Resume(handle);
    EXPECT_EQ(thread.starts, 1);
    EXPECT_EQ(machine.threads.Find(handle)->suspendCount, 0);
    EXPECT_EQ(machine.threads.RunMessageLoop(), 0);
}

TEST_F(ServicesTest, TheBaseSoundDeviceComesAndGoesWithTheBase) {
    machine.waveOut.Add("Speakers");
    machine.PlugBase();
    machine.PlugBase();
    std::string name;
    ASSERT_EQ(machine.waveOut.DeviceCount(), 2u);
    ASSERT_TRUE(machine.waveOut.ProductName(1, name));
    EXPECT_EQ(name, "VA6 USB Audio");
    EXPECT_FALSE(machine.waveOut.ProductName(2, name));
    machine.UnplugBase();
    EXPECT_EQ(machine.waveOut.DeviceCount(), 1u);
    EXPECT_EQ(machine.hid.DeviceCount(), 1);  // the base is still known to the bus, only absent
}

}  // namespace
