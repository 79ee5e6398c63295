// The configuration file: what each file gives, what saving writes back,
// the key configuration, and where the data folder is.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/framework/game_config.h"
#include "game/framework/input_manager.h"
#include "tests/support/game/game_test.h"

namespace {

class GameConfigTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        GetGameConfig();  // built once for the whole program
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
    }
    void TearDown() override {
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        GameTest::TearDown();
    }
    std::string ConfigText() const { return folder_.readFile("config_ver_1.xml"); }
};

struct ConfigCase {
    const char* name;
    const char* file;  // null: no file
    int bgm;
    int se;
    bool fullScreen;
    bool noComposition;
    const char* saved;  // after saving what was read
};

const ConfigCase kConfigCases[] = {
    {"Clamped", "<Volume BGM=\"150\" SE=\"-5\" />", 100, 0, false, false,
     "<Volume BGM=\"100\" SE=\"0\" />\n<Fullscreen enable=\"0\" />\n"},
    {"VolumeWithoutAttributes", "<Volume />", 85, 80, false, false,
     "<Volume BGM=\"85\" SE=\"80\" />\n<Fullscreen enable=\"0\" />\n"},
    {"NotANumberIsZero", "<Volume BGM=\"loud\" SE=\"40\" /><Fullscreen enable=\"yes\" />", 0, 40, false, false,
     "<Volume BGM=\"0\" SE=\"40\" />\n<Fullscreen enable=\"0\" />\n"},
    {"KeyConfigOnly", "<KeyConfig joy_id=\"0\" enable=\"1\"><JUMP button=\"32\" /></KeyConfig>", 85, 80, false, false,
     "<KeyConfig joy_id=\"0\" enable=\"1\">\n    <JUMP button=\"32\" />\n</KeyConfig>\n<Fullscreen enable=\"0\" />\n"
     "<Volume BGM=\"85\" SE=\"80\" />\n"},
    {"UnknownElementsKept",
     "<Window x=\"3\">text</Window><Fullscreen enable=\"2\" /><DesktopComposition enable=\"1\" />", 85, 80, true, true,
     "<Window x=\"3\">text</Window>\n<Fullscreen enable=\"1\" />\n<DesktopComposition enable=\"1\" />\n"
     "<Volume BGM=\"85\" SE=\"80\" />\n"},
    {"WindowsLineEnds", "<Window>\r\nline\r\n</Window>\r\n<Volume BGM=\"5\" />\r\n", 5, 80, false, false,
     "<Window>line</Window>\n<Volume BGM=\"5\" SE=\"80\" />\n<Fullscreen enable=\"0\" />\n"},
    {"LaterElementsWin", "<Volume BGM=\"10\" SE=\"20\" /><Volume BGM=\"30\" />", 30, 80, false, false,
     "<Volume BGM=\"30\" SE=\"80\" />\n<Volume BGM=\"30\" SE=\"80\" />\n<Fullscreen enable=\"0\" />\n"},
    // Numbers beyond int's range are held at its ends: never wrapped into
    // another value.
    {"NumbersBeyondIntAreHeld",
     "<Volume BGM=\"99999999999\" SE=\"-99999999999\" /><Fullscreen enable=\"4294967296\" />"
     "<DesktopComposition enable=\"-4294967296\" />",
     100, 0, true, true,
     "<Volume BGM=\"100\" SE=\"0\" />\n<Fullscreen enable=\"1\" />\n<DesktopComposition enable=\"-4294967296\" />\n"},
    {"MissingFile", nullptr, 85, 80, false, false, "<Fullscreen enable=\"0\" />\n<Volume BGM=\"85\" SE=\"80\" />\n"},
    {"EmptyFile", "", 85, 80, false, false, "<Fullscreen enable=\"0\" />\n<Volume BGM=\"85\" SE=\"80\" />\n"},
    {"BrokenXml", "<Volume BGM=\"10\" SE=\"20\" /><Fullscreen enable=\"1\"", 85, 80, false, false,
     "<Fullscreen enable=\"0\" />\n<Volume BGM=\"85\" SE=\"80\" />\n"},
};

