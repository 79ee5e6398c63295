// Reading files out of .kpk archives through the file-access table, side by
// side with reading the same files as plain files, and the archive's
// unpacker side by side with zlib's inflate of the same content.
//
// The fixture is made once in a temporary folder: a few hundred files of
// mixed, partly repetitive content, written as plain files, as a stored
// archive and as a packed archive (by the test archive writer).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/archive/archive_file_access.h"
#include "framework/archive/archive_reader.h"
#include "framework/files/file_access_table.h"
#include "platform/platform.h"
#include "tools/archive_writer.h"

namespace {

constexpr int kFileCount = 300;

// Text-like content: words from a small vocabulary with some noise, so that
// both compressors find matches without the data being trivial.
std::string MakeContent(int index) {
    static const char* const words[] = {"stage", "boss",  "scene", "sprite", "music", "voice",
                                        "frame", "menu",  "clear", "score",  "robot", "map",
                                        "font",  "image", "movie", "stream"};
    uint32_t state = 2166136261u ^ static_cast<uint32_t>(index) * 16777619u;
    const size_t size = 1024 + (static_cast<size_t>(index) * 7919) % 30000;
    std::string text;
    while (text.size() < size) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 28) == 0) text += static_cast<char>('0' + ((state >> 8) % 75));
        text += words[(state >> 16) % 16];
        text += (state >> 24) % 9 == 0 ? "\r\n" : " ";
    }
    text.resize(size);
    return text;
}

std::string MemberName(int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "F%03d\\FILE%04d.TXT", index / 50, index);
    return name;
}

struct Fixture {
    std::string hostFolder;
    std::vector<std::string> contents;
    std::vector<std::string> packed;  // the archive's packed form of each file
    std::vector<std::string> deflated;
    size_t totalBytes = 0;

    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kiln-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        hostFolder = pattern;
        archivetest::ArchiveWriter stored, packedArchive;
        for (int i = 0; i < kFileCount; ++i) {
            contents.push_back(MakeContent(i));
            totalBytes += contents.back().size();
            const std::string name = MemberName(i);
            stored.AddFile(name, contents.back(), false);
            packedArchive.AddFile(name, contents.back(), true);
            packed.push_back(archivetest::PackData(contents.back()));
            uLongf size = compressBound(contents.back().size());
            std::string deflate(size, '\0');
            compress2(reinterpret_cast<Bytef*>(deflate.data()), &size,
                      reinterpret_cast<const Bytef*>(contents.back().data()), contents.back().size(),
                      Z_DEFAULT_COMPRESSION);
            deflate.resize(size);
            deflated.push_back(deflate);

            std::string hostPath = hostFolder + "/PLAIN/" + name;
            for (char& c : hostPath)
                if (c == '\\') c = '/';
            std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
            if (!archivetest::WriteHostFile(hostPath, contents.back())) std::abort();
        }
        if (!archivetest::WriteHostFile(hostFolder + "/STORED.KPK", stored.Build(nullptr)) ||
            !archivetest::WriteHostFile(hostFolder + "/PACKED.KPK", packedArchive.Build(nullptr)))
            std::abort();
        std::string windowsFolder;
        // The platform maps C:\ to the host's root.
        windowsFolder = "C:" + hostFolder;
        for (char& c : windowsFolder)
            if (c == '/') c = '\\';
        SetCurrentDirectoryA(windowsFolder.c_str());
    }
    ~Fixture() {
        ShutAllArchives();
        std::error_code ignored;
        std::filesystem::remove_all(hostFolder, ignored);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// Opens, reads whole and closes every file under `folder` through `table`.
void ReadEveryFile(benchmark::State& state, const FileAccessTable& table, const char* folder) {
    Fixture& fixture = TheFixture();
    SetFileAccessTable(&table);
    std::vector<std::string> paths;
    for (int i = 0; i < kFileCount; ++i) paths.push_back(std::string(folder) + "\\" + MemberName(i));
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        size_t total = 0;
        for (const std::string& path : paths) {
            const uintptr_t file = FileStreamOpen(path.c_str(), 0, 1, 0);
            if (file == 0) {
                state.SkipWithError("a file did not open");
                return;
            }
            total += FileStreamRead(buffer.data(), 1, static_cast<uint32_t>(buffer.size()), file);
            FileStreamClose(file);
        }
        if (total != fixture.totalBytes) {
            state.SkipWithError("a file was read short");
            return;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture.totalBytes));
    state.counters["files"] = kFileCount;
    SetFileAccessTable(nullptr);
}

void BM_ArchiveStoredMembers(benchmark::State& state) { ReadEveryFile(state, ArchiveFileAccessSet, "STORED"); }
void BM_ArchivePackedMembers(benchmark::State& state) { ReadEveryFile(state, ArchiveFileAccessSet, "PACKED"); }
// The same files as plain files, through the plain set and through the
// archive-aware set (which searches for archives on the path first).
void BM_PlainFilesPlainSet(benchmark::State& state) { ReadEveryFile(state, PlainFileAccessSet, "PLAIN"); }
void BM_PlainFilesArchiveSet(benchmark::State& state) { ReadEveryFile(state, ArchiveFileAccessSet, "PLAIN"); }

void BM_UnpackArchiveData(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    std::vector<uint8_t> output(64 * 1024);
    for (auto _ : state)
        for (const std::string& packed : fixture.packed)
            benchmark::DoNotOptimize(UnpackArchiveData(packed.data(), output.data()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture.totalBytes));
    size_t packedBytes = 0;
    for (const std::string& packed : fixture.packed) packedBytes += packed.size();
    state.counters["size%"] = 100.0 * packedBytes / fixture.totalBytes;
}

void BM_ZlibInflate(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    std::vector<uint8_t> output(64 * 1024);
    for (auto _ : state)
        for (const std::string& deflated : fixture.deflated) {
            uLongf size = output.size();
            benchmark::DoNotOptimize(uncompress(output.data(), &size,
                                                reinterpret_cast<const Bytef*>(deflated.data()),
                                                deflated.size()));
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture.totalBytes));
    size_t deflatedBytes = 0;
    for (const std::string& deflated : fixture.deflated) deflatedBytes += deflated.size();
    state.counters["size%"] = 100.0 * deflatedBytes / fixture.totalBytes;
}

BENCHMARK(BM_ArchiveStoredMembers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchivePackedMembers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFilesPlainSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFilesArchiveSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackArchiveData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
