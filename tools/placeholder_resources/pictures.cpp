#include "tools/placeholder_resources/pictures.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace placeholder {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Has(const std::string& lowerName, const char* part) { return lowerName.find(part) != std::string::npos; }

// One colour per name, so that neighbouring frames of an animation differ.
Colour ColourOf(const std::string& name, uint8_t alpha) {
    uint32_t hash = 2166136261u;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return Colour{static_cast<uint8_t>(40 + hash % 150), static_cast<uint8_t>(40 + (hash >> 8) % 150),
                  static_cast<uint8_t>(40 + (hash >> 16) % 150), alpha};
}

constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kBlack{0, 0, 0, 255};
constexpr Colour kYellow{255, 230, 0, 255};
constexpr Colour kRed{255, 40, 40, 255};

// Size rules, first match wins; names are compared in lower case.
struct ShapeRule {
    const char* part;
    PictureShape shape;
};

constexpr ShapeRule kRules[] = {
    // Sheets the game cuts into cells.
    {"picture\\figures.png", {324, 20, 0, 0, false}},
    {"selection\\select_menus.png", {512, 512, 0, 0, false}},
    {"load\\now_loading.png", {1024, 512, 256, 32, false}},
    {"addbossbutch\\bb_added_00.png", {640, 1024, 640, 128, true}},
    {"addbossbutch\\bb_added_01.png", {640, 640, 640, 128, true}},
    {"selection\\boss_command.png", {320, 160, 0, 0, false}},
    // The battle's cockpit and bars.
    {"bossbattle\\hpbar.png", {640, 64, 0, 0, false}},
    {"bossbattle\\cockpit.png", {640, 92, 0, 0, false}},
    {"bossbattle\\hpscale.png", {8, 16, 0, 0, false}},
    {"bossbattle\\psychicpower.png", {2, 8, 0, 0, false}},
    {"bossbattle\\cockpit_console_", {160, 24, 0, 0, false}},
    {"bossbattle\\cockpit\\", {160, 64, 0, 0, false}},
    {"bossbattle\\tamselscan.png", {64, 64, 0, 0, false}},
    {"bossbattle\\weakpoint.png", {64, 64, 0, 0, false}},
    {"bossbattle\\option\\", {64, 64, 0, 0, false}},
    {"bossbattle\\standby\\robo_frame\\", {256, 320, 0, 0, false}},
    {"bossbattle\\standby\\char_display\\", {320, 192, 0, 0, false}},
    {"bossbattle\\standby\\weapon_display\\", {160, 96, 0, 0, false}},
    {"bossbattle\\standby\\standby_text\\", {256, 48, 0, 0, false}},
    {"bossbattle\\standby\\go_button\\", {192, 64, 0, 0, false}},
    {"bossbattle\\standby\\", {640, 480, 0, 0, false}},
    {"bossbattle\\consecutionbossbattle\\", {640, 480, 0, 0, true}},
    // Robots: large enough for the hit boxes the battle tests against them.
    {"bossbattle\\gravoid\\", {352, 404, 0, 0, false}},
    {"bossbattle\\wendirobo\\", {352, 404, 0, 0, false}},
    {"bossbattle\\battleship\\", {352, 404, 0, 0, false}},
    {"bossbattle\\dobbin\\", {352, 404, 0, 0, false}},
    {"bossbattle\\ormund\\", {352, 404, 0, 0, false}},
    {"bossbattle\\darkgravoid\\", {352, 404, 0, 0, false}},
    {"bossbattle\\", {256, 256, 0, 0, false}},
    // Effects.
    {"effect\\whiteflash.png", {640, 480, 0, 0, false}},
    {"effect\\robo_burst\\robo_burst_back", {640, 480, 0, 0, false}},
    {"effect\\robo_burst\\", {256, 256, 0, 0, false}},
    {"effect\\solvane\\", {256, 256, 0, 0, false}},
    {"effect\\ray\\", {640, 64, 0, 0, false}},
    {"effect\\laser\\", {640, 32, 0, 0, false}},
    // The stage: 64-pixel tiles, the platforms at the sizes their floors
    // have, the player's 128-pixel frames and the enemies at their sizes.
    {"mapchip\\stage_elevator.png", {448, 64, 0, 0, false}},
    {"mapchip\\stage_sinking_floor.png", {64, 256, 0, 0, false}},
    {"\\mapchip\\", {64, 64, 0, 0, false}},
    {"\\item\\", {64, 64, 0, 0, false}},
    {"\\barrage\\", {64, 64, 0, 0, false}},
    {"_stream.png", {640, 64, 64, 64, false}},
    {"enemy\\stone_snake\\", {128, 256, 0, 0, false}},
    {"enemy\\mirelle\\", {128, 128, 0, 0, false}},
    {"enemy\\chinton\\", {128, 128, 0, 0, false}},
    {"enemy\\fenwa\\", {128, 128, 0, 0, false}},
    {"\\enemy\\", {64, 64, 0, 0, false}},
    {"\\playercharacter\\", {128, 128, 0, 0, false}},
    // Full-screen pictures.
    {"\\background\\", {640, 480, 0, 0, true}},
    {"\\opening\\", {640, 480, 0, 0, true}},
    {"howto\\arrow_", {40, 60, 0, 0, false}},
    {"\\howto\\", {640, 480, 0, 0, true}},
    {"\\title\\", {640, 480, 0, 0, true}},
    {"config\\option_background.png", {640, 480, 0, 0, true}},
    {"config\\option_cursor.png", {32, 32, 0, 0, false}},
    {"config\\option_menus.png", {224, 224, 0, 0, false}},
    {"config\\option_fulsc", {128, 32, 0, 0, false}},
    {"config\\option_volbar.png", {146, 22, 0, 0, false}},
    {"\\stageselect\\", {640, 480, 0, 0, true}},
    {"stage_clear\\background_stageclear.png", {640, 480, 0, 0, true}},
    {"stage_clear\\mission_clear\\", {448, 128, 0, 0, false}},
    {"stage_clear\\", {256, 256, 0, 0, false}},
    {"gameover\\", {512, 256, 0, 0, false}},
    {"circle_logo.png", {512, 512, 0, 0, false}},
    {"standpicture\\", {320, 480, 0, 0, false}},
    {"senario\\message_window.png", {640, 160, 0, 0, false}},
    {"ending\\staffroll_logo.png", {320, 120, 0, 0, false}},
};

