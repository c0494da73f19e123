// Proves the platform layer: streams (short reads, seeking past the end, locks), strict UTF-8, UTF-16,
// the locale facts and file-name masks.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "platform/TextCodec.h"

namespace pw {
namespace {

using test::Bytes;

TEST(FileStream, SeekPastEndLeavesZeroGapAndShortReadFails) {
  test::TempDir dir;
  {
    TFileStream f(dir / "a.bin", TFileMode::Create);
    f.Write("AB", 2);
    f.Seek(10);
    f.Write("Z", 1);
    f.Seek(0);
    char buf[11];
    f.ReadBuffer(buf, 11);
    EXPECT_EQ(std::string(buf, 11), std::string("AB\0\0\0\0\0\0\0\0Z", 11));
    f.Seek(5);
    char big[10];
    EXPECT_THROW(
        {
          try {
            f.ReadBuffer(big, 10);
          } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
            throw;
          }
        },
        Error);
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "a.bin").size(), 11u);
}

TEST(FileStream, BufferedReadsAndWritesAgreeAcrossLargeOffsets) {
  test::TempDir dir;
  TFileStream f(dir / "big.bin", TFileMode::Create);
  Bytes data(200000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  for (size_t at = 0; at < data.size(); at += 1000) f.Write(&data[at], 1000);
  f.Seek(3);
  f.WriteU32(0xDEADBEEF);
  f.Seek(0);
  Bytes back(data.size());
  f.ReadBuffer(back.data(), back.size());
  PutU32(&data[3], 0xDEADBEEF);
  EXPECT_EQ(back, data);
  EXPECT_EQ(f.Size(), 200000);
}

TEST(FileStream, ASecondOpenOfALockedFileFailsWithTheSystemsReason) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "x", {1, 2, 3});
  TFileStream first(dir / "x", TFileMode::OpenRead);
  try {
    TFileStream second(dir / "x", TFileMode::OpenRead);
    FAIL() << "second open succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (dir / "x") + "\". The file is in use by another process.");
  }
  try {
    TFileStream create(dir / "x", TFileMode::Create);
    FAIL() << "create succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"", 0), 0u);
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "x").size(), 3u) << "a locked file must not be emptied";
}

TEST(FileStream, MissingFileNamesTheSystemReason) {
  try {
    TFileStream f("/nonexistent/dir/file", TFileMode::OpenRead);
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"/nonexistent/dir/file\". No such file or directory");
  }
}

TEST(ReplacingFile, LeavesTheTargetUntouchedUntilCommitted) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "t", {9, 9});
  {
    TReplacingFile f(dir / "t");
    f.Stream().Write("new", 3);
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "t"), (Bytes{9, 9}));
  EXPECT_EQ(ListDirectory(dir.Path()).size(), 1u) << "the temporary file must be removed";
  {
    TReplacingFile f(dir / "t");
    f.Stream().Write("new", 3);
    f.Commit();
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "t"), test::B("new"));
}

TEST(FileSystem, ExistsFollowsLinksAndTellsFoldersApart) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "f", {1});
  ASSERT_EQ(::symlink((dir / "f").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "gone").c_str(), (dir / "dangling").c_str()), 0);
  EXPECT_TRUE(FileExists(dir / "link"));
  EXPECT_FALSE(FileExists(dir / "dangling"));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(ForceDirectories(dir / "a/b/c/"));
  EXPECT_TRUE(DirectoryExists(dir / "a/b/c"));
  EXPECT_FALSE(ForceDirectories(dir / "f/sub"));
}

struct MaskCase {
  const char* name;
  const char* mask;
  bool matches;
};

TEST(MatchesMask, Table) {
  const MaskCase cases[] = {
      {"1.dds", "*1.*", true},         {"11.dds", "*1.*", true},
      {"21.csv", "*1.*", true},        {"12", "*12.*", true},
      {"12.csv.bak", "*12.*", true},   {"x12y.csv", "*12.*", false},
      {"12_3.csv", "*12_*3.*", true},  {"0012_0003.dds", "*12_*3.*", true},
      {"12_4.csv", "*12_*3.*", false}, {".hidden12.txt", "*12.*", true},
  };
  for (const MaskCase& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

struct Utf8Case {
  const char* label;
  Bytes bytes;
  bool valid;
  std::u16string text;
};

TEST(Utf8, StrictDecodingTable) {
  const Utf8Case cases[] = {
      {"ascii", {'a', 'b'}, true, u"ab"},
      {"two-byte", {0xC3, 0xA9}, true, u"é"},
      {"four-byte", {0xF0, 0x9F, 0x98, 0x80}, true, u"😀"},
      {"U+0000", {'a', 0, 'b'}, true, std::u16string(u"a\0b", 3)},
      {"lone C3", {0xC3}, false, u""},
      {"FF", {0xFF}, false, u""},
      {"overlong", {0xC0, 0xAF}, false, u""},
      {"surrogate", {0xED, 0xA0, 0x80}, false, u""},
      {"above 10FFFF", {0xF4, 0x90, 0x80, 0x80}, false, u""},
      {"bad continuation", {0xE2, 0x28, 0xA1}, false, u""},
  };
  for (const Utf8Case& c : cases) {
    std::u16string out;
    EXPECT_EQ(DecodeUtf8Strict(c.bytes.data(), c.bytes.size(), out), c.valid) << c.label;
    if (c.valid) {
      EXPECT_EQ(out, c.text) << c.label;
      std::string back = EncodeUtf8(out);
      EXPECT_EQ(Bytes(back.begin(), back.end()), c.bytes) << c.label;
    }
  }
}

TEST(Utf8, UnpairedSurrogatesEncodeAsReplacementCharacter) {
  EXPECT_EQ(EncodeUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(EncodeUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Utf16, BothByteOrdersRoundTrip) {
  const std::u16string text = u"Aé😀";
  for (bool be : {false, true}) {
    Bytes bytes = EncodeUtf16(text, be);
    EXPECT_EQ(DecodeUtf16(bytes.data(), bytes.size(), be), text);
  }
  EXPECT_EQ(EncodeUtf16(u"A", false), (Bytes{0x41, 0x00}));
  EXPECT_EQ(EncodeUtf16(u"A", true), (Bytes{0x00, 0x41}));
}

TEST(TextLocale, CLocaleIsWindows1252WithComma) {
  TTextLocale c = TextLocaleOf("C");
  EXPECT_FALSE(c.AnsiIsMultiByte);
  EXPECT_EQ(c.AnsiCharset, "CP1252");
  EXPECT_EQ(c.ListSeparator, u',');
  const Bytes euro = {0x80, 'a', 0xE9};
  EXPECT_EQ(DecodeAnsi(c, euro.data(), euro.size()), u"€aé");
  EXPECT_EQ(EncodeAnsi(c, u"€aé日"), (Bytes{0x80, 'a', 0xE9, '?'}));
}

TEST(TextLocale, Utf8LocaleIsMultiByte) {
  TTextLocale l = TextLocaleOf("C.UTF-8");
  EXPECT_TRUE(l.AnsiIsMultiByte);
}

}  // namespace
}  // namespace pw
