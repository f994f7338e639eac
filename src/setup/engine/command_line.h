// The command lines the installer builds: the uninstall entry, the programs it starts and
// the association commands. Windows splits a command line at blanks outside double quotes,
// so a program path or a file path with a blank ("C:\Program Files\...") must be quoted.
#pragma once

#include <string>

namespace ov::setup {

// The path in double quotes when it holds a blank or a tab and is not quoted already.
std::string QuotedWhenBlank(const std::string& path);

// The command line for CreateProcessA with the program as application name: the program
// (quoted when it holds a blank) as the first argument, then the arguments. The program
// reads its own path first, so the arguments alone would make the first of them its name.
std::string ProgramCommandLine(const std::string& program, const std::string& arguments);

// An argument of an association command: "%1" or "%L" standing alone is quoted, since the
// shell puts the file path there as it stands, blanks and all.
std::string AssociationArgument(const std::string& argument);

}  // namespace ov::setup
