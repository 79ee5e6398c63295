// The user's options and where the game keeps its files: beside the program
// when "SaveFilesInThisDirectory.ini" is there, else in the user's roaming
// application-data folder.
#pragma once

struct GameConfig {
    int bgmVolume = 85;  // 0 to 100
    int seVolume = 80;   // 0 to 100
    bool fullScreen = false;
    bool noDesktopComposition = false;
};

constexpr int kConfigPathSize = 256;
// The folder of the save file and the config file's path.
extern char DataFolderPath[kConfigPathSize];
extern char ConfigFilePath[kConfigPathSize];

// Built by InitGameConfig on the first call.
GameConfig* GetGameConfig();
// Chooses the data folder, checks it can be written and reads the file.
GameConfig* InitGameConfig();
void LoadGameConfig();
// Writes full screen and the volumes back, keeping every other element.
void SaveGameConfig(const GameConfig* config);
