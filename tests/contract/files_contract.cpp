// Files and folders: what the ANSI file calls do, including their failure codes.
#include <algorithm>
#include <cctype>

#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;
using Names = std::vector<std::string>;

class FilesContract : public ContractTest {
 protected:
  void Write(const std::string& relative, const std::string& contents = "x") {
    ASSERT_EQ(Files().WriteContents(At(relative), contents), error::kSuccess) << relative;
  }
  void Folder(const std::string& relative) {
    ASSERT_EQ(Files().CreateFolder(At(relative)), error::kSuccess) << relative;
  }
  std::string Read(const std::string& relative) {
    std::string contents;
    EXPECT_EQ(Files().ReadContents(At(relative), contents), error::kSuccess) << relative;
    return contents;
  }
  std::uint32_t Attributes(const std::string& relative) {
    std::uint32_t attributes = 0;
    Files().GetAttributes(At(relative), attributes);
    return attributes;
  }
  Names List(const std::string& pattern) { return FindNames(Files(), At(pattern)); }
};

TEST_F(FilesContract, AttributesTellFilesFromFoldersAndReportWhatIsMissing) {
  Write("file.txt");
  Folder("dir");
  std::uint32_t attributes = 0;
  ASSERT_EQ(Files().GetAttributes(At("file.txt"), attributes), error::kSuccess);
  EXPECT_EQ(attributes & attribute::kDirectory, 0u);
  ASSERT_EQ(Files().GetAttributes(At("dir"), attributes), error::kSuccess);
  EXPECT_NE(attributes & attribute::kDirectory, 0u);
  ASSERT_EQ(Files().GetAttributes(At("dir\\"), attributes), error::kSuccess);
  EXPECT_NE(attributes & attribute::kDirectory, 0u);

  EXPECT_EQ(Files().GetAttributes(At("missing.txt"), attributes), error::kFileNotFound);
  EXPECT_EQ(attributes, attribute::kInvalid);
  EXPECT_EQ(Files().GetAttributes(At("missing\\a.txt"), attributes), error::kPathNotFound);
  EXPECT_EQ(Files().GetAttributes(At("file.txt\\a.txt"), attributes), error::kPathNotFound);
}

TEST_F(FilesContract, ReadOnlyAttributeRoundTrips) {
  Write("file.txt");
  ASSERT_EQ(Files().SetAttributes(At("file.txt"), attribute::kReadOnly), error::kSuccess);
  EXPECT_NE(Attributes("file.txt") & attribute::kReadOnly, 0u);
  ASSERT_EQ(Files().SetAttributes(At("file.txt"), attribute::kNormal), error::kSuccess);
  EXPECT_EQ(Attributes("file.txt") & attribute::kReadOnly, 0u);
  EXPECT_EQ(Files().SetAttributes(At("missing.txt"), attribute::kNormal), error::kFileNotFound);
}

TEST_F(FilesContract, FilesReportTheAttributesSet) {
  const bool archived = Wine(WineDeviation::kFilesAlwaysReportTheArchiveBit);
  Write("new.txt");
  EXPECT_EQ(Attributes("new.txt"), attribute::kArchive);
  ASSERT_EQ(Files().SetAttributes(At("new.txt"), attribute::kNormal), error::kSuccess);
  EXPECT_EQ(Attributes("new.txt"), archived ? attribute::kArchive : attribute::kNormal);
  ASSERT_EQ(Files().SetAttributes(At("new.txt"), attribute::kHidden | attribute::kReadOnly), error::kSuccess);
  EXPECT_EQ(Attributes("new.txt"), (archived ? attribute::kArchive : 0u) | attribute::kHidden | attribute::kReadOnly);
  Folder("dir");
  EXPECT_EQ(Attributes("dir"), attribute::kDirectory);
}

