// The staff roll: reading its script, scrolling with its pauses, and drawing
// the lines and pictures on the screen.
#include "game/framework/staff_roll.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/base/base_functions.h"
#include "framework/files/file_read_interface.h"
#include "framework/graphics/graphics.h"
#include "game/framework/file_numbers.h"
#include "game/framework/resource_managers.h"

namespace Object {

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kScriptLineSize = 512;

Manager::CPrimitive2DObjectManager* Objects() { return Manager::CPrimitive2DObjectManager::GetInstance(); }

std::vector<std::string> SplitAtCommas(const char* text) {
    std::vector<std::string> fields;
    const char* start = text;
    for (;;) {
        const char* comma = std::strchr(start, ',');
        if (comma == nullptr) {
            fields.emplace_back(start);
            return fields;
        }
        fields.emplace_back(start, comma);
        start = comma + 1;
    }
}

const char* Field(const std::vector<std::string>& fields, size_t index) {
    return index < fields.size() ? fields[index].c_str() : "";
}

// False when a channel lies outside 0..255; the colour is then left as it was.
bool ReadColour(const char* text, unsigned char* r, unsigned char* g, unsigned char* b) {
    const std::vector<std::string> fields = SplitAtCommas(text);
    int channels[3] = {};
    for (size_t i = 0; i < 3; ++i)
        if (!File::ReadInt(Field(fields, i), File::kColourChannel, &channels[i])) return false;
    *r = static_cast<unsigned char>(channels[0]);
    *g = static_cast<unsigned char>(channels[1]);
    *b = static_cast<unsigned char>(channels[2]);
    return true;
}

// A number of the script as a float; false when it lies outside the range.
bool ReadFloat(const char* text, File::NumberRange range, float* value) {
    double read = 0.0;
    if (!File::ReadReal(text, range, &read)) return false;
    *value = static_cast<float>(read);
    return true;
}

// A picture's size, truncated to a whole number.
bool ReadSize(const char* text, int* value) {
    double read = 0.0;
    if (!File::ReadReal(text, File::kPixels, &read)) return false;
    *value = static_cast<int>(read);
    return true;
}

// A line's text is kept in 255 bytes at most, cut before a two-byte
// character that would not fit whole.
void CopyLineText(char (&destination)[256], const char* source) {
    size_t length = 0;
    while (source[length] != '\0') {
        const size_t size =
            IsShiftJisLeadByte(static_cast<unsigned char>(source[length])) && source[length + 1] != '\0' ? 2 : 1;
        if (length + size > sizeof(destination) - 1) break;
        length += size;
    }
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace

CStaffRollObject::CStaffRollObject() = default;

CStaffRollObject::~CStaffRollObject() { Release(); }

// A number outside its field's range refuses the whole script.
bool CStaffRollObject::LoadScript(uintptr_t file) {
    char line[kScriptLineSize];
    // The header: key=value lines up to "*begin".
    for (;;) {
        const int length = ReadFileLine(line, sizeof(line), file);
        if (length < 0) break;
        if (length == 0) continue;
        if (std::strcmp(line, "*begin") == 0) break;
        char* equals = std::strchr(line, '=');
        if (equals == nullptr) continue;
        *equals = '\0';
        const std::string key = line;
        const char* value = equals + 1;
        if (key == "FontSize") {
            if (!File::ReadInt(value, File::kFontSize, &FontSize)) return false;
        } else if (key == "FontThick") {
            if (!File::ReadInt(value, File::kFontThickness, &FontThick)) return false;
        } else if (key == "FontName") {
            // Made at once, with the size and thickness read so far.
            Manager::C2DFontManager* fonts = Manager::C2DFontManager::GetInstance();
            std::snprintf(fonts->faceName, sizeof(fonts->faceName), "%s", value);
            fonts->size = FontSize;
            fonts->thickness = FontThick;
            fonts->fontType = 3;
            char keyText[Manager::kResourceKeyTextSize] = {};
            if (fonts->Load(value, keyText, "Font")) fontKey = AddAtomA(keyText);
        } else if (key == "StringLeft") {
            if (!ReadFloat(value, File::kPixels, &StringLeft)) return false;
        } else if (key == "ScrollSpeed") {
            if (!ReadFloat(value, File::kPixels, &ScrollSpeed)) return false;
        } else if (key == "StopWhenFinished") {
            int stop = 0;
            if (!File::ReadInt(value, File::kAnyInt, &stop)) return false;
            StopWhenFinished = stop == 1;
        } else if (key == "BGColor") {
            if (!ReadColour(value, &backgroundR, &backgroundG, &backgroundB)) return false;
            backgroundA = 255;
        } else if (key == "TextColor") {
            if (!ReadColour(value, &textR, &textG, &textB)) return false;
            textA = 255;
        }
    }

    // The body: one entry a line up to "*end".
    std::vector<StaffRollLine> body;
    for (;;) {
        const int length = ReadFileLine(line, sizeof(line), file);
        if (length < 0) break;
        if (length == 0) continue;
        if (std::strcmp(line, "*end") == 0) break;
        StaffRollLine entry = {};
        if (StartsWith(line, "*wait")) {
            CopyLineText(entry.text, "*wait");
            if (!File::ReadInt(Field(SplitAtCommas(line), 1), File::kFrames, &entry.first)) return false;
            entry.second = 0;
        } else if (StartsWith(line, "*show")) {
            const std::vector<std::string> fields = SplitAtCommas(line);
            int width = 0, height = 0, sourceX = 0, sourceY = 0;
            if (!File::ReadInt(Field(fields, 3), File::kPixels, &entry.second) ||
                !File::ReadInt(Field(fields, 5), File::kPixelLength, &entry.third) ||
                !ReadSize(Field(fields, 4), &width) || !ReadSize(Field(fields, 5), &height) ||
                !File::ReadInt(Field(fields, 6), File::kPixels, &sourceX) ||
                !File::ReadInt(Field(fields, 7), File::kPixels, &sourceY))
                return false;
            const int id = Objects()->CreateScreenObject();
            if (auto* picture = dynamic_cast<C2DScreenObject*>(Objects()->Get(id))) {
                char keyText[Manager::kResourceKeyTextSize] = {};
                if (Manager::CTextureManager::GetInstance()->Load(Field(fields, 1), keyText, Field(fields, 2)))
                    picture->textureKey = AddAtomA(keyText);
                picture->width = width;
                picture->height = height;
                picture->sourceX = sourceX;
                picture->sourceY = sourceY;
                picture->r = picture->g = picture->b = 255;
                picture->alpha = 255;
            }
            CopyLineText(entry.text, "*show");
            entry.first = static_cast<int>(pictures.size());
            pictures.push_back(id);
        } else if (std::strcmp(line, "\\") == 0) {
            entry.text[0] = '\0';
        } else {
            CopyLineText(entry.text, line);
        }
        body.push_back(entry);
    }

    delete[] lines;
    lines = new StaffRollLine[body.size()];
    std::copy(body.begin(), body.end(), lines);
    lineCount = static_cast<int>(body.size());

    Objects()->Release(backgroundId);
    backgroundId = Objects()->CreateScreenObject();
    auto* background = dynamic_cast<C2DScreenObject*>(Objects()->Get(backgroundId));
    if (background == nullptr) return false;
    background->SetPosition(0, 0);
    background->width = kScreenWidth;
    background->height = kScreenHeight;
    background->r = backgroundR;
    background->g = backgroundG;
    background->b = backgroundB;
    background->alpha = backgroundA;
    return true;
}

int CStaffRollObject::LineHeight(int index) const {
    const StaffRollLine& line = lines[index];
    if (std::strcmp(line.text, "*show") == 0) return line.third;
    if (std::strcmp(line.text, "*wait") == 0) return 0;
    return FontSize;
}

void CStaffRollObject::StartPauseOnScreen() {
    if (scrollOffset > kScreenHeight) return;
    float y = scrollOffset;
    for (int i = firstVisibleLine; i < lineCount && y <= kScreenHeight; ++i) {
        StaffRollLine& line = lines[i];
        if (std::strcmp(line.text, "*wait") == 0 && line.second == 0) {
            waiting = true;
            line.second = 1;
            waitFrames = line.first;
            return;
        }
        y += static_cast<float>(LineHeight(i));
    }
}

bool CStaffRollObject::AllLinesOnScreen() const {
    float y = scrollOffset;
    for (int i = firstVisibleLine; i < lineCount; ++i) {
        if (y > kScreenHeight) return false;
        y += static_cast<float>(LineHeight(i));
    }
    return true;
}

void CStaffRollObject::Start() {
    running = true;
    frameCounter = 0;
    StartPauseOnScreen();
}

bool CStaffRollObject::Update() {
    if (!running) return false;
    ++frameCounter;
    bool scroll = true;
    if (waiting) {
        waitFrames -= step;
        if (waitFrames > 0) return true;
        // The pause is over; a pause after the last line ends the roll here.
        waiting = false;
        waitFrames = 0;
        if (AllLinesOnScreen()) scroll = false;
    }
    if (scroll) {
        scrollOffset -= static_cast<float>(step) * ScrollSpeed;
        while (firstVisibleLine < lineCount && scrollOffset + static_cast<float>(LineHeight(firstVisibleLine)) < 0) {
            scrollOffset += static_cast<float>(LineHeight(firstVisibleLine));
            ++firstVisibleLine;
        }
        StartPauseOnScreen();
    }
    if (!waiting && AllLinesOnScreen()) {
        if (StopWhenFinished) running = false;
        return false;
    }
    return true;
}

void CStaffRollObject::Draw() {
    const int handle = Manager::C2DFontManager::GetInstance()->GetHandleByAtom(fontKey);
    drawnPictures.clear();
    const int colour = static_cast<int>(MakeScreenColorCode(textR, textG, textB));
    float y = scrollOffset;
    for (int i = firstVisibleLine; i < lineCount && y <= kScreenHeight; ++i) {
        const StaffRollLine& line = lines[i];
        if (std::strcmp(line.text, "*show") == 0) {
            if (line.first >= 0 && line.first < static_cast<int>(pictures.size())) {
                const int id = pictures[static_cast<size_t>(line.first)];
                if (auto* picture = dynamic_cast<C2DScreenObject*>(Objects()->Get(id))) {
                    picture->SetPosition(line.second, y);
                    picture->Draw();
                    drawnPictures.push_back(id);
                }
            }
        } else if (std::strcmp(line.text, "*wait") != 0) {
            if (handle >= 0)
                DrawStringWithFont(static_cast<int>(StringLeft), static_cast<int>(y), line.text, colour, handle, 0, 0);
        }
        y += static_cast<float>(LineHeight(i));
    }
}

void CStaffRollObject::Release() {
    delete[] lines;
    lines = nullptr;
    lineCount = 0;
    firstVisibleLine = 0;
    Objects()->Release(backgroundId);
    backgroundId = -1;
    for (int id : pictures) Objects()->Release(id);
    pictures.clear();
    drawnPictures.clear();
}

void CStaffRollObject::UpdateFrame() {}

}  // namespace Object
