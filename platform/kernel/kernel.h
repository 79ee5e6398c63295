// Kernel services: the process heap, critical sections, events, threads and
// waits, debug output, process exit, performance counter, local time and
// file-time conversion, the Windows version, files (with share modes),
// listings of folders, making folders, folder change notifications and
// temporary files, the modules (the program's own and the built-in system
// libraries, looked up by name), the local atom table, and the declaration
// of the program's WinMain.
//
// Stands in for the kernel interface the framework calls, with the names and
// numeric values the framework expects. Left out: everything the framework
// does not call (named kernel objects, processes, virtual memory, ...), of
// files: short (8.3) names, the DELETE access right and the pending deletion
// of a file that is still open (its name goes at once, as on POSIX), and of
// change notifications: subtrees and every filter but names.
// Built on POSIX threads, the C++ runtime, the POSIX file calls, inotify (for
// change notifications) and iconv (for Shift-JIS names); what the simulated machine looks like (version, clock,
// processor, injected failures) comes from the machine profile
// (platform/profile).
#pragma once

#include "platform/win_types.h"

// ---- process heap -----------------------------------------------------------

#define HEAP_NO_SERIALIZE 0x00000001u
#define HEAP_GENERATE_EXCEPTIONS 0x00000004u
#define HEAP_ZERO_MEMORY 0x00000008u
#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010u

HANDLE WINAPI GetProcessHeap(void);
// Blocks are aligned to 16 bytes. The machine profile can make the Nth
// allocation (HeapAlloc or HeapReAlloc) fail.
LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID memory, SIZE_T bytes);
BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
SIZE_T WINAPI HeapSize(HANDLE heap, DWORD flags, LPCVOID memory);

// ---- critical sections (recursive) --------------------------------------------

typedef struct _CRITICAL_SECTION {
    alignas(16) unsigned char opaque[64];
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section);

// ---- events, threads and waits ---------------------------------------------

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

#define CREATE_SUSPENDED 0x00000004u
#define STILL_ACTIVE 259u

#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_IDLE (-15)

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                           LPCSTR name);
BOOL WINAPI SetEvent(HANDLE event);
BOOL WINAPI ResetEvent(HANDLE event);

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                           LPDWORD threadId);
DWORD WINAPI ResumeThread(HANDLE thread);
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
int WINAPI GetThreadPriority(HANDLE thread);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
HANDLE WINAPI GetCurrentThread(void);
DWORD WINAPI GetCurrentThreadId(void);
DWORD WINAPI GetCurrentProcessId(void);

// Waits on an event (signalled), a thread (ended) or a change notification
// (a change seen). Manual-reset events stay signalled; auto-reset events are
// reset by the wait that they release.
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                    DWORD milliseconds);
// Closes events, threads and files.
BOOL WINAPI CloseHandle(HANDLE handle);

void WINAPI Sleep(DWORD milliseconds);

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);

// ---- debug output and process exit -----------------------------------------

// Appends the text to the debug-output sink (platform/kernel/debug_output_sink.h
// reads it back).
void WINAPI OutputDebugStringA(LPCSTR text);

// Ends the process with the exit code, unless a test has set an exit handler,
// which is then called instead (it is expected not to return, for example by
// throwing; if it returns, the process ends after all).
[[noreturn]] void WINAPI ExitProcess(UINT exitCode);

// ---- time ------------------------------------------------------------------

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);

void WINAPI GetLocalTime(LPSYSTEMTIME time);
void WINAPI GetSystemTime(LPSYSTEMTIME time);
void WINAPI GetSystemTimeAsFileTime(LPFILETIME time);
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);

// ---- version ------------------------------------------------------------------

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

// Reports the Windows version of the machine profile.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);

// ---- the processor -------------------------------------------------------------
// What the framework would get with the CPUID instruction and the time-stamp
// counter. Real by default; the machine profile can override every answer.

// True when the ID bit (0x200000) of the flags register can be toggled, i.e.
// the identification instruction exists.
BOOL CpuIdentificationAvailable(void);
// registers[0..3] = EAX, EBX, ECX, EDX of identification leaf `leaf`.
void CpuIdentify(DWORD leaf, DWORD registers[4]);
ULONGLONG ReadTimeStampCounter(void);

// ---- files ---------------------------------------------------------------------
// Paths are Windows-shaped Shift-JIS text (a drive, backslashes, any letter
// case). "C:\" is the POSIX root; a relative path is taken from the current
// directory; when a path does not exist as written, each component is matched
// without regard to letter case. Names are converted to UTF-8 for the host.

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

// The share modes of all open handles of a file are enforced across the
// process: an open fails with ERROR_SHARING_VIOLATION unless every earlier
// open shares the access it asks for and it shares the access of every
// earlier open; closing the handle releases its part. Opens that ask for
// neither reading nor writing take no part.
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES attributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPVOID overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPVOID overlapped);
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
// Fails with ERROR_SHARING_VIOLATION while the file is open without
// FILE_SHARE_DELETE.
BOOL WINAPI DeleteFileA(LPCSTR fileName);
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
// Renames a file in one step; an existing file of the new name is replaced
// only with MOVEFILE_REPLACE_EXISTING (a folder never is). Only that flag is
// honoured, and a file open under the new name is not looked at.
BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
// Both use Windows-shaped paths ("C:\home\me\game").
DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);

