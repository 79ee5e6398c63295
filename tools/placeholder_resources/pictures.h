// The placeholder for one picture: its size and cell grid chosen from its
// name, each cell marked, the whole labelled with its file name (and its list
// position when it has one).
#pragma once

#include <string>

#include "tools/placeholder_resources/canvas.h"

namespace placeholder {

struct PictureShape {
    int width;
    int height;
    int cellWidth;   // 0: one picture, no grid
    int cellHeight;
    bool fullScreen; // opaque; everything else is half transparent
};

// The shape the game's drawing expects of a picture, by its name
// ("resource\picture\...").
PictureShape ShapeOfPicture(const std::string& name);

// The placeholder picture; `label` is written before the name (a list
// position such as "417:205", or empty).
Canvas MakePicture(const std::string& name, const std::string& label);

}  // namespace placeholder