TEST_F(GameConfigTest, FilesLoadAndSaveBack) {
    for (const ConfigCase& c : kConfigCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder_.hostPath() + "/config_ver_1.xml");
        if (c.file != nullptr) WriteFile("config_ver_1.xml", c.file);
        GameConfig* config = GetGameConfig();
        *config = GameConfig{};
        config->bgmVolume = 1;
        config->seVolume = 2;
        config->fullScreen = true;
        LoadGameConfig();
        EXPECT_EQ(config->bgmVolume, c.bgm);
        EXPECT_EQ(config->seVolume, c.se);
        EXPECT_EQ(config->fullScreen, c.fullScreen);
        EXPECT_EQ(config->noDesktopComposition, c.noComposition);
        SaveGameConfig(config);
        EXPECT_EQ(ConfigText(), c.saved);
    }
}

TEST_F(GameConfigTest, SavingWritesTheOptionsGiven) {
    WriteFile("config_ver_1.xml", "<Fullscreen enable=\"0\" /><Volume BGM=\"85\" SE=\"80\" />");
    GameConfig changed;
    changed.fullScreen = true;
    changed.bgmVolume = 0;
    changed.seVolume = 100;
    SaveGameConfig(&changed);
    EXPECT_EQ(ConfigText(), "<Fullscreen enable=\"1\" />\n<Volume BGM=\"0\" SE=\"100\" />\n");
    LoadGameConfig();
    EXPECT_TRUE(GetGameConfig()->fullScreen);
    EXPECT_EQ(GetGameConfig()->bgmVolume, 0);
    EXPECT_EQ(GetGameConfig()->seVolume, 100);
}

TEST_F(GameConfigTest, KeyConfigurationReadsPadMasksAndFlags) {
    const JoypadPair defaults[10] = {{1, KEY_DOWN}, {2, KEY_LEFT}, {4, KEY_RIGHT}, {8, KEY_UP},    {16, ATTACK},
                                     {32, JUMP},    {64, CHANGE},  {128, D_BUTTON}, {256, START}, {512, L_BUTTON}};
    bool windowed = false, enabled = false;
    int joyId = -1;
    JoypadPair pairs[10] = {};
    ASSERT_TRUE(Manager::CInputManager::LoadKeyConfig("./config_ver_1.xml", &windowed, &enabled, &joyId, pairs));
    EXPECT_TRUE(windowed);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(joyId, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(pairs[i].mask, defaults[i].mask) << i;
        EXPECT_EQ(pairs[i].button, defaults[i].button) << i;
    }

    WriteFile("config_ver_1.xml",
              "<Fullscreen enable=\"1\" />"
              "<KeyConfig joy_id=\"2\" enable=\"0\">"
              "<KEY_UP button=\"4096\" /><JUMP /><TURBO button=\"7\" /><L_BUTTON button=\"x\" />"
              "</KeyConfig>");
    ASSERT_TRUE(Manager::CInputManager::LoadKeyConfig("./config_ver_1.xml", &windowed, &enabled, &joyId, pairs));
    EXPECT_FALSE(windowed);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(joyId, 2);
    JoypadPair expected[10];
    std::copy(std::begin(defaults), std::end(defaults), expected);
    expected[3].mask = 4096;  // KEY_UP
    expected[5].mask = 0;     // JUMP without a button: never
    expected[9].mask = 0;     // not a number
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(pairs[i].mask, expected[i].mask) << i;
        EXPECT_EQ(pairs[i].button, expected[i].button) << i;
    }

    // Numbers beyond int's range are held at its ends.
    WriteFile("config_ver_1.xml",
              "<Fullscreen enable=\"-4294967296\" />"
              "<KeyConfig joy_id=\"4294967298\" enable=\"4294967296\">"
              "<KEY_UP button=\"4294967296\" /><JUMP button=\"-99999999999\" />"
              "</KeyConfig>");
    ASSERT_TRUE(Manager::CInputManager::LoadKeyConfig("./config_ver_1.xml", &windowed, &enabled, &joyId, pairs));
    EXPECT_FALSE(windowed);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(joyId, INT_MAX);
    EXPECT_EQ(pairs[3].mask, INT_MAX);
    EXPECT_EQ(pairs[5].mask, INT_MIN);
}

