// Quoting of the command lines the installer builds.
#include "setup/engine/command_line.h"

namespace ov::setup {
namespace {

// Blanks, tabs and double quotes are below 0x40, the smallest trail byte of CP932: a byte
// test finds them without stepping characters.
bool HoldsBlank(const std::string& text) { return text.find_first_of(" \t") != std::string::npos; }

bool Quoted(const std::string& text) { return text.size() >= 2 && text.front() == '"' && text.back() == '"'; }

}  // namespace

std::string QuotedWhenBlank(const std::string& path) {
  if (!HoldsBlank(path) || Quoted(path)) return path;
  return "\"" + path + "\"";
}

std::string ProgramCommandLine(const std::string& program, const std::string& arguments) {
  const std::string first = QuotedWhenBlank(program);
  return arguments.empty() ? first : first + " " + arguments;
}

std::string AssociationArgument(const std::string& argument) {
  if (argument == "%1" || argument == "%L" || argument == "%l") return "\"" + argument + "\"";
  return argument;
}

}  // namespace ov::setup
