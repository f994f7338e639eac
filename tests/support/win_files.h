// Files and folders of the real system for the Wine suites: the folders a test works in,
// whole files written and read back, and trees removed. Paths are CP932 and every folder
// comes with its "\".
#pragma once

#include <string>

namespace ov::test {

// The folder of the running test program.
std::string ThisFolder();
std::string TempFolder();
std::string WindowsFolder();
std::string SystemFolder();

// Replaces the file with TEXT; a file that cannot be made fails the test.
void Write(const std::string& path, const std::string& text);
// The whole file, or "<missing>"; a file another program holds open is read too.
std::string Read(const std::string& path);
bool Exists(const std::string& path);
// FOLDER (with "\") and everything below it, read-only entries included.
void RemoveTree(const std::string& folder);

}  // namespace ov::test
