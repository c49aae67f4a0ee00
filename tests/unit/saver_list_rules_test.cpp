// The saver list's rules without a window: row names, which files may be
// listed, and the open-file dialog's result read as full paths.
#include "ui/SaverListRules.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNamePartTest, TakesTheNameAfterTheLastBackslashWithOrWithoutExtension) {
    EXPECT_EQ(FileNamePart("C:\\Savers\\Stars.SCR", true), "Stars.SCR");
    EXPECT_EQ(FileNamePart("C:\\Savers\\Stars.SCR", false), "Stars");
    EXPECT_EQ(FileNamePart("C:\\a.b\\archive.tar.gz", false), "archive.tar");
    EXPECT_EQ(FileNamePart("plain.exe", true), "plain.exe");
    // No "." at all: nothing is left without the extension.
    EXPECT_EQ(FileNamePart("C:\\a.b\\README", false), "");
    EXPECT_EQ(FileNamePart("", false), "");
}

TEST(FileNamePartTest, ShiftJisTrailBytesAreNeverTakenForSeparators) {
    // 表 is 95 5C and ソ is 83 5C: their second bytes equal "\".
    const std::string folder = "C:\\\x95\x5C\\";
    EXPECT_EQ(FileNamePart(folder + "\x83\x5C\x95\x5C.scr", true), "\x83\x5C\x95\x5C.scr");
    EXPECT_EQ(FileNamePart(folder + "\x83\x5C\x95\x5C.scr", false), "\x83\x5C\x95\x5C");
    EXPECT_EQ(FolderOf(folder + "\x83\x5C.exe"), "C:\\\x95\x5C");
}

TEST(ListableFileTest, TheKindsTheListTakesByTheirExtensionInAnyCase) {
    for (const char* path : {"a.scr", "A.SCR", "b.Exe", "c.swf", "d.AVI", "e.mpg", "f.MPEG",
                             "g.mp4", "h.m4v", "i.Mov", "j.mkv", "k.WMV"}) {
        EXPECT_TRUE(IsListableFile(path)) << path;
    }
    for (const char* path : {"movie.flv", "x.scr.txt", "scr", "", "noext", "clip.mp4.part"}) {
        EXPECT_FALSE(IsListableFile(path)) << path;
    }
    // The add dialog offers exactly the videos the list takes.
    EXPECT_EQ(AddDialogFilter(),
              "スクリーンセーバー (*.scr)|*.scr|実行可能ファイル (*.exe)|*.exe|FLASHファイル (*.swf)|*.swf|"
              "動画ファイル (*.avi;*.mpg;*.mpeg;*.mp4;*.m4v;*.mov;*.mkv;*.wmv)|"
              "*.avi;*.mpg;*.mpeg;*.mp4;*.m4v;*.mov;*.mkv;*.wmv||");
}

TEST(ListableFileTest, OnlyTheExactLowerCaseOwnSaverFileIsOurs) {
    EXPECT_TRUE(IsOwnSaverFile("C:\\Windows\\tolvarin.scr"));
    EXPECT_FALSE(IsOwnSaverFile("C:\\WINDOWS\\TOLVARIN.SCR"));
    EXPECT_FALSE(IsOwnSaverFile("C:\\Windows\\mytolvarin.scr"));
    EXPECT_FALSE(IsOwnSaverFile("tolvarin.scr"));
}

TEST(SamePathTest, FoldsSingleByteLettersOnly) {
    EXPECT_TRUE(SamePath("C:\\Savers\\Stars.SCR", "c:\\SAVERS\\stars.scr"));
    EXPECT_FALSE(SamePath("C:\\a.scr", "C:\\b.scr"));
    EXPECT_FALSE(SamePath("C:\\a.scr", "C:\\a.scr "));
    // 88 61 and 88 41 are two different double-byte characters, though their trail bytes
    // are "a" and "A".
    EXPECT_FALSE(SamePath("C:\\\x88\x61.exe", "C:\\\x88\x41.exe"));
    EXPECT_TRUE(SamePath("C:\\\x88\x61.EXE", "c:\\\x88\x61.exe"));
}

std::vector<std::string> Chosen(const std::string& buffer) {
    return ChosenPaths(buffer.data(), buffer.size());
}

TEST(ChosenPathsTest, OneFullPathOrAFolderFollowedByNames) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Chosen(std::string("C:\\a\\P.scr\0\0", 13)), V{"C:\\a\\P.scr"});
    EXPECT_EQ(Chosen(std::string("C:\\a\0P.scr\0Q.exe\0\0", 19)), (V{"C:\\a\\P.scr", "C:\\a\\Q.exe"}));
    // A drive's root already ends in "\".
    EXPECT_EQ(Chosen(std::string("C:\\\0P.scr\0Q.exe\0\0", 17)), (V{"C:\\P.scr", "C:\\Q.exe"}));
    EXPECT_EQ(Chosen(std::string("\0\0", 2)), V{});
    // A result that fills the buffer to its very end is not read beyond it.
    EXPECT_EQ(Chosen(std::string("C:\\a\\P.scr", 10)), V{"C:\\a\\P.scr"});
}

// A screen saver's own name is read without running any of its code, from
// 32-bit and 64-bit files alike.
TEST(SaverNameTest, ReadsStringOneAsDataOnly) {
    test::TempFolder folder;
    for (const char* fixture : {"named_saver.scr", "named_saver64.scr"}) {
        SCOPED_TRACE(fixture);
        std::string copy = folder.File(std::string("Copy_") + fixture);
        ASSERT_TRUE(test::CopyFileTo(test::FixturePath(fixture), copy));
        EXPECT_EQ(ReadSaverName(copy), "テスト用セーバー");
        EXPECT_EQ(DisplayNameOf(copy, true, false), "テスト用セーバー");
        EXPECT_EQ(DisplayNameOf(copy, false, true), std::string("Copy_") + fixture);
        EXPECT_FALSE(test::FileExists(copy + ".ran"));
    }
    // The trace is real: loading the 32-bit file as a library leaves it.
    std::string loaded = folder.File("Copy_named_saver.scr");
    HMODULE module = LoadLibraryA(loaded.c_str());
    ASSERT_NE(module, nullptr);
    FreeLibrary(module);
    EXPECT_TRUE(test::FileExists(loaded + ".ran"));

    // Not a saver by its extension, not loadable, or missing: the file name.
    std::string text = folder.File("note.scr");
    test::WriteFileBytes(text, "not a program");
    EXPECT_EQ(DisplayNameOf(text, true, true), "note.scr");
    EXPECT_EQ(DisplayNameOf(folder.File("missing.scr"), true, false), "missing");
    std::string exe = folder.File("named.exe");
    ASSERT_TRUE(test::CopyFileTo(test::FixturePath("named_saver.scr"), exe));
    EXPECT_EQ(DisplayNameOf(exe, true, true), "named.exe");
}

}  // namespace
