// The framework's own string, memory and arithmetic routines: zero-terminated
// Shift-JIS strings, byte blocks, float maths, integer text in a radix, exact
// 64x64->128-bit multiplication and 128/64-bit division, and the sentinel list
// whose nodes are embedded in the records they list.
//
// None of them allocates, logs or fails. The comparing routines return 0 for
// equal and 1 for different, never a sign.
#pragma once

#include <cstdint>

#include "platform/kernel/shift_jis.h"

// Lead bytes of two-byte Shift-JIS characters: the platform's one test.
using platform::IsShiftJisLeadByte;

void CopyString(char* destination, const char* source);
void AppendString(char* destination, const char* source);
// First one-byte character equal to `value`, or null; the terminator is never
// compared and bytes of two-byte characters are never found.
const char* FindCharInMultiByteString(const char* string, int value);
inline char* FindCharInMultiByteString(char* string, int value) {
    return const_cast<char*>(FindCharInMultiByteString(static_cast<const char*>(string), value));
}
int CompareStrings(const char* a, const char* b);
void UpperCaseMultiByteString(char* string);
int CompareStringPrefix(const char* a, const char* b, int count);

void FillMemoryBytes(void* destination, int value, uint32_t count);
int CompareMemoryBytes(const void* a, const void* b, uint32_t count);
void CopyMemoryBytes(void* destination, const void* source, uint32_t count);
void MoveMemoryBytes(void* destination, const void* source, uint32_t count);

void SinCosFloat(float angle, float* sine, float* cosine);
int AbsInt(int value);
float AbsFloat(float value);
int FloatToInt(float value);
int DoubleToInt(double value);
void TruncateRectToInt(const double rect[4], int out[4]);
float SqrtFloat(float value);
char* IntToStringRadix(int value, char* buffer, int radix);

// 64-bit values are two 32-bit words, low word first (a uint64_t here); a
// 128-bit value is four 32-bit words, least significant first.
void Multiply64To128(const uint64_t* a, const uint64_t* b, uint32_t out[4]);
// quotient = dividend / divisor rounded down, low 64 bits. A zero divisor
// gives 0.
void Divide128By64(const uint32_t dividend[4], const uint64_t* divisor, uint64_t* quotient);

// One node of a doubly linked list with head and tail sentinels.
struct HandleListNode {
    int32_t ID;
    void* data;
    HandleListNode* previous;
    HandleListNode* next;
};

int ListInit(HandleListNode* head, HandleListNode* tail);
int ListAdd(HandleListNode* after, HandleListNode* node, int id, void* data);
int ListRemove(HandleListNode* node);
