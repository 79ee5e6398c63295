// The local atom table. Names fold only their one-byte letters, so a
// Shift-JIS trail byte that happens to be a letter is never changed.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"
#include "platform/profile/machine_profile.h"

namespace {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr size_t kLongestName = 255;

struct AtomTable {
    std::mutex lock;
    std::map<std::string, ATOM> atoms;  // folded name -> atom
    ATOM next = kFirstStringAtom;
};

AtomTable& Table() {
    static AtomTable table;
    return table;
}

void ResetAtoms() {
    AtomTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.atoms.clear();
    table.next = kFirstStringAtom;
}

const platform::ResetHook kAtomReset(ResetAtoms);

std::string Folded(const char* name, size_t length) {
    std::string folded(name, length);
    for (size_t i = 0; i < folded.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(folded[i]);
        if (platform::IsShiftJisLeadByte(byte) && i + 1 < folded.size()) {
            ++i;
        } else if (byte >= 'a' && byte <= 'z') {
            folded[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return folded;
}

// "#123": the integer atom 123 (true with *atom set, 0 when out of range).
bool IntegerAtom(const char* name, ATOM* atom) {
    if (name[0] != '#' || name[1] == '\0') return false;
    unsigned long value = 0;
    for (const char* digit = name + 1; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*digit - '0');
        if (value >= kFirstStringAtom) {
            *atom = 0;
            return true;
        }
    }
    *atom = static_cast<ATOM>(value);
    return true;
}

enum class Lookup { Add, Find };

ATOM LookUp(LPCSTR name, Lookup mode) {
    if (name == nullptr || name[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM integer = 0;
    if (IntegerAtom(name, &integer)) {
        if (integer == 0) SetLastError(ERROR_INVALID_PARAMETER);
        return integer;
    }
    const size_t length = strnlen(name, kLongestName + 1);
    if (length > kLongestName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    AtomTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::string key = Folded(name, length);
    auto found = table.atoms.find(key);
    if (found != table.atoms.end()) return found->second;
    if (mode == Lookup::Find) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (table.next == 0) {  // wrapped past 0xFFFF: the table is full
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    const ATOM atom = table.next;
    table.next = static_cast<ATOM>(table.next + 1);
    table.atoms.emplace(key, atom);
    return atom;
}

}  // namespace

ATOM WINAPI AddAtomA(LPCSTR name) { return LookUp(name, Lookup::Add); }

ATOM WINAPI FindAtomA(LPCSTR name) { return LookUp(name, Lookup::Find); }
