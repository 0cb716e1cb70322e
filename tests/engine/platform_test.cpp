// The platform layer: file-system references that round-trip any path,
// process information and system queries.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tonaropdk/platform/fsref.h"
#include "tonaropdk/platform/macservices.h"

namespace {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tonaro-platform-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    std::string folder_;
};

const uint8_t* Bytes(const std::string& text)
{
    return reinterpret_cast<const uint8_t*>(text.c_str());
}

}  // namespace

TEST_F(PlatformTest, ReferencesRoundTripPathsOfAnyLength)
{
    std::string deep = folder_;
    for (int i = 0; i < 30; ++i) deep += "/a-rather-long-folder-name-" + std::to_string(i);
    ASSERT_TRUE(std::filesystem::create_directories(deep));
    ASSERT_GT(deep.size(), 800u);

    FSRef ref;
    bool isDirectory = false;
    ASSERT_EQ(FSPathMakeRef(Bytes(deep + "/"), &ref, &isDirectory), noErr);
    EXPECT_TRUE(isDirectory);
    std::string out(deep.size() + 1, '\0');
    ASSERT_EQ(FSRefMakePath(&ref, reinterpret_cast<uint8_t*>(out.data()), static_cast<uint32_t>(out.size())), noErr);
    EXPECT_EQ(std::string(out.c_str()), deep);

    // A buffer one byte short is refused and untouched.
    std::string small(deep.size(), 'q');
    EXPECT_EQ(FSRefMakePath(&ref, reinterpret_cast<uint8_t*>(small.data()), static_cast<uint32_t>(small.size())),
              buffersTooSmall);
    EXPECT_EQ(small[0], 'q');

    // The same path gives the same reference; a file is not a folder.
    FSRef again;
    ASSERT_EQ(FSPathMakeRef(Bytes(deep), &again, nullptr), noErr);
    EXPECT_EQ(std::memcmp(&ref, &again, sizeof ref), 0);
    const std::string file = folder_ + "/settings.txt";
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    FSRef fileRef;
    ASSERT_EQ(FSPathMakeRef(Bytes(file), &fileRef, &isDirectory), noErr);
    EXPECT_FALSE(isDirectory);
}

TEST_F(PlatformTest, MissingItemsAndForeignReferencesAreRefused)
{
    FSRef ref;
    std::memset(&ref, 0x5A, sizeof ref);
    const FSRef before = ref;
    EXPECT_EQ(FSPathMakeRef(Bytes(folder_ + "/missing"), &ref, nullptr), fnfErr);
    EXPECT_EQ(std::memcmp(&ref, &before, sizeof ref), 0);
    EXPECT_EQ(FSPathMakeRef(Bytes(""), &ref, nullptr), paramErr);
    EXPECT_EQ(FSPathMakeRef(nullptr, &ref, nullptr), paramErr);

    uint8_t path[256];
    EXPECT_EQ(FSRefMakePath(&ref, path, sizeof path), paramErr);  // not made here
    FSRef zero{};
    EXPECT_EQ(FSRefMakePath(&zero, path, sizeof path), paramErr);
    EXPECT_EQ(FSRefMakePath(nullptr, path, sizeof path), paramErr);

    // An item removed after the reference was made no longer resolves.
    const std::string gone = folder_ + "/gone";
    ASSERT_TRUE(std::filesystem::create_directory(gone));
    ASSERT_EQ(FSPathMakeRef(Bytes(gone), &ref, nullptr), noErr);
    std::filesystem::remove(gone);
    EXPECT_EQ(FSRefMakePath(&ref, path, sizeof path), fnfErr);
}

TEST(Platform, ProcessInformationNamesTheRunningProgram)
{
    ProcessSerialNumber self{0, kCurrentProcess};
    uint8_t name[32] = {};
    TonPathSpec2012 spec{};
    ProcessInfoRec info{};
    info.processInfoLength = kProcessInfoRecLength;
    info.processName = name;
    info.processAppSpec = &spec;
    ASSERT_EQ(GetProcessInformation(&self, &info), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "engine_tests");

    uint8_t folder[4096];
    ASSERT_EQ(FSRefMakePath(&spec.parent, folder, sizeof folder), noErr);
    std::string program(reinterpret_cast<char*>(folder));
    program += "/";
    for (int i = 0; i < spec.nameLength; ++i) program.push_back(static_cast<char>(spec.name[i]));
    EXPECT_EQ(std::filesystem::canonical("/proc/self/exe").string(), std::filesystem::canonical(program).string());

    ProcessSerialNumber other{0, 77};
    EXPECT_EQ(GetProcessInformation(&other, &info), procNotFound);
    info.processInfoLength = 12;
    EXPECT_EQ(GetProcessInformation(&self, &info), paramErr);
    EXPECT_EQ(GetProcessInformation(&self, nullptr), paramErr);
}

TEST(Platform, GestaltAndResourceFile)
{
    int32_t version = 0;
    ASSERT_EQ(Gestalt(gestaltSystemVersion, &version), noErr);
    EXPECT_GE(version, 0x1000);
    int32_t untouched = 9;
    EXPECT_EQ(Gestalt(0x7878787A, &untouched), gestaltUndefSelectorErr);
    EXPECT_EQ(untouched, 9);
    EXPECT_EQ(Gestalt(gestaltSystemVersion, nullptr), paramErr);
    EXPECT_GT(CurResFile(), 0);
}