// Windows refuses to replace a hidden or a read-only file with a plain one, written or
// copied (a read-only one cannot be deleted either: DeleteFailures).
TEST_F(FilesContract, AHiddenOrReadOnlyFileIsNotReplacedByAPlainOne) {
  struct Case {
    const char* what;
    std::uint32_t attribute;
    WineDeviation wine;
  };
  for (const Case& c : {Case{"hidden", attribute::kHidden, WineDeviation::kHiddenFilesAreReplaced},
                        Case{"read-only", attribute::kReadOnly, WineDeviation::kRootWritesOverReadOnlyFiles}}) {
    SCOPED_TRACE(c.what);
    const bool replaced = Wine(c.wine);
    const Error expected = replaced ? error::kSuccess : error::kAccessDenied;
    Write("a.txt", "A");
    Write("kept.txt", "K");
    ASSERT_EQ(Files().SetAttributes(At("kept.txt"), c.attribute), error::kSuccess);
    EXPECT_EQ(Files().WriteContents(At("kept.txt"), "x"), expected);
    EXPECT_EQ(Read("kept.txt"), replaced ? "x" : "K");
    ASSERT_EQ(Files().SetAttributes(At("kept.txt"), c.attribute), error::kSuccess);
    EXPECT_EQ(Files().Copy(At("a.txt"), At("kept.txt"), false), expected);
    EXPECT_EQ(Read("kept.txt"), replaced ? "A" : "K");
    ASSERT_EQ(Files().SetAttributes(At("kept.txt"), attribute::kNormal), error::kSuccess);
    ASSERT_EQ(Files().Delete(At("kept.txt")), error::kSuccess);
  }
}

TEST_F(FilesContract, SlashesSeparateLikeBackslashesAndDotPartsResolve) {
  Folder("dir");
  Write("dir/a.txt", "A");
  EXPECT_EQ(Read("dir\\a.txt"), "A");
  EXPECT_EQ(Read("dir\\.\\..\\dir\\a.txt"), "A");
  EXPECT_EQ(Read("dir.\\a.txt"), "A");
  const std::vector<std::string> root = FindNames(Files(), "C:\\*");
  EXPECT_EQ(std::count(root.begin(), root.end(), "."), 0) << "a drive root has no \".\"";
  EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0);
}

TEST_F(FilesContract, NamesAreCaseInsensitiveAndKeepTheirCase) {
  Write("MixedCase.Txt", "abc");
  EXPECT_EQ(Read("MIXEDCASE.TXT"), "abc");
  EXPECT_EQ(List("mixedcase.txt"), Names{"MixedCase.Txt"});
  Write("ＡＢＣ.txt", "wide");
  EXPECT_EQ(Read("ａｂｃ.txt"), "wide") << "full-width letters fold like ASCII ones";
  Write("Ωмега.txt", "greek");
  EXPECT_EQ(Read("ωМЕГА.TXT"), "greek") << "so do Greek and Cyrillic ones";
}

TEST_F(FilesContract, MoveRenamesFilesAndFolders) {
  Write("a.txt", "A");
  ASSERT_EQ(Files().Move(At("a.txt"), At("b.txt")), error::kSuccess);
  EXPECT_FALSE(FileExists(Files(), At("a.txt")));
  EXPECT_EQ(Read("b.txt"), "A");

  Folder("dir");
  Write("dir\\inner.txt", "I");
  Folder("dest");
  ASSERT_EQ(Files().Move(At("dir"), At("dest\\moved")), error::kSuccess);
  EXPECT_FALSE(FolderExists(Files(), At("dir")));
  EXPECT_EQ(Read("dest\\moved\\inner.txt"), "I");

  ASSERT_EQ(Files().Move(At("b.txt"), At("dest\\moved\\b.txt")), error::kSuccess);
  EXPECT_EQ(Read("dest\\moved\\b.txt"), "A");
}

TEST_F(FilesContract, MoveRefusesAnExistingTarget) {
  Write("a.txt", "A");
  Write("b.txt", "B");
  Folder("dir");
  EXPECT_EQ(Files().Move(At("a.txt"), At("b.txt")), error::kAlreadyExists);
  EXPECT_EQ(Files().Move(At("a.txt"), At("dir")), error::kAlreadyExists);
  EXPECT_EQ(Files().Move(At("dir"), At("b.txt")), error::kAlreadyExists);
  EXPECT_EQ(Read("a.txt"), "A");
  EXPECT_EQ(Read("b.txt"), "B");
  EXPECT_TRUE(FolderExists(Files(), At("dir")));
}

