// Real files and folders as the Wine suites set them up and check them: every file holds a
// text of its own, and a folder is read back whole, so that a lost, overwritten or stray
// file shows as a difference.
#pragma once

#include <map>
#include <string>

namespace ov::test {

// Relative path -> the file's text; a folder is listed as "name\" with an empty text.
using FolderTree = std::map<std::string, std::string>;

bool WriteText(const std::string& path, const std::string& text);
// The whole text of a file, opened with every kind of sharing; "<unreadable: error N>"
// when it cannot be opened.
std::string TextOf(const std::string& path);
// Everything below a folder (trailing "\").
FolderTree ReadFolderTree(const std::string& folder);
// One line per entry, readable as UTF-8, for failure messages.
std::string ShowTree(const FolderTree& tree);
// Removes what a folder (trailing "\") holds, read-only files included; the folder stays.
void EmptyFolder(const std::string& folder);
// Removes a folder (trailing "\") with everything it holds.
void RemoveFolderTree(const std::string& folder);

// The same for names that code page 932 may not hold, through the wide functions. A folder
// read back this way shows each name in CP932 with "?" for a character the code page
// cannot hold exactly (never a look-alike such as "\" for the yen sign).
bool WriteTextW(const std::wstring& path, const std::string& text);
FolderTree ReadFolderTreeW(const std::wstring& folder);
void RemoveFolderTreeW(const std::wstring& folder);

}  // namespace ov::test

// Compares a folder read back with what it must hold, and shows both when they differ.
#define EXPECT_FOLDER_TREE(folder, expected)                                                   \
  do {                                                                                         \
    const ::ov::test::FolderTree actualTree = ::ov::test::ReadFolderTree(folder);              \
    const ::ov::test::FolderTree expectedTree = (expected);                                    \
    EXPECT_TRUE(actualTree == expectedTree) << "found:\n" << ::ov::test::ShowTree(actualTree) \
                                            << "expected:\n" << ::ov::test::ShowTree(expectedTree); \
  } while (false)
