#include "platform/kernel/kernel.h"
#include "platform/kernel/module_exports.h"
#include "tests/support/test_support.h"

namespace {

using ModulesTest = testsupport::PlatformTest;

INT_PTR WINAPI ProbeEntry() { return 42; }

TEST_F(ModulesTest, LibrariesAreFoundByNameInAnyCaseWithOrWithoutTheSuffix) {
    const HMODULE user32 = LoadLibraryA("user32");
    ASSERT_NE(user32, nullptr);
    struct Case {
        const char* name;
        bool builtIn;
    };
    const Case cases[] = {
        {"user32", true},     {"USER32.DLL", true}, {"User32.dll", true},  {"kernel32", true},
        {"user", false},      {"user32.dl", false}, {"user32.dll.dll", false}, {"", false},
        {"d3d9.dll", true},   {".dll", false},
        // Each folder's library is there, whichever calls the program links.
        {"gdi32", true},      {"WINMM.DLL", true},  {"shell32", true},     {"imm32.dll", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        const HMODULE loaded = LoadLibraryA(c.name);
        const HMODULE found = GetModuleHandleA(c.name);
        EXPECT_EQ(loaded, found);
        if (c.builtIn) {
            EXPECT_NE(loaded, nullptr);
            EXPECT_TRUE(FreeLibrary(loaded));
        } else {
            EXPECT_EQ(loaded, nullptr);
            EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
        }
    }
    EXPECT_EQ(GetModuleHandleA("USER32.dll"), user32);
    EXPECT_NE(GetModuleHandleA("kernel32"), user32);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(ModulesTest, TheProgramModuleIsItsOwnHandleAndExportsNothing) {
    const HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), program);
    EXPECT_NE(program, GetModuleHandleA("kernel32"));
    EXPECT_EQ(GetProcAddress(program, "WinMain"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

TEST_F(ModulesTest, OnlyRegisteredEntriesAreFoundAndOnlyInTheirModule) {
    const HMODULE user32 = LoadLibraryA("user32");
    // The platform's own by-name entry is there without anyone registering it,
    // and only in its own module.
    EXPECT_NE(GetProcAddress(user32, "UpdateLayeredWindow"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("gdi32"), "UpdateLayeredWindow"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

    ASSERT_TRUE(platform::RegisterModuleExport("User32.dll", "ModulesTestProbe", ProbeEntry));
    EXPECT_FALSE(platform::RegisterModuleExport("nosuch", "ModulesTestProbe", ProbeEntry));
    const FARPROC entry = GetProcAddress(user32, "ModulesTestProbe");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(), 42);
    EXPECT_EQ(GetProcAddress(user32, "modulestestprobe"), nullptr);  // entry names keep their case
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("gdi32"), "ModulesTestProbe"), nullptr);
    EXPECT_EQ(GetProcAddress(user32, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(1))), nullptr);
}

TEST_F(ModulesTest, HandlesThatAreNoModuleAreRefused) {
    int notAModule = 0;
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(&notAModule, "UpdateLayeredWindow"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FreeLibrary(&notAModule));
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