TEST_F(FilesContract, MoveFailures) {
  Write("a.txt");
  EXPECT_EQ(Files().Move(At("missing.txt"), At("c.txt")), error::kFileNotFound);
  EXPECT_EQ(Files().Move(At("a.txt"), At("missing\\c.txt")), error::kPathNotFound);
  Folder("dir");
  Folder("dir\\sub");
  std::string inside = At("dir\\sub\\dir");
  EXPECT_EQ(Files().Move(At("dir"), inside), error::kInvalidParameter) << "a folder cannot move into itself";
  EXPECT_TRUE(FolderExists(Files(), At("dir\\sub")));
  EXPECT_EQ(Files().Move(At("a.txt"), At("a.txt")), error::kSuccess);
  EXPECT_EQ(Files().Copy(At("a.txt"), At("A.TXT"), false), error::kSharingViolation);
  EXPECT_TRUE(FileExists(Files(), At("a.txt")));
}

// The tools never rely on either outcome: they treat names that differ only in case as equal.
TEST_F(FilesContract, RenameChangingOnlyTheCaseShowsTheNewSpelling) {
  const bool kept = Wine(WineDeviation::kCaseOnlyRenameKeepsTheOldSpelling);
  Write("photo.jpg", "P");
  Folder("album");
  ASSERT_EQ(Files().Move(At("photo.jpg"), At("PHOTO.JPG")), error::kSuccess);
  ASSERT_EQ(Files().Move(At("album"), At("Album")), error::kSuccess);
  EXPECT_EQ(List("*"), kept ? Names({".", "..", "album", "photo.jpg"}) : Names({".", "..", "Album", "PHOTO.JPG"}));
  EXPECT_EQ(Read("photo.jpg"), "P");

  // Through another name the new spelling shows on both.
  ASSERT_EQ(Files().Move(At("photo.jpg"), At("step.tmp")), error::kSuccess);
  ASSERT_EQ(Files().Move(At("step.tmp"), At("Photo.Jpg")), error::kSuccess);
  EXPECT_EQ(List("*.jpg"), Names{"Photo.Jpg"});
}

TEST_F(FilesContract, MovingAReadOnlyFileKeepsTheAttribute) {
  Write("ro.txt");
  ASSERT_EQ(Files().SetAttributes(At("ro.txt"), attribute::kReadOnly), error::kSuccess);
  ASSERT_EQ(Files().Move(At("ro.txt"), At("moved.txt")), error::kSuccess);
  EXPECT_NE(Attributes("moved.txt") & attribute::kReadOnly, 0u);
}

TEST_F(FilesContract, CopyDuplicatesContentsAndTime) {
  Write("a.txt", std::string("one\0two", 7));
  const FileTime time = 127000000000000000ull;  // whole seconds, 2003
  ASSERT_EQ(Files().SetLastWriteTime(At("a.txt"), time), error::kSuccess);
  ASSERT_EQ(Files().Copy(At("a.txt"), At("b.txt"), true), error::kSuccess);
  EXPECT_EQ(Read("b.txt"), std::string("one\0two", 7));
  FileTime copied = 0;
  ASSERT_EQ(Files().GetLastWriteTime(At("b.txt"), copied), error::kSuccess);
  EXPECT_EQ(copied, time);
  EXPECT_EQ(Read("a.txt"), std::string("one\0two", 7));
}

TEST_F(FilesContract, CopyOverAnExistingFile) {
  Write("a.txt", "A");
  Write("b.txt", "B");
  EXPECT_EQ(Files().Copy(At("a.txt"), At("b.txt"), true), error::kFileExists);
  EXPECT_EQ(Read("b.txt"), "B");
  EXPECT_EQ(Files().Copy(At("a.txt"), At("b.txt"), false), error::kSuccess);
  EXPECT_EQ(Read("b.txt"), "A");
  EXPECT_EQ(Files().Copy(At("missing.txt"), At("c.txt"), false), error::kFileNotFound);
  EXPECT_EQ(Files().Copy(At("a.txt"), At("missing\\c.txt"), false), error::kPathNotFound);
}

