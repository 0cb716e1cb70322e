#include "tonaroframework/base/fcresourcestrings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"

namespace {

namespace fs = std::filesystem;

// A resource folder with a few tables, registered under a test identifier.
class ResourceStringsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _folder = fs::temp_directory_path() /
                  ("fcresourcestrings_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(_folder);
        Write("Localizable.strings",
              "// comment\n"
              "# comment\n"
              "\n"
              "\"greeting\" = \"Hello, \\\"you\\\"\";\n"
              "plain = Plain value  \r\n"
              "plain = second entry loses\n"
              "euro = \xE2\x82\xAC 5\n"
              "lines = \"one\\ntwo\"\n"
              "broken = \"no end\n");
        Write("Dialog.strings", "title = Change Pitches\n");
        ASSERT_TRUE(RegisterResourceBundle("com.test.zp", _folder.c_str()));
    }

    void TearDown() override
    {
        UnregisterResourceBundle("com.test.zp");
        SetTonaroFrameworkVersion(0x12000000);
        fs::remove_all(_folder);
    }

    void Write(const char* name, const std::string& contents)
    {
        std::ofstream(_folder / name, std::ios::binary) << contents;
    }

    fs::path _folder;
};

}  // namespace

TEST_F(ResourceStringsTest, LooksUpBothLineFormsFirstEntryWinning)
{
    FCString text;
    EXPECT_TRUE(text.LoadResource("greeting", "com.test.zp", "Localizable"));
    EXPECT_STREQ(text.GetCString(), "Hello, \"you\"");
    EXPECT_TRUE(text.LoadResource("plain"));
    EXPECT_STREQ(text.GetCString(), "Plain value");
    EXPECT_TRUE(text.LoadResource("lines"));
    EXPECT_STREQ(text.GetCString(), "one\ntwo");
    EXPECT_TRUE(text.LoadResource("euro"));
    EXPECT_EQ(text.GetItemAt(0), 0x20AC);
}

TEST_F(ResourceStringsTest, MissingKeysAndTablesGiveTheKeyItself)
{
    FCString text;
    EXPECT_TRUE(text.LoadResource("absent", "com.test.zp", "Localizable"));
    EXPECT_STREQ(text.GetCString(), "absent");
    EXPECT_TRUE(text.LoadResource("broken"));
    EXPECT_STREQ(text.GetCString(), "broken");
    EXPECT_TRUE(text.LoadResource("title", nullptr, "NoSuchTable"));
    EXPECT_STREQ(text.GetCString(), "title");
    EXPECT_TRUE(text.LoadResource("title", nullptr, "../Dialog"));
    EXPECT_STREQ(text.GetCString(), "title");
}

TEST_F(ResourceStringsTest, RemembersTheBundleAndTheTable)
{
    FCString text;
    EXPECT_TRUE(text.LoadResource("title", "com.test.zp", "Dialog"));
    EXPECT_STREQ(text.GetCString(), "Change Pitches");
    // Later calls without bundle or table use the remembered ones.
    FCString again;
    EXPECT_TRUE(again.LoadResource("title"));
    EXPECT_STREQ(again.GetCString(), "Change Pitches");

    // An unknown bundle is remembered too, so later calls fail as well.
    EXPECT_FALSE(text.LoadResource("title", "com.test.unknown", "Dialog"));
    EXPECT_STREQ(text.GetCString(), "Resource String Error");
    EXPECT_FALSE(again.LoadResource("title"));
    EXPECT_STREQ(again.GetCString(), "Resource String Error");

    EXPECT_TRUE(text.LoadResource("title", "com.test.zp"));
    EXPECT_STREQ(text.GetCString(), "Change Pitches");
    EXPECT_FALSE(text.LoadResource(nullptr));
    EXPECT_STREQ(text.GetCString(), "Resource String Error");
}

TEST_F(ResourceStringsTest, OlderHostsGetMacRomanText)
{
    SetTonaroFrameworkVersion(0x10000000);
    Write("Old.strings", "sign = caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80\n");
    FCString text;
    EXPECT_TRUE(text.LoadResource("sign", "com.test.zp", "Old"));
    // é is 0x8E and € 0xDB in Mac Roman; a character it lacks becomes "?".
    EXPECT_STREQ(text.GetCString(), "caf\x8E \xDB ?");
}

TEST(ResourceBundleRegistry, RegistersReplacesAndForgets)
{
    EXPECT_FALSE(RegisterResourceBundle(nullptr, "/tmp"));
    EXPECT_FALSE(RegisterResourceBundle("id", ""));
    EXPECT_EQ(FindResourceBundleFolder("com.test.registry"), nullptr);
    EXPECT_TRUE(RegisterResourceBundle("com.test.registry", "/a"));
    EXPECT_TRUE(RegisterResourceBundle("com.test.registry", "/b"));
    EXPECT_STREQ(FindResourceBundleFolder("com.test.registry"), "/b");
    EXPECT_TRUE(UnregisterResourceBundle("com.test.registry"));
    EXPECT_FALSE(UnregisterResourceBundle("com.test.registry"));
    EXPECT_EQ(FindResourceBundleFolder("com.test.registry"), nullptr);
}
