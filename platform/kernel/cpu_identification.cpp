// The processor identification instruction: the real one on x86, or the
// machine profile's answers when it overrides the processor.
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include <cstring>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

void CopyLeaf(const uint32_t from[4], DWORD registers[4]) {
    for (int i = 0; i < 4; ++i) registers[i] = from[i];
}

}  // namespace

BOOL CpuIdentificationAvailable(void) {
    const platform::CpuProfile& cpu = platform::Profile().cpu;
    if (cpu.overridden) return cpu.identificationAvailable ? TRUE : FALSE;
#if defined(__x86_64__)
    return TRUE;  // every 64-bit x86 processor has it
#elif defined(__i386__)
    return __get_cpuid_max(0, nullptr) != 0 ? TRUE : FALSE;
#else
    return FALSE;
#endif
}

void CpuIdentify(DWORD leaf, DWORD registers[4]) {
    const platform::CpuProfile& cpu = platform::Profile().cpu;
    if (cpu.overridden) {
        std::memset(registers, 0, 4 * sizeof(DWORD));
        if (!cpu.identificationAvailable) return;
        if (leaf == 0)
            CopyLeaf(cpu.leaf0, registers);
        else if (leaf == 1)
            CopyLeaf(cpu.leaf1, registers);
        else if (leaf == 0x80000000u)
            CopyLeaf(cpu.extendedLeaf0, registers);
        else if (leaf >= 0x80000002u && leaf <= 0x80000004u)
            CopyLeaf(cpu.nameLeaves[leaf - 0x80000002u], registers);
        return;
    }
#if defined(__i386__) || defined(__x86_64__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid_count(leaf, 0, eax, ebx, ecx, edx);
    registers[0] = eax;
    registers[1] = ebx;
    registers[2] = ecx;
    registers[3] = edx;
#else
    std::memset(registers, 0, 4 * sizeof(DWORD));
#endif
}
