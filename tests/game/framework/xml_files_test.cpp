// Reading an XML document through the framework's files: the text ends with
// a zero byte whatever the file holds, and missing or empty files give none.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <cstring>

#include "game/framework/resource_managers.h"
#include "tests/support/game/game_test.h"

namespace {

class XmlFilesTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
    }
};

TEST_F(XmlFilesTest, ADocumentIsReadWithItsTextEnded) {
    const char text[] = "<scene name=\"opening\" /><font size=\"42\" />";
    WriteFile("resource\\senario\\opening.xml", text);
    char* buffer = nullptr;
    TiXmlDocument* document = nullptr;
    ASSERT_TRUE(LoadXmlDocumentFromFile("resource\\senario\\opening.xml", &buffer, &document));
    EXPECT_EQ(std::memcmp(buffer, text, sizeof(text)), 0);  // with the zero byte
    ASSERT_NE(document->FirstChildElement("font"), nullptr);
    EXPECT_STREQ(document->FirstChildElement("font")->Attribute("size"), "42");
    delete[] buffer;
    delete document;
}

TEST_F(XmlFilesTest, MissingAndEmptyFilesGiveNoDocument) {
    WriteFile("empty.xml", "");
    for (const char* name : {"missing.xml", "empty.xml"}) {
        char* buffer = nullptr;
        TiXmlDocument* document = nullptr;
        EXPECT_FALSE(LoadXmlDocumentFromFile(name, &buffer, &document)) << name;
        EXPECT_EQ(buffer, nullptr);
        EXPECT_EQ(document, nullptr);
    }
}

}  // namespace
