// Writes the placeholder resource tree: every picture, sound, scenario and
// movie the game loads, under <output folder>/resource, with the names the
// game spells.
//   brackenfold_make_resources <output folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/placeholder_resources/canvas.h"
#include "tools/placeholder_resources/movie.h"
#include "tools/placeholder_resources/pictures.h"
#include "tools/placeholder_resources/resource_lists.h"
#include "tools/placeholder_resources/scenarios.h"
#include "tools/placeholder_resources/sounds.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

using namespace placeholder;

bool WriteBytes(const std::string& hostPath, const std::string& bytes) {
    std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool WriteFile(const std::string& root, const ResourceFile& file) {
    const std::string path = HostPathOf(root, file.name);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) return false;
    const std::string extension = ExtensionOf(file.name);
    if (extension == "png") return WritePng(path, MakePicture(file.name, file.label));
    if (extension == "wav") return WriteEffectWav(path, file.name);
    if (extension == "ogg") return WriteMusicOgg(path, file.name);
    if (extension == "wmv") return WriteMovieWmv(path, file.name);
    if (extension == "xml")
        return WriteBytes(path, ScenarioXml(file.name)) &&
               WriteBytes(HostPathOf(root, ScriptNameOf(file.name)), ScenarioScript(file.name));
    if (file.name == "resource\\senario\\staffroll.txt") return WriteBytes(path, StaffRollScript());
    std::fprintf(stderr, "no placeholder for %s\n", file.name.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    std::vector<ResourceFile> files = GameResourceFiles();
    AddStageFiles(files, StageFiles());
    int failures = 0;
    for (const ResourceFile& file : files)
        if (!WriteFile(root, file)) {
            std::fprintf(stderr, "could not write %s\n", file.name.c_str());
            ++failures;
        }
    for (const StageDataFile& file : StageDataFiles()) {
        const std::string path = HostPathOf(root, file.name);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        if (error || !WriteBytes(path, file.bytes)) {
            std::fprintf(stderr, "could not write %s\n", file.name.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