TEST_F(FilesContract, DeleteFailures) {
  Write("ro.txt");
  Folder("dir");
  ASSERT_EQ(Files().SetAttributes(At("ro.txt"), attribute::kReadOnly), error::kSuccess);
  EXPECT_EQ(Files().Delete(At("ro.txt")), error::kAccessDenied);
  EXPECT_TRUE(FileExists(Files(), At("ro.txt")));
  EXPECT_EQ(Files().Delete(At("missing.txt")), error::kFileNotFound);
  EXPECT_EQ(Files().Delete(At("missing\\a.txt")), error::kPathNotFound);
  EXPECT_EQ(Files().Delete(At("dir")), error::kAccessDenied);
  EXPECT_TRUE(FolderExists(Files(), At("dir")));

  Write("plain.txt");
  EXPECT_EQ(Files().Delete(At("plain.txt")), error::kSuccess);
  EXPECT_FALSE(FileExists(Files(), At("plain.txt")));
}

TEST_F(FilesContract, CreateAndRemoveFolders) {
  Write("file.txt");
  Folder("dir");
  EXPECT_EQ(Files().CreateFolder(At("dir")), error::kAlreadyExists);
  EXPECT_EQ(Files().CreateFolder(At("file.txt")), error::kAlreadyExists);
  EXPECT_EQ(Files().CreateFolder(At("missing\\dir")), error::kPathNotFound);

  Write("dir\\inner.txt");
  EXPECT_EQ(Files().RemoveFolder(At("dir")), error::kDirNotEmpty);
  EXPECT_TRUE(FileExists(Files(), At("dir\\inner.txt")));
  EXPECT_EQ(Files().RemoveFolder(At("missing")), error::kFileNotFound);
  EXPECT_EQ(Files().RemoveFolder(At("file.txt")), error::kDirectory);
  ASSERT_EQ(Files().Delete(At("dir\\inner.txt")), error::kSuccess);
  EXPECT_EQ(Files().RemoveFolder(At("dir")), error::kSuccess);
  EXPECT_FALSE(FolderExists(Files(), At("dir")));
}

