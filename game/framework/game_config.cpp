// Where the game's files go, the options read from and written back to the
// configuration file, and the key configuration.
#include "game/framework/game_config.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/framework/file_numbers.h"
#include "game/framework/input_manager.h"
#include "platform/kernel/kernel.h"
#include "platform/shell/shell.h"
#include "platform/user/user.h"

char DataFolderPath[kConfigPathSize] = ".";
char ConfigFilePath[kConfigPathSize] = "./config_ver_1.xml";

namespace {

GameConfig TheConfig;

const char kConfigName[] = "config_ver_1.xml";

// The whole file, read through the platform so that Windows-shaped paths
// (the application-data folder) work as well as relative ones.
bool ReadWholeFile(const char* path, std::string& text) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    text.clear();
    char block[4096];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, block, sizeof(block), &read, nullptr) != FALSE) && read > 0) text.append(block, read);
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const char* path, const std::string& text) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE &&
                    written == text.size();
    CloseHandle(file);
    return ok;
}

// A document with its elements side by side at the top level; false (and
// an empty document) when the file is missing, empty or broken.
bool LoadDocument(const char* path, TiXmlDocument& document) {
    std::string raw;
    if (!ReadWholeFile(path, raw)) return false;
    // Line ends become line feeds, as TinyXML's own file load makes them.
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
        } else {
            text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        }
    }
    document.Parse(text.c_str());
    if (document.Error()) {
        document.Clear();
        return false;
    }
    return true;
}

bool SaveDocument(const char* path, const TiXmlDocument& document) {
    TiXmlPrinter printer;
    document.Accept(&printer);
    return WriteWholeFile(path, std::string(printer.CStr(), printer.Size()));
}

// The file's numbers are held to their ranges, never refused: a number
// beyond int's range is held at its end.
int Number(const char* text) { return File::ReadClampedInt(text, File::kAnyInt); }

// Absent: the default; present: its decimal value (text that is no number
// counts as 0), clamped to 0..100.
int VolumeAttribute(const TiXmlElement* element, const char* name, int fallback) {
    const char* value = element->Attribute(name);
    return value != nullptr ? File::ReadClampedInt(value, File::kVolume) : fallback;
}

bool FlagAttribute(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value != nullptr && Number(value) != 0;
}

bool Append(char* buffer, const char* text) {
    const size_t used = std::strlen(buffer);
    const size_t length = std::strlen(text);
    if (used + length >= static_cast<size_t>(kConfigPathSize)) return false;
    std::memcpy(buffer + used, text, length + 1);
    return true;
}

void ShowNoWriteAccess() {
    MessageBoxA(nullptr,
                "ファイルの書込権限がありません\n"
                "オプションの変更や、セーブデータの保存に失敗します\n"
                "詳しくはマニュアルをお読みください",
                "アクセス権限エラー", MB_ICONHAND);
}

// The folder in the user's application data, or false (both paths then keep
// their places beside the program).
bool UseApplicationDataFolder() {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, TRUE)) return false;
    char data[kConfigPathSize] = {};
    char config[kConfigPathSize] = {};
    // Paths too long for their buffers are refused, never cut.
    if (!Append(data, folder) || !Append(data, "\\Brackenfold")) return false;
    std::memcpy(config, data, sizeof(config));
    if (!Append(config, "\\") || !Append(config, kConfigName)) return false;
    std::memcpy(DataFolderPath, data, sizeof(DataFolderPath));
    std::memcpy(ConfigFilePath, config, sizeof(ConfigFilePath));
    CreateDirectoryA(DataFolderPath, nullptr);  // an existing folder is fine
    return true;
}

struct ButtonName {
    const char* name;
    int bit;
};

// In the order of the key configuration's pairs.
constexpr ButtonName kButtonNames[10] = {{"KEY_DOWN", KEY_DOWN}, {"KEY_LEFT", KEY_LEFT}, {"KEY_RIGHT", KEY_RIGHT},
                                         {"KEY_UP", KEY_UP},     {"ATTACK", ATTACK},     {"JUMP", JUMP},
                                         {"CHANGE", CHANGE},     {"D_BUTTON", D_BUTTON}, {"START", START},
                                         {"L_BUTTON", L_BUTTON}};
