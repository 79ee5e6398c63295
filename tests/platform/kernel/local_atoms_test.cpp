// The local atom table: one atom per name whatever the letter case of its
// one-byte letters, never for two different two-byte characters, and the
// limits of a name.
#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class LocalAtomsTest : public testsupport::PlatformTest {};

TEST_F(LocalAtomsTest, NamesDifferingInLetterCaseShareOneAtom) {
    const ATOM atom = AddAtomA("resource\\Picture\\Title.png");
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(AddAtomA("RESOURCE\\picture\\title.PNG"), atom);
    EXPECT_EQ(FindAtomA("resource\\picture\\title.png"), atom);
    EXPECT_NE(AddAtomA("resource\\picture\\title2.png"), atom);
}

// 0x83 0x41 and 0x83 0x61 are two katakana whose second bytes look like 'A'
// and 'a': they are different names.
TEST_F(LocalAtomsTest, TwoByteCharactersAreNeverFolded) {
    const ATOM upper = AddAtomA("\x83\x41.png");
    const ATOM lower = AddAtomA("\x83\x61.png");
    EXPECT_NE(upper, 0);
    EXPECT_NE(lower, 0);
    EXPECT_NE(upper, lower);
    EXPECT_EQ(AddAtomA("\x83\x41.PNG"), upper);
}

TEST_F(LocalAtomsTest, UnknownEmptyAndOverlongNamesGiveNoAtom) {
    SetLastError(0);
    EXPECT_EQ(FindAtomA("never added"), 0);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(AddAtomA(nullptr), 0);
    EXPECT_EQ(AddAtomA(""), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_NE(AddAtomA(std::string(255, 'x').c_str()), 0);
    EXPECT_EQ(AddAtomA(std::string(256, 'x').c_str()), 0);
    EXPECT_EQ(FindAtomA(std::string(256, 'x').c_str()), 0);
}

TEST_F(LocalAtomsTest, NumberNamesAreIntegerAtoms) {
    EXPECT_EQ(AddAtomA("#42"), 42);
    EXPECT_EQ(FindAtomA("#42"), 42);
    EXPECT_EQ(AddAtomA("#49151"), 0xBFFF);
    EXPECT_EQ(AddAtomA("#49152"), 0);
    // Not a number: an ordinary name.
    EXPECT_GE(AddAtomA("#4a"), 0xC000);
}

TEST_F(LocalAtomsTest, TheMachineResetEmptiesTheTable) {
    AddAtomA("kept until the reset");
    platform::ResetMachine();
    EXPECT_EQ(FindAtomA("kept until the reset"), 0);
    EXPECT_EQ(AddAtomA("first after the reset"), 0xC000);
}

}  // namespace