// Name of a temp file: up to three characters of the prefix, hex digits, ".tmp".
bool IsTempName(const std::string& name, const std::string& prefix) {
  if (name.size() < prefix.size() + 5 || name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string tail = name.substr(prefix.size());
  const std::size_t dot = tail.find('.');
  if (dot == std::string::npos || dot == 0 || dot > 4 || tail.substr(dot) != ".tmp") return false;
  return std::all_of(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(dot),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

TEST_F(FilesContract, TempFileNameLeavesAnEmptyFileWithThePrefix) {
  std::string first;
  std::string second;
  ASSERT_EQ(Files().TempFileName(At(""), "ovr", 0, first), error::kSuccess);
  ASSERT_EQ(Files().TempFileName(scratch_.substr(0, scratch_.size() - 1), "ovr", 0, second), error::kSuccess);
  EXPECT_NE(first, second);
  for (const std::string& path : {first, second}) {
    ASSERT_EQ(path.compare(0, scratch_.size(), scratch_), 0) << path;
    EXPECT_TRUE(IsTempName(path.substr(scratch_.size()), "ovr")) << path;
    std::string contents = "not read";
    EXPECT_EQ(Files().ReadContents(path, contents), error::kSuccess);
    EXPECT_EQ(contents, "");
  }
  std::string longPrefix;
  ASSERT_EQ(Files().TempFileName(At(""), "prefix", 0, longPrefix), error::kSuccess);
  EXPECT_TRUE(IsTempName(longPrefix.substr(scratch_.size()), "pre")) << longPrefix;
}

TEST_F(FilesContract, TempFileNameWithAGivenNumberCreatesNothing) {
  std::string path;
  ASSERT_EQ(Files().TempFileName(At(""), "ovr", 0x1A2B, path), error::kSuccess);
  EXPECT_BYTES(path, At("ovr1a2b.tmp"));
  EXPECT_FALSE(FileExists(Files(), path));
  EXPECT_EQ(Files().TempFileName(At("missing\\"), "ovr", 0, path), error::kDirectory);
  Write("file.txt");
  EXPECT_EQ(Files().TempFileName(At("file.txt"), "ovr", 0, path), error::kDirectory);
}

TEST_F(FilesContract, ShortPathNames) {
  Write("SHORT.TXT", "s");
  Folder("Long Folder Name");
  Write("Long Folder Name\\a long file name.text", "l");
  std::string shortPath;
  ASSERT_EQ(Files().ShortPathName(At("SHORT.TXT"), shortPath), error::kSuccess);
  EXPECT_EQ(shortPath.substr(shortPath.size() - 9), "SHORT.TXT");

  ASSERT_EQ(Files().ShortPathName(At("Long Folder Name\\a long file name.text"), shortPath), error::kSuccess);
  std::string contents;
  ASSERT_EQ(Files().ReadContents(shortPath, contents), error::kSuccess) << shortPath;
  EXPECT_EQ(contents, "l");
  const std::string name = shortPath.substr(shortPath.rfind('\\') + 1);
  EXPECT_LE(name.size(), 12u) << shortPath;
  EXPECT_EQ(name.find(' '), std::string::npos) << shortPath;

  EXPECT_EQ(Files().ShortPathName(At("missing.txt"), shortPath), error::kFileNotFound);
}

TEST_F(FilesContract, LastWriteTimeRoundTripsForFilesAndFolders) {
  Write("a.txt");
  Folder("dir");
  const FileTime time = 128000000000000000ull;  // whole seconds, 2006
  for (const char* name : {"a.txt", "dir"}) {
    ASSERT_EQ(Files().SetLastWriteTime(At(name), time), error::kSuccess) << name;
    FileTime read = 0;
    ASSERT_EQ(Files().GetLastWriteTime(At(name), read), error::kSuccess) << name;
    EXPECT_EQ(read, time) << name;
  }
  FileTime read = 1;
  EXPECT_EQ(Files().GetLastWriteTime(At("missing.txt"), read), error::kFileNotFound);
  EXPECT_EQ(Files().SetLastWriteTime(At("missing.txt"), time), error::kFileNotFound);
}

TEST_F(FilesContract, ContentsRoundTripAndReplace) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  Write("bin.dat", bytes);
  EXPECT_EQ(Read("bin.dat"), bytes);
  Write("bin.dat", "short");
  EXPECT_EQ(Read("bin.dat"), "short");
  std::string contents;
  EXPECT_EQ(Files().ReadContents(At("missing.txt"), contents), error::kFileNotFound);
  EXPECT_EQ(Files().WriteContents(At("missing\\a.txt"), "x"), error::kPathNotFound);
  Folder("dir");
  EXPECT_EQ(Files().ReadContents(At("dir"), contents), error::kAccessDenied);
  EXPECT_EQ(Files().WriteContents(At("dir"), "x"), error::kAccessDenied);
}

struct FindCase {
  const char* pattern;
  Names names;
};

TEST_F(FilesContract, FindMatchesWildcards) {
  for (const char* name : {"a.txt", "b.txt", "ab.doc", "abc.txt", "readme"}) Write(name);
  Folder("sub");
  const FindCase cases[] = {
      {"*", {".", "..", "a.txt", "ab.doc", "abc.txt", "b.txt", "readme", "sub"}},
      {"*.*", {".", "..", "a.txt", "ab.doc", "abc.txt", "b.txt", "readme", "sub"}},
      {"*.txt", {"a.txt", "abc.txt", "b.txt"}},
      {"a*", {"a.txt", "ab.doc", "abc.txt"}},
      {"?.txt", {"a.txt", "b.txt"}},
      {"a?c.*", {"abc.txt"}},
      {"*b*", {"ab.doc", "abc.txt", "b.txt", "sub"}},
      {"A.TXT", {"a.txt"}},
      {"SUB", {"sub"}},
      {"nothing*", {}},
  };
  for (const FindCase& row : cases) EXPECT_EQ(List(row.pattern), row.names) << row.pattern;

  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  EXPECT_EQ(Files().FindFirst(At("nothing*"), entry, search), error::kFileNotFound);
  EXPECT_EQ(search, nullptr);
  EXPECT_EQ(Files().FindFirst(At("missing\\*"), entry, search), error::kPathNotFound);
}

TEST_F(FilesContract, FindReportsSizeAttributesAndTime) {
  Write("five.txt", "12345");
  Folder("sub");
  const FileTime time = 127500000000000000ull;
  ASSERT_EQ(Files().SetLastWriteTime(At("five.txt"), time), error::kSuccess);
  ASSERT_EQ(Files().SetAttributes(At("five.txt"), attribute::kReadOnly), error::kSuccess);

  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(Files().FindFirst(At("five.txt"), entry, search), error::kSuccess);
  EXPECT_EQ(entry.name, "five.txt");
  EXPECT_EQ(entry.size, 5u);
  EXPECT_EQ(entry.lastWriteTime, time);
  EXPECT_NE(entry.attributes & attribute::kReadOnly, 0u);
  EXPECT_EQ(entry.attributes & attribute::kDirectory, 0u);
  EXPECT_EQ(search->Next(entry), error::kNoMoreFiles);

  std::vector<FindEntry> entries;
  ASSERT_EQ(Files().FindFirst(At("*"), entry, search), error::kSuccess);
  do entries.push_back(entry);
  while (search->Next(entry) == error::kSuccess);
  EXPECT_EQ(search->Next(entry), error::kNoMoreFiles);
  ASSERT_EQ(entries.size(), 4u);
  for (const FindEntry& found : entries) {
    if (found.name == "five.txt") continue;
    EXPECT_NE(found.attributes & attribute::kDirectory, 0u) << found.name;
  }
}

// 表 (0x95 0x5C), ソ (0x83 0x5C) and 予 (0x97 0x5C) end in the byte of "\".
TEST_F(FilesContract, NamesWithABackslashTrailByteWorkEverywhere) {
  Folder("予定表");
  Write("予定表\\ソフト.txt", "S");
  EXPECT_EQ(List("予定表\\*"), (Names{".", "..", "ソフト.txt"}));
  EXPECT_EQ(List("予定表\\ソ*"), Names{"ソフト.txt"});
  EXPECT_EQ(Read("予定表\\ソフト.txt"), "S");
  ASSERT_EQ(Files().Move(At("予定表\\ソフト.txt"), At("予定表\\表示.txt")), error::kSuccess);
  ASSERT_EQ(Files().Copy(At("予定表\\表示.txt"), At("表.txt"), true), error::kSuccess);
  EXPECT_EQ(Read("表.txt"), "S");
  std::string temp;
  ASSERT_EQ(Files().TempFileName(At("予定表"), "表", 0, temp), error::kSuccess);
  EXPECT_EQ(temp.compare(0, At("予定表\\表").size(), At("予定表\\表")), 0) << temp;
  ASSERT_EQ(Files().Delete(temp), error::kSuccess);
  std::string shortPath;
  EXPECT_EQ(Files().ShortPathName(At("予定表\\表示.txt"), shortPath), error::kSuccess);
  ASSERT_EQ(Files().Delete(At("予定表\\表示.txt")), error::kSuccess);
  ASSERT_EQ(Files().Move(At("予定表"), At("ソ")), error::kSuccess);
  EXPECT_EQ(Files().RemoveFolder(At("ソ")), error::kSuccess);
  EXPECT_EQ(List("*"), (Names{".", "..", "表.txt"}));
}

TEST_F(FilesContract, TrailingDotsAndSpacesAreDropped) {
  Write("a.", "dot");
  Write("b  ", "space");
  Write("c. .", "mixed");
  EXPECT_EQ(List("*"), (Names{".", "..", "a", "b", "c"}));
  EXPECT_EQ(Read("a"), "dot");
  EXPECT_EQ(Read("a..."), "dot");
  EXPECT_TRUE(FileExists(Files(), At("b ")));
  Folder("dir.");
  EXPECT_TRUE(FolderExists(Files(), At("dir")));
  ASSERT_EQ(Files().Move(At("a"), At("renamed.")), error::kSuccess);
  EXPECT_EQ(Read("renamed"), "dot");
}

}  // namespace
}  // namespace ov::contract
