#include "platform/profile.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using platform::GetProfileInt;
using platform::GetProfileString;
using platform::WriteProfileString;

namespace {

struct ReadCase {
  const char* name;
  std::string file;  // empty: no file at all
  const char* section;
  const char* key;
  const char* fallback;
  std::string expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FollowsProfileSemantics) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  const ReadCase& c = GetParam();
  if (!c.file.empty()) WriteBytes(path, c.file);
  EXPECT_EQ(GetProfileString(c.section, c.key, c.fallback, path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"SectionAndKeyIgnoreCase", "[General]\r\nDeviceName=Room 3\r\n", "GENERAL",
                 "devicename", "x", "Room 3"},
        ReadCase{"BlanksTrimmed", "[GENERAL]\r\n  Password \t=  secret \t\r\n", "GENERAL",
                 "Password", "x", "secret"},
        ReadCase{"BlanksInsideKept", "[GENERAL]\nName=a  b\n", "GENERAL", "Name", "", "a  b"},
        ReadCase{"QuotesRemoved", "[GENERAL]\nName=\"quoted \"\n", "GENERAL", "Name", "",
                 "quoted "},
        ReadCase{"MissingFile", "", "GENERAL", "guid", "fallback", "fallback"},
        ReadCase{"MissingSection", "[OTHER]\nguid=1\n", "GENERAL", "guid", "d", "d"},
        ReadCase{"MissingKey", "[GENERAL]\nother=1\n", "GENERAL", "guid", "d", "d"},
        ReadCase{"KeyOfOtherSectionIgnored", "[A]\nk=1\n[B]\nk=2\n", "B", "k", "", "2"},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nk=2\n", "A", "k", "", "1"},
        ReadCase{"DefaultTrailingBlanksTrimmed", "", "A", "k", "def  ", "def"},
        ReadCase{"EmptyValue", "[A]\nk=\n", "A", "k", "d", ""},
        ReadCase{"Utf16File", Utf16LeFile("[GENERAL]\r\nRecvPath=/data/in/\r\n"), "general",
                 "RECVPATH", "", "/data/in/"},
        ReadCase{"Utf8WithMark", "\xEF\xBB\xBF[G]\nk=\xE4\xB8\xAD\n", "G", "k", "",
                 "\xE4\xB8\xAD"},
        ReadCase{"CarriageReturnOnly", "[G]\rk=v\r", "G", "k", "", "v"}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileRead, CutsToBufferLength) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteBytes(path, "[G]\nk=" + std::string(600, 'x') + "\n");
  EXPECT_EQ(GetProfileString("G", "k", "", path, 512).size(), 511u);
  // Characters, not bytes: a Chinese text is never cut inside a character.
  WriteBytes(path, "[G]\nk=\xE4\xB8\xAD\xE6\x96\x87\n");
  EXPECT_EQ(GetProfileString("G", "k", "", path, 2), "\xE4\xB8\xAD");
}

TEST(ProfileRead, IntegersAsTheSystemReadsThem) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteBytes(path, "[G]\na=0\nb= 1 \nc=12abc\nd=abc\ne=\n");
  EXPECT_EQ(GetProfileInt("G", "a", 7, path), 0);
  EXPECT_EQ(GetProfileInt("G", "b", 7, path), 1);
  EXPECT_EQ(GetProfileInt("G", "c", 7, path), 12);
  EXPECT_EQ(GetProfileInt("G", "d", 7, path), 0);
  EXPECT_EQ(GetProfileInt("G", "e", 7, path), 7);
  EXPECT_EQ(GetProfileInt("G", "missing", 7, path), 7);
}

struct WriteCase {
  const char* name;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOneLineAndKeepsTheRest) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  const WriteCase& c = GetParam();
  if (!c.before.empty()) WriteBytes(path, c.before);
  ASSERT_TRUE(WriteProfileString(c.section, c.key, std::string_view(c.value), path));
  EXPECT_EQ(ReadBytes(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"NewFile", "", "GENERAL", "guid", "abc", "[GENERAL]\r\nguid=abc\r\n"},
        WriteCase{"ReplaceKeepsNeighbours",
                  "; note\r\n[GENERAL]\r\nA = 1\r\nguid=old\r\nB=2\r\n[X]\r\nguid=x\r\n",
                  "general", "GUID", "new",
                  "; note\r\n[GENERAL]\r\nA = 1\r\nGUID=new\r\nB=2\r\n[X]\r\nguid=x\r\n"},
        WriteCase{"AddKeyAtEndOfSection", "[A]\nk=1\n\n[B]\nk=2\n", "A", "n", "3",
                  "[A]\nk=1\nn=3\n\n[B]\nk=2\n"},
        WriteCase{"AddSectionAtEnd", "[A]\nk=1", "B", "n", "v", "[A]\nk=1\n[B]\nn=v\n"},
        WriteCase{"OnlyByteOrderMark", "\xFF\xFE", "GENERAL", "Password", "",
                  Utf16LeFile("[GENERAL]\r\nPassword=\r\n")},
        WriteCase{"StaysUtf16", Utf16LeFile("[GENERAL]\r\nk=1\r\n"), "GENERAL", "k", "2",
                  Utf16LeFile("[GENERAL]\r\nk=2\r\n")}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileWrite, NoValueRemovesTheKey) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteBytes(path, "[A]\nk=1\nm=2\n");
  ASSERT_TRUE(WriteProfileString("A", "k", std::nullopt, path));
  EXPECT_EQ(ReadBytes(path), "[A]\nm=2\n");
}

TEST(ProfileWrite, ChineseValueRoundTripsThroughUtf16) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteBytes(path, "\xFF\xFE");
  const std::string name = "\xE6\x95\x99\xE5\xAE\xA4 3";  // "教室 3"
  ASSERT_TRUE(WriteProfileString("GENERAL", "DeviceName", name, path));
  EXPECT_EQ(GetProfileString("GENERAL", "DeviceName", "", path), name);
  std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.size() % 2, 0u);
}

}  // namespace
