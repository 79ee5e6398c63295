// Every file of the placeholder tree, taken from the game's own tables where
// the game keeps them in tables (the battle images and sounds) and from the
// scenes' file names otherwise; the generator writes these and the manifest
// test checks them.
#pragma once

#include <string>
#include <vector>

namespace placeholder {

struct ResourceFile {
    std::string name;   // as the game spells it: "resource\...\file.ext"
    std::string label;  // its list position where it has one, else empty
};

// The front-end scenes' pictures, sounds and scenarios, the battle tables of
// every boss, the robot movies and the staff roll, each name once (the
// first label wins).
std::vector<ResourceFile> GameResourceFiles();

// The one place where the stage scenes' files join the tree: the stage
// image lists, the stage sounds, the guide-box scenarios and the map and
// layout files. Pictures, sounds and scenarios are added to `files` (each
// name once); names under "resource\mapdata\" are left to the map writer.
void AddStageFiles(std::vector<ResourceFile>& files, const std::vector<ResourceFile>& stageFiles);

// Every name of the stage tables: each stage code's image list (labelled
// with the code and the list position), the stage sound table with each
// code's music, the guide-box scenarios and the map and layout files.
std::vector<ResourceFile> StageFiles();

// "resource\a\b.png" below `root` as a host path ("root/resource/a/b.png").
std::string HostPathOf(const std::string& root, const std::string& name);

// The lower-case extension without the dot ("png", "wav", ...).
std::string ExtensionOf(const std::string& name);

}  // namespace placeholder
