#include "tests/support/game/game_test.h"

#include <png.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace gametest {

void GameTest::SetUp() {
    StartedLogTest::SetUp();
    BeginHeadless(folder_.hostPath());
}

void GameTest::TearDown() {
    EndHeadless();
    StartedLogTest::TearDown();
}

void GameTest::FrameLimitReached(int frame) {
    ADD_FAILURE() << "the scene was still running after " << frame << " frames";
}

// ---- files ------------------------------------------------------------------------------

namespace {

std::string HostPathIn(const std::string& folder, const std::string& relativePath) {
    std::string path = folder + "/" + relativePath;
    for (char& c : path)
        if (c == '\\') c = '/';
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return path;
}

void PutLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

void GameTest::WriteFile(const std::string& relativePath, const std::string& bytes) {
    std::ofstream out(HostPathIn(folder_.hostPath(), relativePath), std::ios::binary);
    out << bytes;
}

void GameTest::WritePicture(const std::string& relativePath, int width, int height, uint32_t colour) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<uint8_t>(colour >> 16);
        pixels[i + 1] = static_cast<uint8_t>(colour >> 8);
        pixels[i + 2] = static_cast<uint8_t>(colour);
    }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const std::string path = HostPathIn(folder_.hostPath(), relativePath);
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0) << path;
}

void GameTest::WriteTone(const std::string& relativePath, int milliseconds) {
    constexpr uint32_t kRate = 22050;
    const uint32_t count = kRate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string bytes = "RIFF";
    PutLittleEndian(bytes, 36 + count * 2, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2);  // PCM
    PutLittleEndian(bytes, 1, 2);  // mono
    PutLittleEndian(bytes, kRate, 4);
    PutLittleEndian(bytes, kRate * 2, 4);
    PutLittleEndian(bytes, 2, 2);
    PutLittleEndian(bytes, 16, 2);
    bytes += "data";
    PutLittleEndian(bytes, count * 2, 4);
    for (uint32_t i = 0; i < count; ++i) {
        // A square wave near 440 Hz: loud, and never silent for long.
        const int16_t sample = ((i * 440 * 2 / kRate) & 1) ? 8000 : -8000;
        PutLittleEndian(bytes, static_cast<uint16_t>(sample), 2);
    }
    WriteFile(relativePath, bytes);
}

void GameTest::WriteLoadingSheet() { WritePicture("resource\\picture\\load\\now_loading.png", 1024, 512, 0x3366CC); }

}  // namespace gametest
