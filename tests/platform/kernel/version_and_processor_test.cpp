#include <cstring>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

using VersionAndProcessorTest = testsupport::PlatformTest;

TEST_F(VersionAndProcessorTest, VersionComesFromTheProfileAndNeedsTheRightSize) {
    platform::Profile().windows = {1, 4, 10, 2222, "A"};
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, 1u);
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 10u);
    EXPECT_EQ(info.dwBuildNumber, 2222u);
    EXPECT_STREQ(info.szCSDVersion, "A");

    info.dwOSVersionInfoSize = sizeof(info) + 8;  // a larger structure this call does not know
    EXPECT_FALSE(GetVersionExA(&info));
}

TEST_F(VersionAndProcessorTest, OverlongServicePackTextIsCutAndTerminated) {
    platform::Profile().windows.servicePack = std::string(300, 'S');
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(std::strlen(info.szCSDVersion), sizeof(info.szCSDVersion) - 1);
}

TEST_F(VersionAndProcessorTest, OverriddenProcessorAnswersFromTheProfile) {
    platform::CpuProfile& cpu = platform::Profile().cpu;
    cpu.overridden = true;
    const uint32_t leaf0[4] = {1, 0x756E6547, 0x6C65746E, 0x49656E69};
    std::memcpy(cpu.leaf0, leaf0, sizeof(leaf0));
    cpu.leaf1[3] = 0x00800000;  // MMX
    cpu.extendedLeaf0[0] = 0x80000004;
    cpu.nameLeaves[2][0] = 0x12345678;

    EXPECT_TRUE(CpuIdentificationAvailable());
    DWORD registers[4] = {9, 9, 9, 9};
    CpuIdentify(0, registers);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(registers[i], leaf0[i]);
    CpuIdentify(1, registers);
    EXPECT_EQ(registers[3], 0x00800000u);
    CpuIdentify(0x80000004u, registers);
    EXPECT_EQ(registers[0], 0x12345678u);
    CpuIdentify(7, registers);  // a leaf the profile does not describe
    for (DWORD value : registers) EXPECT_EQ(value, 0u);

    cpu.identificationAvailable = false;
    EXPECT_FALSE(CpuIdentificationAvailable());
}

TEST_F(VersionAndProcessorTest, RealProcessorReportsAVendor) {
#if defined(__x86_64__) || defined(__i386__)
    ASSERT_TRUE(CpuIdentificationAvailable());
    DWORD registers[4] = {};
    CpuIdentify(0, registers);
    EXPECT_GE(registers[0], 1u);
    EXPECT_NE(registers[1], 0u);
    const ULONGLONG first = ReadTimeStampCounter();
    EXPECT_LT(first, ReadTimeStampCounter());
#else
    GTEST_SKIP() << "no identification instruction on this processor";
#endif
}

}  // namespace