// ---- finding files and temporary files ----------------------------------------

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Lists the entries of a folder that match the last component of `fileName`
// ('*' and '?', ASCII letters in any case; "*.*" matches every name). The
// listing is read when it starts and comes in a fixed order: "." and ".."
// first (except at the root), then the names by their Shift-JIS bytes.
// Nothing matching: INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND; a
// missing folder: ERROR_PATH_NOT_FOUND. FindNextFileA fails with
// ERROR_NO_MORE_FILES at the end and leaves the data unchanged. A listing is
// ended by FindClose only (CloseHandle refuses it).
HANDLE WINAPI FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData);
BOOL WINAPI FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData);
BOOL WINAPI FindClose(HANDLE find);

// ---- folder change notifications ----------------------------------------------

#define FILE_NOTIFY_CHANGE_FILE_NAME 0x00000001u
#define FILE_NOTIFY_CHANGE_DIR_NAME 0x00000002u

// A waitable handle that becomes signalled once a name in the folder
// `pathName` has been created, deleted or renamed (a file's with
// FILE_NOTIFY_CHANGE_FILE_NAME, a folder's with FILE_NOTIFY_CHANGE_DIR_NAME),
// or once the folder itself has been deleted or moved; it stays signalled
// until FindNextChangeNotification. A wait on it sees every change made
// before the wait began. Only these two filters are offered and no subtree:
// anything else fails with ERROR_INVALID_PARAMETER; a missing folder with
// ERROR_PATH_NOT_FOUND, a file with ERROR_DIRECTORY. Ended by
// FindCloseChangeNotification only (CloseHandle refuses it).
HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR pathName, BOOL watchSubtree, DWORD notifyFilter);
BOOL WINAPI FindNextChangeNotification(HANDLE changeHandle);
BOOL WINAPI FindCloseChangeNotification(HANDLE changeHandle);

// The host's temporary folder, Windows-shaped, ending in a backslash. The
// length without the terminator; too small a buffer gets the size needed
// (terminator included) and is left alone.
DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer);
// Writes "<path>\<prefix, 3 characters at most><number in hex>.tmp" into
// `tempFileName` (MAX_PATH bytes). With `unique` 0 it picks a number whose
// name is free, creates that file empty and returns the number; otherwise it
// only makes the name and returns `unique`. 0 on failure
// (ERROR_BUFFER_OVERFLOW for a path longer than MAX_PATH - 14).
UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR tempFileName);

// ---- modules -------------------------------------------------------------------
// The program's own module and the system libraries, which here are built
// into the platform: a library is found by name (any letter case, with or
// without ".dll"); its entries are those the platform provides so far. A
// library that is not built in cannot be loaded: nothing is read from disk.

#define ERROR_MOD_NOT_FOUND 126u
#define ERROR_PROC_NOT_FOUND 127u

typedef INT_PTR(WINAPI* FARPROC)(void);

// Null name: the program's module (never null). A built-in library's name:
// its handle. Anything else: null with ERROR_MOD_NOT_FOUND.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
// The built-in library's handle, or null with ERROR_MOD_NOT_FOUND. Built-in
// libraries stay loaded; FreeLibrary only checks the handle.
HMODULE WINAPI LoadLibraryA(LPCSTR libraryName);
BOOL WINAPI FreeLibrary(HMODULE module);
// The entry of that name, or null: ERROR_PROC_NOT_FOUND for a name the
// module does not provide (or an ordinal), ERROR_INVALID_HANDLE for a handle
// that is no module.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);

// ---- local atoms ---------------------------------------------------------------
// The process's local atom table: a name is kept once and named by a 16-bit
// value from 0xC000 up. Names are compared without regard to the letter case
// of their one-byte characters (two-byte Shift-JIS characters compare as
// they stand). "#n" with n from 1 to 0xBFFF is the integer atom n. Atoms are
// never deleted. A null or empty name, a name of 256 bytes or more, or a full
// table gives 0 (ERROR_INVALID_PARAMETER, ERROR_NOT_ENOUGH_MEMORY).

typedef WORD ATOM;

ATOM WINAPI AddAtomA(LPCSTR name);
// 0 with ERROR_FILE_NOT_FOUND for a name that was never added.
ATOM WINAPI FindAtomA(LPCSTR name);

// ---- folders ---------------------------------------------------------------------

// Makes one folder; fails with ERROR_ALREADY_EXISTS when something of that
// name exists, ERROR_PATH_NOT_FOUND when its parent does not.
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);

// ---- the program's entry ------------------------------------------------------------

// Written by the program: what the loader calls once the process is set up.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