constexpr int kDefaultPadMasks[10] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512};

}  // namespace

GameConfig* GetGameConfig() {
    static GameConfig* config = InitGameConfig();
    return config;
}

GameConfig* InitGameConfig() {
    TheConfig = GameConfig{};
    std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
    std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./%s", kConfigName);
    if (GetFileAttributesA("./SaveFilesInThisDirectory.ini") != INVALID_FILE_ATTRIBUTES) {
        // The write test; it leaves an empty file where none was.
        HANDLE file = CreateFileA(ConfigFilePath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) ShowNoWriteAccess();
        else CloseHandle(file);
    } else {
        UseApplicationDataFolder();
    }
    LoadGameConfig();
    return &TheConfig;
}

void LoadGameConfig() {
    TheConfig.bgmVolume = 85;
    TheConfig.seVolume = 80;
    TheConfig.fullScreen = false;
    TiXmlDocument document;
    if (!LoadDocument(ConfigFilePath, document)) return;
    for (const TiXmlElement* element = document.FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const std::string name = element->Value();
        if (name == "Fullscreen") {
            TheConfig.fullScreen = FlagAttribute(element, "enable");
        } else if (name == "DesktopComposition") {
            TheConfig.noDesktopComposition = FlagAttribute(element, "enable");
        } else if (name == "Volume") {
            TheConfig.bgmVolume = VolumeAttribute(element, "BGM", 85);
            TheConfig.seVolume = VolumeAttribute(element, "SE", 80);
        }
    }
}

void SaveGameConfig(const GameConfig* config) {
    TiXmlDocument document;
    LoadDocument(ConfigFilePath, document);
    bool fullScreenFound = false;
    bool volumeFound = false;
    for (TiXmlElement* element = document.FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const std::string name = element->Value();
        if (name == "Fullscreen") {
            element->SetAttribute("enable", config->fullScreen ? 1 : 0);
            fullScreenFound = true;
        } else if (name == "Volume") {
            element->SetAttribute("BGM", config->bgmVolume);
            element->SetAttribute("SE", config->seVolume);
            volumeFound = true;
        }
    }
    if (!fullScreenFound) {
        auto* element = new TiXmlElement("Fullscreen");
        element->SetAttribute("enable", config->fullScreen ? 1 : 0);
        document.LinkEndChild(element);
    }
    if (!volumeFound) {
        auto* element = new TiXmlElement("Volume");
        element->SetAttribute("BGM", config->bgmVolume);
        element->SetAttribute("SE", config->seVolume);
        document.LinkEndChild(element);
    }
    SaveDocument(ConfigFilePath, document);
}

namespace Manager {

bool CInputManager::LoadKeyConfig(const char* path, bool* windowedOut, bool* joypadEnabledOut, int* joyIdOut,
                                  JoypadPair pairsOut[10]) {
    *windowedOut = true;
    *joypadEnabledOut = true;
    *joyIdOut = 0;
    for (int i = 0; i < 10; ++i) pairsOut[i] = JoypadPair{kDefaultPadMasks[i], kButtonNames[i].bit};
    TiXmlDocument document;
    if (path == nullptr || !LoadDocument(path, document)) return true;
    for (const TiXmlElement* element = document.FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const std::string name = element->Value();
        if (name == "Fullscreen") {
            *windowedOut = !FlagAttribute(element, "enable");
        } else if (name == "KeyConfig") {
            if (const char* id = element->Attribute("joy_id")) *joyIdOut = Number(id);
            if (const char* enable = element->Attribute("enable")) *joypadEnabledOut = Number(enable) != 0;
            for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
                 child = child->NextSiblingElement()) {
                for (int i = 0; i < 10; ++i) {
                    if (std::strcmp(child->Value(), kButtonNames[i].name) != 0) continue;
                    const char* button = child->Attribute("button");
                    pairsOut[i] = JoypadPair{button != nullptr ? Number(button) : 0, kButtonNames[i].bit};
                }
            }
        }
    }
    return true;
}

}  // namespace Manager
