// The system report of start-up: the Windows version (and the code the rest
// of the framework tests against), the timer resolution, the processor's
// features, vendor, name and speed.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/base/format_text.h"
#include "framework/startup/framework_startup.h"
#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/base/time_functions.h"
#include "platform/platform.h"

namespace {

constexpr DWORD kTimeStampCounterBit = 1u << 4;
constexpr DWORD kMmxBit = 1u << 23;
constexpr DWORD kSseBit = 1u << 25;
constexpr DWORD kSse2Bit = 1u << 26;

// The text after "Windows" for the running version; sets WindowsVersionCode
// for the versions the framework knows and leaves it alone otherwise.
void NameWindowsVersion(const OSVERSIONINFOA& version, char* name, size_t size) {
    const char* suffix = "";
    const char* extra = "";
    int code = -1;
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    const char servicePackFirst = version.szCSDVersion[0];
    switch (version.dwPlatformId) {
        case VER_PLATFORM_WIN32s:
            suffix = "3.1";
            code = 0;
            break;
        case VER_PLATFORM_WIN32_WINDOWS:
            if (minor == 0) {
                suffix = "95";
                if (servicePackFirst == 'C') extra = "OSR2";
                code = 1;
            } else if (minor == 10) {
                suffix = "98";
                if (servicePackFirst == 'A') extra = "SE";
                code = 2;
            } else if (minor == 90) {
                suffix = "Me";
                code = 3;
            }
            break;
        case VER_PLATFORM_WIN32_NT:
            if (major == 3) {
                suffix = "NT 3.51";
                code = 0x104;
            } else if (major == 4) {
                suffix = "4.0";
                code = 0x105;
            } else if (major == 5 && minor == 0) {
                suffix = "2000";
                code = 0x106;
            } else if (major == 5 && minor == 1) {
                suffix = "XP";
                code = 0x107;
            } else if (major == 6 && minor == 0) {
                suffix = "Vista";
                code = 0x108;
            } else if (major == 6 && minor == 1) {
                suffix = "7";
                code = 0x109;
            }
            break;
        default: break;
    }
    FormatString(name, size, "Windows%s%s", suffix, extra);
    if (code >= 0) WindowsVersionCode = code;
}

void LogWindowsVersion() {
    WriteLogLine("ＯＳ  ");
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    version.szCSDVersion[sizeof(version.szCSDVersion) - 1] = '\0';
    char name[64];
    NameWindowsVersion(version, name, sizeof(name));
    char line[256];
    FormatString(line, sizeof(line), "%s ( Build %d %s )", name, static_cast<int>(version.dwBuildNumber),
                 version.szCSDVersion);
    WriteLogFormat("%s", line);
}

void RaiseTimerResolution() {
    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof(caps));
    timeBeginPeriod(caps.wPeriodMin);
}

struct ProcessorFacts {
    int level = 0;  // 0 no CPUID, 1 plain, 3 MMX, 4 and SSE, 5 and SSE2
    char vendor[13] = {};
    char name[49] = {};
};

ProcessorFacts IdentifyProcessor() {
    ProcessorFacts facts;
    CpuHasMmx = 0;
    if (!CpuIdentificationAvailable()) return facts;

    DWORD registers[4] = {};
    CpuIdentify(0, registers);
    std::memcpy(facts.vendor, &registers[1], 4);
    std::memcpy(facts.vendor + 4, &registers[3], 4);
    std::memcpy(facts.vendor + 8, &registers[2], 4);

    CpuIdentify(1, registers);
    const DWORD features = registers[3];
    CpuHasTimeStampCounter = (features & kTimeStampCounterBit) != 0 ? 1 : 0;

    CpuIdentify(0x80000000u, registers);
    if (registers[0] >= 0x80000004u) {
        for (DWORD leaf = 0; leaf < 3; ++leaf) {
            CpuIdentify(0x80000002u + leaf, registers);
            std::memcpy(facts.name + leaf * 16, registers, 16);
        }
    }

    facts.level = 1;
    if (features & kMmxBit) {
        facts.level = 3;
        if (features & kSseBit) {
            facts.level = 4;
            if (features & kSse2Bit) facts.level = 5;
        }
    }
    return facts;
}

void LogProcessorSpeed() {
    const uint64_t ticks = MeasureTimeStampTicksOver100Milliseconds();
    const int64_t megahertz = std::llround(static_cast<double>(ticks) / 100000.0);
    TimeStampTicksPerSecond = ticks * 10;
    WriteLogFormat("ＣＰＵ動作速度：大体%.2fGHz", static_cast<uint32_t>(megahertz) / 1000.0);
}

void LogProcessorFeatures(const ProcessorFacts& facts) {
    switch (facts.level) {
        case 0: WriteLogLine("ＣＰＵＩＤ命令は使えません\n"); break;
        case 1: WriteLogLine("ＭＭＸは使えません\n"); break;
        default:
            WriteLogLine("ＭＭＸ命令を使用します\n");
            if (facts.level >= 4) WriteLogLine("ＳＳＥ命令が使用可能です\n");
            if (facts.level >= 5) WriteLogLine("ＳＳＥ２命令が使用可能です\n");
            CpuHasMmx = 1;
            break;
    }
    if (facts.level == 0) return;
    WriteLogLine("ＣＰＵベンダ：");
    WriteLogLine(facts.vendor);
    WriteLogLine("\n");
    if (facts.name[0] != '\0') WriteLogFormat("ＣＰＵ名：%s", facts.name);
}

}  // namespace

int LogSystemInfo() {
    WriteLogLine("システムの情報を出力します\n");
    IncreaseLogDepth();
    char line[64];
    FormatString(line, sizeof(line), "ＫＩＬＮライブラリ Ver%s\n", FrameworkVersionText);
    WriteLogLine(line);
    LogWindowsVersion();
    RaiseTimerResolution();

    const ProcessorFacts facts = IdentifyProcessor();
    if (CpuHasTimeStampCounter == 1) LogProcessorSpeed();
    LogProcessorFeatures(facts);

    DecreaseLogDepth();
    return 0;
}
