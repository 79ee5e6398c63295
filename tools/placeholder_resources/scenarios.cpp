#include "tools/placeholder_resources/scenarios.h"

namespace placeholder {

namespace {

// This file is compiled with Shift-JIS literals: the Japanese text below
// lands in the files as the game reads it.
constexpr const char* kFontFace = "ＭＳ 明朝";
constexpr const char* kWindow = "resource\\picture\\senario\\message_window.png";
constexpr const char* kLeftPortrait = "resource\\picture\\standpicture\\ressa\\ressa_stand.png";
constexpr const char* kRightPortrait = "resource\\picture\\standpicture\\kolva\\kolva_stand.png";
constexpr const char* kMusic = "resource\\sound\\BGM\\bgm_talk.ogg";
constexpr const char* kEffect = "resource\\sound\\SE\\se_title_enter.wav";
constexpr const char* kStaffRollPicture = "resource\\picture\\ending\\staffroll_logo.png";

// The file name without its folders and extension.
std::string BaseName(const std::string& name) {
    const size_t slash = name.find_last_of('\\');
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

// The base name in full-width letters and digits, so that every byte pair
// of the script's text is one Shift-JIS character.
std::string FullWidth(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        int code = 0;
        if (c >= '0' && c <= '9') code = 0x824F + (c - '0');
        else if (c >= 'A' && c <= 'Z') code = 0x8260 + (c - 'A');
        else if (c >= 'a' && c <= 'z') code = 0x8281 + (c - 'a');
        else code = 0x8151;  // the full-width low line
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

}  // namespace

std::string ScriptNameOf(const std::string& scenarioName) {
    const size_t dot = scenarioName.find_last_of('.');
    return scenarioName.substr(0, dot) + ".txt";
}

std::string ScenarioXml(const std::string& scenarioName) {
    std::string xml;
    xml += "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n";
    xml += "<config>\r\n";
    xml += std::string("  <font name=\"") + kFontFace + "\" size=\"24\" thinck=\"6\" />\r\n";
    xml += "  <speed char_frame_speed=\"1\" />\r\n";
    xml += std::string("  <window id=\"0\" file=\"") + kWindow +
           "\" dir=\"\" size_x=\"640\" size_y=\"160\" lefttop_x=\"0\" lefttop_y=\"0\" />\r\n";
    xml += std::string("  <stand_picture id=\"1\" file=\"") + kLeftPortrait +
           "\" dir=\"\" size_x=\"320\" size_y=\"480\" lefttop_x=\"0\" lefttop_y=\"0\" rightbottom_x=\"320\" "
           "rightbottom_y=\"480\" />\r\n";
    xml += std::string("  <stand_picture id=\"2\" file=\"") + kRightPortrait +
           "\" dir=\"\" size_x=\"320\" size_y=\"480\" lefttop_x=\"0\" lefttop_y=\"0\" rightbottom_x=\"320\" "
           "rightbottom_y=\"480\" />\r\n";
    xml += std::string("  <BGM file=\"") + kMusic + "\" dir=\"\" />\r\n";
    xml += std::string("  <SE id=\"1\" file=\"") + kEffect + "\" dir=\"\" />\r\n";
    xml += "</config>\r\n";
    xml += "<senario file=\"" + ScriptNameOf(scenarioName) + "\" dir=\"\" name=\"" + BaseName(scenarioName) +
           "\" />\r\n";
    return xml;
}

std::string ScenarioScript(const std::string& scenarioName) {
    // Every command and marker once: a comment, windows, portraits (plain
    // and additive with colour), the text position, fades both ways, a
    // wait, the music's play, pause, resume and stop, an effect, pauses,
    // line breaks, a wait for input and page ends.
    std::string script;
    script += "; " + BaseName(scenarioName) + "\r\n";
    script += "*set window 0 0 320\r\n";
    script += "*set strpos 40 340\r\n";
    script += "*set picture 1 0 0 0\r\n";
    script += "*set picture 2 320 0 0 255 200 200 add\r\n";
    script += "*bgm play\r\n";
    script += "*fade in 1 32\r\n";
    script += FullWidth(BaseName(scenarioName)) + "\r\n";
    script += "シナリオの　しけん　です。%\r\n";
    script += "; the second page\r\n";
    script += "*fade in 2 32\r\n";
    script += "*wait 10\r\n";
    script += "*bgm pause\r\n";
    script += "*se play 1\r\n";
    script += "*bgm resume\r\n";
    script += "まって　ください　 @\r\n";
    script += "つづき　です。\r\n";
    script += "*fade out 1 32\r\n";
    script += "おわり　です。%\r\n";
    script += "*bgm stop\r\n";
    return script;
}

std::string StaffRollScript() {
    std::string script;
    script += "FontSize=24\r\n";
    script += "FontThick=4\r\n";
    script += std::string("FontName=") + kFontFace + "\r\n";
    script += "StringLeft=200\r\n";
    script += "ScrollSpeed=2\r\n";
    script += "StopWhenFinished=1\r\n";
    script += "BGColor=0,0,0\r\n";
    script += "TextColor=255,255,255\r\n";
    script += "*begin\r\n";
    script += "スタッフ\r\n";
    script += "\\\r\n";
    script += std::string("*show,") + kStaffRollPicture + ",,160,320,120\r\n";
    script += "\r\n";
    script += "プログラム\r\n";
    script += "*wait,30\r\n";
    script += "グラフィック\r\n";
    script += "\\\r\n";
    script += std::string("*show,") + kStaffRollPicture + ",,160,320,60,0,60,0,0\r\n";
    script += "サウンド\r\n";
    script += "\\\r\n";
    script += "おわり\r\n";
    script += "*end\r\n";
    return script;
}

std::vector<std::string> ScenarioResources() {
    return {kWindow, kLeftPortrait, kRightPortrait, kMusic, kEffect, kStaffRollPicture};
}

}  // namespace placeholder