constexpr PictureShape kDefaultShape{128, 128, 0, 0, false};

// The boxes the battle tests against a robot, as offsets from the picture's
// top-left corner: the player robot's hurt box, each boss's body box and
// its 32 x 32 weak point.
struct RobotBoxes {
    const char* part;
    int left, top, right, bottom;
    int weakX, weakY;  // -1: none
};

constexpr RobotBoxes kRobotBoxes[] = {
    {"bossbattle\\gravoid\\", 160, 100, 240, 300, -1, -1},
    {"bossbattle\\wendirobo\\", 150, 140, 300, 340, 250, 140},
    {"bossbattle\\battleship\\", 70, 205, 350, 320, 284, 189},
    {"bossbattle\\dobbin\\", 140, 70, 250, 400, 164, 79},
    {"bossbattle\\ormund\\", 200, 70, 320, 300, 228, 271},
    {"bossbattle\\darkgravoid\\", 260, 130, 350, 370, 266, 210},
};

// The hit boxes of the stage's sprites, as offsets from the picture's
// top-left corner: the player's body box and each enemy size's box.
struct SpriteBox {
    const char* part;
    int left, top, right, bottom;
};

constexpr SpriteBox kSpriteBoxes[] = {
    {"\\playercharacter\\", 50, 40, 73, 110},
    {"enemy\\stone_snake\\", 32, 32, 96, 224},
    {"enemy\\mirelle\\", 32, 32, 96, 96},
    {"enemy\\chinton\\", 32, 32, 96, 96},
    {"enemy\\fenwa\\", 32, 32, 96, 96},
    {"enemy\\hamushi\\", 20, 20, 44, 44},
    {"enemy\\boushituki_watadama\\", 20, 20, 44, 44},
    {"enemy\\sekitou\\", 20, 20, 44, 44},
};

// The name without "resource\picture\", which every picture shares.
std::string ShortName(const std::string& name) {
    const std::string prefix = "resource\\picture\\";
    return name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
}

void Label(Canvas& canvas, int x, int y, int width, const std::string& label, const std::string& name) {
    const int scale = width >= 480 ? 2 : 1;
    const int columns = std::max(1, (width - x - 2) / (6 * scale));
    if (!label.empty()) y = canvas.WrappedText(x, y, label, columns, kYellow, scale);
    canvas.WrappedText(x, y, ShortName(name), columns, kWhite, scale);
}

// "Figures.png": the time label (0..56), the digits 0 to 9 from x 57, 14
// apart, the separator (198..207) and the two labels of the boss-rush and
// stage-select screens (207 and 268, 56 wide).
void DrawFigures(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    canvas.FrameRect(0, 0, 57, 20, kYellow);
    canvas.Text(3, 6, "TIME", kWhite);
    for (int d = 0; d < 10; ++d) {
        canvas.FrameRect(57 + 14 * d, 0, 14, 20, Colour{90, 90, 90, 255});
        canvas.Text(57 + 14 * d + 4, 6, std::string(1, static_cast<char>('0' + d)), kWhite);
    }
    canvas.Text(198 + 2, 6, ":", kWhite);
    canvas.FrameRect(207, 0, 56, 20, kYellow);
    canvas.Text(210, 6, "NOW", kWhite);
    canvas.FrameRect(268, 0, 56, 20, kYellow);
    canvas.Text(271, 6, "BEST", kWhite);
}

