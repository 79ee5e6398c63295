// A machine whose every fact is fixed (version, processor, memory, desktop,
// display modes) on the manual clock, a started log in a fresh folder, and a
// framework that has never started, so that a whole start and end writes the
// same log every time.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/startup/framework_startup.h"
#include "framework/window/main_window.h"
#include "framework/window/window_mode.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/started_log_fixture.h"

namespace startuptest {

constexpr uint32_t kTimeStampBit = 1u << 4;
constexpr uint32_t kMmxBit = 1u << 23;
constexpr uint32_t kSseBit = 1u << 25;
constexpr uint32_t kSse2Bit = 1u << 26;

// Packs up to four characters into a register as CPUID returns them.
inline uint32_t Chars(const char* text) {
    uint32_t value = 0;
    std::memcpy(&value, text, std::strlen(text) < 4 ? std::strlen(text) : 4);
    return value;
}

// A processor "KilnTestCore" named "  Kiln Test Processor" with the given
// feature bits, its time-stamp counter at 2 GHz.
inline void UseTestProcessor(uint32_t featureBits, bool withName = true) {
    platform::CpuProfile& cpu = platform::Profile().cpu;
    cpu = platform::CpuProfile{};
    cpu.overridden = true;
    cpu.leaf0[0] = 1;
    cpu.leaf0[1] = Chars("Kiln");
    cpu.leaf0[3] = Chars("Test");
    cpu.leaf0[2] = Chars("Core");
    cpu.leaf1[3] = featureBits;
    if (withName) {
        cpu.extendedLeaf0[0] = 0x80000004u;
        const char name[49] = "  Kiln Test Processor";
        std::memcpy(cpu.nameLeaves, name, 48);
    }
    cpu.timeStampTicksPerSecond = 2000000000ull;
}

class StartupTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder_.hostPath();
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::Profile().display.desktopBitsPerPixel = 32;
        platform::Profile().display.totalPhysicalMemory = 512ull << 20;
        platform::Profile().display.availablePhysicalMemory = 256ull << 20;
        // Every clock read moves time on, so that the spins on the clock
        // (the processor speed, the display-change wait) end.
        platform::Profile().clock.advanceNanosecondsPerRead = 1000000;
        // No performance counter: the timer accuracy test would spin for a second.
        platform::Profile().clock.performanceFrequency = 0;
        // Without a display no OpenGL context can be had; start-up takes the
        // Direct3D path on the renderer that needs none.
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Cpu;
        platform::Profile().windows = platform::WindowsVersionProfile{};
        UseTestProcessor(kTimeStampBit | kMmxBit | kSseBit | kSse2Bit);
        ResetFramework();
    }

    void TearDown() override {
        EndFramework();
        ResetFramework();
        StartedLogTest::TearDown();
    }

    static void ResetFramework() {
        TermGraphicsSystem();
        MainWindow.settings = MainWindowSettings{};
        ResetMainWindowState();
        RequestedScreenMode = ScreenModeRequest{0, 0, 0, 0};
        SoftwareRenderOnlyFlag = 0;
        WindowsVersionCode = 0;
        CpuHasMmx = 0;
        CpuHasTimeStampCounter = 0;
        TimeStampTicksPerSecond = 0;
    }

};

}  // namespace startuptest