// With the marker file beside the program, every file stays there, and the
// write test leaves an empty config file; without it, the files go to the
// user's data folder.
TEST_F(GameConfigTest, TheDataFolderFollowsTheMarkerFile) {
    WriteFile("SaveFilesInThisDirectory.ini", "");
    InitGameConfig();
    EXPECT_STREQ(DataFolderPath, ".");
    EXPECT_STREQ(ConfigFilePath, "./config_ver_1.xml");
    EXPECT_TRUE(std::filesystem::exists(folder_.hostPath() + "/config_ver_1.xml"));
    EXPECT_EQ(ConfigText(), "");
    EXPECT_TRUE(messageBoxes.empty());

    std::filesystem::remove(folder_.hostPath() + "/SaveFilesInThisDirectory.ini");
    std::filesystem::remove(folder_.hostPath() + "/config_ver_1.xml");
    const std::string dataHome = folder_.hostPath() + "/xdg-data";
    std::filesystem::create_directories(dataHome + "/Brackenfold");
    std::ofstream(dataHome + "/Brackenfold/config_ver_1.xml") << "<Volume BGM=\"10\" SE=\"20\" />";
    const GameConfig* config = InitGameConfig();
    std::string folder = "C:" + dataHome + "/Brackenfold";
    for (char& ch : folder)
        if (ch == '/') ch = '\\';
    EXPECT_EQ(std::string(DataFolderPath), folder);
    EXPECT_EQ(std::string(ConfigFilePath), folder + "\\config_ver_1.xml");
    EXPECT_EQ(config->bgmVolume, 10);
    EXPECT_EQ(config->seVolume, 20);
    EXPECT_FALSE(std::filesystem::exists(folder_.hostPath() + "/config_ver_1.xml"));
    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(GameConfigTest, TheUserDataFolderIsMadeWhenMissing) {
    InitGameConfig();
    EXPECT_TRUE(std::filesystem::is_directory(folder_.hostPath() + "/xdg-data/Brackenfold"));
}

TEST_F(GameConfigTest, NoWriteAccessBesideTheProgramIsReportedAndTheGameGoesOn) {
    WriteFile("SaveFilesInThisDirectory.ini", "");
    // A folder in the config file's place cannot be opened for writing.
    std::filesystem::create_directory(folder_.hostPath() + "/config_ver_1.xml");
    const GameConfig* config = InitGameConfig();
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_EQ(messageBoxes[0].owner, nullptr);
    EXPECT_EQ(messageBoxes[0].caption, "アクセス権限エラー");
    EXPECT_EQ(messageBoxes[0].text,
              "ファイルの書込権限がありません\n"
              "オプションの変更や、セーブデータの保存に失敗します\n"
              "詳しくはマニュアルをお読みください");
    EXPECT_EQ(messageBoxes[0].type, MB_ICONHAND);
    EXPECT_EQ(config->bgmVolume, 85);
    EXPECT_STREQ(DataFolderPath, ".");
}

// A user data folder whose paths do not fit their 256-byte buffers is not
// used: the files stay beside the program.
TEST_F(GameConfigTest, AUserDataFolderTooLongForThePathBuffersIsRefused) {
    std::string dataHome = folder_.hostPath();
    while (dataHome.size() < 240) dataHome += "/deeper";
    std::filesystem::create_directories(dataHome);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    InitGameConfig();
    EXPECT_STREQ(DataFolderPath, ".");
    EXPECT_STREQ(ConfigFilePath, "./config_ver_1.xml");
}

}  // namespace
