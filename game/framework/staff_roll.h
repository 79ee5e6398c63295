// The staff roll: text lines and pictures that scroll upward over the
// 640 x 480 screen, pausing where the script says.
#pragma once

#include <cstdint>
#include <vector>

#include "game/framework/object_tree.h"
#include "platform/user/user.h"

namespace Object {

// One entry of the roll. A "*wait" line keeps its frames in first and its
// done flag in second; a "*show" line its picture's index in first, the
// picture's x in second and its height (the line's advance) in third.
struct StaffRollLine {
    char text[256];
    int first;
    int second;
    int third;
};

class CStaffRollObject : public IDrawObject {
public:
    CStaffRollObject();
    ~CStaffRollObject() override;
    CStaffRollObject(const CStaffRollObject&) = delete;
    CStaffRollObject& operator=(const CStaffRollObject&) = delete;

    // Reads the header and the body from a file opened with OpenFileForRead.
    bool LoadScript(uintptr_t file);
    void Start();
    // One frame; false once every remaining line is on screen.
    bool Update();
    void Draw() override;
    // Gives back the lines, the background and the pictures; safe to run again.
    void Release() override;
    void UpdateFrame() override;

    std::vector<int> pictures;
    std::vector<int> drawnPictures;
    int backgroundId = -1;
    ATOM fontKey = 0;
    float StringLeft = 0.0f;
    int FontSize = 0;
    int FontThick = 1;
    float ScrollSpeed = 1.0f;
    int step = 1;
    bool StopWhenFinished = false;
    unsigned char backgroundR = 0, backgroundG = 0, backgroundB = 0, backgroundA = 255;
    unsigned char textR = 255, textG = 255, textB = 255, textA = 255;
    int firstVisibleLine = 0;
    float scrollOffset = 0.0f;
    int lineCount = 0;
    StaffRollLine* lines = nullptr;
    bool running = false;
    bool waiting = false;
    int waitFrames = 0;
    int frameCounter = 0;

private:
    int LineHeight(int index) const;
    // Starts the pause of the first "*wait" line on screen that has not
    // paused yet.
    void StartPauseOnScreen();
    // True when every line from the first visible one starts at or above
    // the bottom of the screen.
    bool AllLinesOnScreen() const;
};

}  // namespace Object
