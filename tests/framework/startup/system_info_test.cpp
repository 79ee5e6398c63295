#include <gtest/gtest.h>

#include <string>

#include "platform/profile/machine_profile.h"
#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

using SystemInfoTest = StartupTest;

TEST_F(SystemInfoTest, EachWindowsVersionGetsItsNameAndCode) {
    struct Case {
        uint32_t platformId, major, minor, build;
        const char* servicePack;
        const char* osLine;
        int code;  // -1: unchanged
    };
    const Case cases[] = {
        {0, 3, 10, 0, "", "Windows3.1 ( Build 0  )", 0},
        {1, 4, 0, 950, "", "Windows95 ( Build 950  )", 1},
        {1, 4, 0, 1111, "C", "Windows95OSR2 ( Build 1111 C )", 1},
        {1, 4, 10, 1998, "", "Windows98 ( Build 1998  )", 2},
        {1, 4, 10, 2222, "A ", "Windows98SE ( Build 2222 A  )", 2},
        {1, 4, 90, 3000, "", "WindowsMe ( Build 3000  )", 3},
        {1, 4, 50, 1, "", "Windows ( Build 1  )", -1},
        {2, 3, 51, 1057, "", "WindowsNT 3.51 ( Build 1057  )", 0x104},
        {2, 4, 0, 1381, "Service Pack 6", "Windows4.0 ( Build 1381 Service Pack 6 )", 0x105},
        {2, 5, 0, 2195, "", "Windows2000 ( Build 2195  )", 0x106},
        {2, 5, 1, 2600, "Service Pack 3", "WindowsXP ( Build 2600 Service Pack 3 )", 0x107},
        {2, 6, 0, 6002, "Service Pack 2", "WindowsVista ( Build 6002 Service Pack 2 )", 0x108},
        {2, 6, 1, 7601, "Service Pack 1", "Windows7 ( Build 7601 Service Pack 1 )", 0x109},
        {2, 10, 0, 19045, "", "Windows ( Build 19045  )", -1},
        {2, 5, 2, 3790, "", "Windows ( Build 3790  )", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.osLine);
        platform::Profile().windows = platform::WindowsVersionProfile{c.platformId, c.major, c.minor, c.build,
                                                                      c.servicePack};
        WindowsVersionCode = 0x55;
        const size_t mark = LogText().size();
        EXPECT_EQ(LogSystemInfo(), 0);
        // Written in two pieces, one line.
        EXPECT_TRUE(Contains(LinesSince(mark), std::string("\tＯＳ  ") + c.osLine + "\r\n"));
        EXPECT_EQ(WindowsVersionCode, c.code == -1 ? 0x55 : c.code);
    }
}

TEST_F(SystemInfoTest, EachProcessorLevelGetsItsFeatureLines) {
    const std::string noCpuid = "\tＣＰＵＩＤ命令は使えません\r\n";
    const std::string noMmx = "\tＭＭＸは使えません\r\n";
    const std::string mmx = "\tＭＭＸ命令を使用します\r\n";
    const std::string sse = "\tＳＳＥ命令が使用可能です\r\n";
    const std::string sse2 = "\tＳＳＥ２命令が使用可能です\r\n";
    const std::string vendor = "\tＣＰＵベンダ：KilnTestCore\r\n";
    struct Case {
        bool cpuid;
        uint32_t features;
        std::string lines;
        int mmxFlag;
    };
    const Case cases[] = {
        {false, 0, noCpuid, 0},
        {true, 0, noMmx + vendor, 0},
        {true, kSseBit | kSse2Bit, noMmx + vendor, 0},  // SSE is only looked at with MMX
        {true, kMmxBit, mmx + vendor, 1},
        {true, kMmxBit | kSse2Bit, mmx + vendor, 1},
        {true, kMmxBit | kSseBit, mmx + sse + vendor, 1},
        {true, kMmxBit | kSseBit | kSse2Bit, mmx + sse + sse2 + vendor, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        UseTestProcessor(c.features, false);
        platform::Profile().cpu.identificationAvailable = c.cpuid;
        CpuHasMmx = 1 - c.mmxFlag;
        const size_t mark = LogText().size();
        LogSystemInfo();
        const std::string lines = LinesSince(mark);
        const size_t timerLineEnd = lines.find(" )\r\n") + 4;
        EXPECT_EQ(lines.substr(timerLineEnd), c.lines);
        EXPECT_EQ(CpuHasMmx, c.mmxFlag);
        EXPECT_EQ(CpuHasTimeStampCounter, 0);
    }
}

TEST_F(SystemInfoTest, TheTimeStampCounterIsTimedOver100MillisecondsAndTheNameLogged) {
    UseTestProcessor(kTimeStampBit | kMmxBit);
    const size_t mark = LogText().size();
    LogSystemInfo();
    const std::string lines = LinesSince(mark);
    EXPECT_EQ(CpuHasTimeStampCounter, 1);
    // Each clock read moves the manual clock by 1 ms: the 2 GHz counter is
    // read over 102 ms (the start read, the start time, the 100 ms and the
    // end read).
    EXPECT_EQ(TimeStampTicksPerSecond, 2040000000ull);
    EXPECT_TRUE(Contains(lines, "\tＣＰＵ動作速度：大体2.04GHz\r\n")) << lines;
    EXPECT_TRUE(Contains(lines, "\tＣＰＵ名：  Kiln Test Processor\r\n"));
    EXPECT_LT(lines.find("ＣＰＵ動作速度"), lines.find("ＭＭＸ命令を使用します"));
    EXPECT_EQ(LogIndentDepth, 0);
}

TEST_F(SystemInfoTest, WithoutATimeStampCounterNoSpeedIsMeasured) {
    UseTestProcessor(kMmxBit);
    TimeStampTicksPerSecond = 0;
    const size_t mark = LogText().size();
    LogSystemInfo();
    EXPECT_FALSE(Contains(LinesSince(mark), "ＣＰＵ動作速度"));
    EXPECT_EQ(TimeStampTicksPerSecond, 0u);
}

}  // namespace
}  // namespace startuptest