// "select_menus.png": the main menu's four items in 128 x 32 cells (normal
// row at y 0, highlighted at y 32), and the 384 x 64 plates of the pause
// and game-over menus from y 128 down.
void DrawSelectMenus(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    const char* items[4] = {"STORY", "HOW TO", "OPTIONS", "QUIT"};
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 4; ++i) {
            const Colour back = row == 0 ? Colour{40, 40, 90, 220} : Colour{200, 120, 20, 240};
            canvas.FillRect(128 * i, 32 * row, 128, 32, back);
            canvas.FrameRect(128 * i, 32 * row, 128, 32, kWhite);
            canvas.Text(128 * i + 8, 32 * row + 8, std::string(items[i]) + (row ? " *" : ""), kWhite, 2);
        }
    // The pause menu draws y 128 with y 320 for its first entry and y 192
    // with y 256 for its second; the game-over menu names y 256 and 384 the
    // plain plates and y 320 and 448 the highlighted ones. A '*' marks a
    // highlighted plate.
    const char* plates[6] = {"RESUME *", "RESUME", "TO TITLE", "TO TITLE *", "CONTINUE", "CONTINUE *"};
    for (int i = 0; i < 6; ++i) {
        const int y = 128 + 64 * i;
        const bool lit = std::string(plates[i]).back() == '*';
        const Colour back = lit ? Colour{200, 120, 20, 240} : Colour{40, 40, 90, 220};
        canvas.FillRect(0, y, 384, 64, back);
        canvas.FrameRect(0, y, 384, 64, kWhite);
        canvas.Text(16, y + 20, plates[i], kWhite, 3);
    }
}

void DrawGrid(Canvas& canvas, const PictureShape& shape, const std::string& label, const std::string& name) {
    const int columns = shape.width / shape.cellWidth;
    const int rows = shape.height / shape.cellHeight;
    // The loading sheet is filled column by column, 16 cells to a column.
    const bool columnMajor = shape.cellWidth == 256 && shape.cellHeight == 32;
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row) {
            const int x = column * shape.cellWidth;
            const int y = row * shape.cellHeight;
            const int cell = columnMajor ? column * rows + row : row * columns + column;
            // The loading animation has 60 cells; the rest of its last
            // column stays empty.
            if (columnMajor && cell >= 60) {
                canvas.FillRect(x, y, shape.cellWidth, shape.cellHeight, Colour{0, 0, 0, 0});
                continue;
            }
            canvas.FrameRect(x, y, shape.cellWidth, shape.cellHeight, kWhite);
            char text[32];
            std::snprintf(text, sizeof text, "cell %d", cell);
            canvas.Text(x + 4, y + 4, text, kYellow, shape.cellHeight >= 64 ? 2 : 1);
            if (columnMajor) canvas.FillRect(x + 80, y + 12, (cell % 60) * 2 + 2, 8, kYellow);
        }
    Label(canvas, 4, shape.cellHeight >= 64 ? 24 : 14, std::min(shape.width, shape.cellWidth), label, name);
}

}  // namespace

PictureShape ShapeOfPicture(const std::string& name) {
    const std::string lower = Lower(name);
    for (const ShapeRule& rule : kRules)
        if (Has(lower, rule.part)) return rule.shape;
    return kDefaultShape;
}

Canvas MakePicture(const std::string& name, const std::string& label) {
    const PictureShape shape = ShapeOfPicture(name);
    Canvas canvas(shape.width, shape.height, ColourOf(name, shape.fullScreen ? 255 : 160));
    const std::string lower = Lower(name);
    if (Has(lower, "picture\\figures.png")) {
        DrawFigures(canvas);
        return canvas;
    }
    if (Has(lower, "selection\\select_menus.png")) {
        DrawSelectMenus(canvas);
        return canvas;
    }
    if (shape.cellWidth > 0) {
        DrawGrid(canvas, shape, label, name);
        return canvas;
    }
    canvas.FrameRect(0, 0, shape.width, shape.height, kWhite);
    if (shape.width >= 16 && shape.height >= 16) {
        // The drawing origin (top-left) and the centre, about which the
        // rotated and stretched draws turn.
        canvas.Cross(0, 0, 6, kRed);
        canvas.Cross(shape.width / 2, shape.height / 2, std::min(shape.width, shape.height) / 8, kBlack);
        Label(canvas, 3, 3, shape.width, label, name);
    }
    for (const SpriteBox& box : kSpriteBoxes) {
        if (!Has(lower, box.part)) continue;
        canvas.FrameRect(box.left, box.top, box.right - box.left, box.bottom - box.top, kRed);
        break;
    }
    for (const RobotBoxes& boxes : kRobotBoxes) {
        if (!Has(lower, boxes.part)) continue;
        canvas.FrameRect(boxes.left, boxes.top, boxes.right - boxes.left, boxes.bottom - boxes.top, kRed);
        canvas.Text(boxes.left + 2, boxes.bottom - 10, boxes.weakX < 0 ? "hurt" : "body", kRed);
        if (boxes.weakX >= 0) {
            canvas.FrameRect(boxes.weakX, boxes.weakY, 32, 32, kYellow);
            canvas.Text(boxes.weakX + 2, boxes.weakY + 12, "weak", kYellow);
        }
        break;
    }
    return canvas;
}

}  // namespace placeholder
