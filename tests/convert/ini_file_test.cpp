#include "convert/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vertoko {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempPath(const char* name) {
    return testing::TempDir() + "vertoko_ini_" + std::to_string(::getpid()) + "_" + name;
}

TEST(IniFileLookup, SectionsAndKeysIgnoreAsciiCase) {
    const IniFile ini = IniFile::Parse("[options]\ndxfmulti=1\n[PVIEW]\nBackCol=1,2,3\n");
    EXPECT_EQ(ini.Get("Options", "DXFmulti"), "1");
    EXPECT_EQ(ini.Get("Pview", "backcol"), "1,2,3");
    EXPECT_EQ(ini.Get("Options", "backcol"), std::nullopt);
    EXPECT_EQ(ini.Get("Missing", "DXFmulti"), std::nullopt);
}

TEST(IniFileLookup, FirstOccurrenceOfSectionAndKeyCounts) {
    const IniFile ini = IniFile::Parse(
        "[Options]\nESTRopt=first\nestropt=second\n[OPTIONS]\nESTRopt=third\nDXFclv=0\n");
    EXPECT_EQ(ini.Get("Options", "ESTRopt"), "first");
    // A key only in the repeated section is not seen: the first section counts.
    EXPECT_EQ(ini.Get("Options", "DXFclv"), std::nullopt);
}

TEST(IniFileLookup, BlanksBelongToKeyAndValueAndValueRunsToLineEnd) {
    const IniFile ini = IniFile::Parse("[S]\n key = a=b \r\nempty=\r\n");
    EXPECT_EQ(ini.Get("S", " key "), " a=b ");
    EXPECT_EQ(ini.Get("S", "key"), std::nullopt);
    EXPECT_EQ(ini.Get("S", "empty"), "");
    EXPECT_EQ(ini.ReadString("S", "empty", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "absent", "default"), "default");
}

TEST(IniFileLookup, SectionNameIsTakenUnchanged) {
    const IniFile ini = IniFile::Parse("[ Options ]\nDXFmulti=1\n");
    EXPECT_EQ(ini.Get("Options", "DXFmulti"), std::nullopt);
    EXPECT_EQ(ini.Get(" Options ", "DXFmulti"), "1");
}

TEST(IniFileSave, CommentsBlankLinesAndLinesOutsideSectionsAreDropped) {
    const IniFile ini = IniFile::Parse(
        "stray=1\n; leading comment\n\n[Options]\n;comment\nDXFmulti=1\n\n\nKeepMe=yes\n");
    EXPECT_EQ(ini.Serialize(), "[Options]\r\nDXFmulti=1\r\nKeepMe=yes\r\n\r\n");
}

TEST(IniFileSave, WritingReplacesInPlaceAppendsKeysAndSections) {
    IniFile ini = IniFile::Parse("[Options]\nA=1\nb=2\nC=3\n");
    ini.WriteString("options", "B", "20");
    ini.WriteString("Options", "D", "4");
    ini.WriteString("Pview", "objcol", "1,2,3");
    // The key keeps its spelling from the file; new ones are appended.
    EXPECT_EQ(ini.Serialize(),
              "[Options]\r\nA=1\r\nb=20\r\nC=3\r\nD=4\r\n\r\n[Pview]\r\nobjcol=1,2,3\r\n\r\n");
}

TEST(IniFileSave, LineWithoutEqualsSignIsKeptAsItWas) {
    IniFile ini = IniFile::Parse("[Options]\njust text\n");
    EXPECT_EQ(ini.Get("Options", "just text"), std::nullopt);
    ini.WriteString("Options", "just text", "v");
    EXPECT_EQ(ini.Serialize(), "[Options]\r\njust text\r\njust text=v\r\n\r\n");
}

TEST(IniFileSave, EmptyObjectWritesNothing) { EXPECT_EQ(IniFile().Serialize(), ""); }

TEST(IniFileFiles, MissingFileIsEmptyAndNoError) {
    IniFile ini = IniFile::Parse("[X]\na=1\n");
    EXPECT_EQ(IniFile::Load(TempPath("does_not_exist.ini"), ini), IniFile::LoadResult::Missing);
    EXPECT_EQ(ini.Serialize(), "");
}

TEST(IniFileFiles, UnreadablePathIsReportedAsSuch) {
    // A directory stands in for a file that exists but cannot be read (the
    // tests may run as root, for whom permission bits do not stop a read).
    const std::string dir = TempPath("a_directory.ini");
    ::mkdir(dir.c_str(), 0700);
    IniFile ini;
    EXPECT_EQ(IniFile::Load(dir, ini), IniFile::LoadResult::Unreadable);
    EXPECT_FALSE(ini.Save(dir));
    ::rmdir(dir.c_str());
}

TEST(IniFileFiles, SaveWritesCrLfAndLoadReadsItBack) {
    const std::string path = TempPath("roundtrip.ini");
    IniFile ini;
    ini.WriteString("Options", "ESTRopt", "s");
    ini.WriteString("Options", "POVRstate", "pigment {color rgb <1,1,1>}");
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(ReadAll(path),
              "[Options]\r\nESTRopt=s\r\nPOVRstate=pigment {color rgb <1,1,1>}\r\n\r\n");
    IniFile back;
    ASSERT_EQ(IniFile::Load(path, back), IniFile::LoadResult::Loaded);
    EXPECT_EQ(back.Get("options", "povrstate"), "pigment {color rgb <1,1,1>}");
    std::remove(path.c_str());
}

TEST(IniFileFiles, SaveIntoMissingDirectoryFails) {
    EXPECT_FALSE(IniFile().Save(TempPath("no_such_dir") + "/x.ini"));
}

}  // namespace
}  // namespace vertoko
