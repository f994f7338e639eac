// Fuzzes the installer's text processing: path macro expansion, token replacement,
// fields, registry references and the profile reading over an arbitrary INI file. The
// first byte picks the function; the rest is split at the first zero byte into a text and
// a second argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "no_case_system.h"
#include "platform/fake/fake_platform.h"
#include "setup/engine/path_macros.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace {

using namespace ov;

void Check(bool condition) {
  if (!condition) std::abort();
}

setup::PathMacroTable MakeTable() {
  setup::PathMacroTable table;
  for (std::size_t i = 0; i < setup::kMacroCount; ++i) table.values[i] = "C:\\F" + std::to_string(i) + "\\";
  table[setup::Macro::kApp] = "(App)";
  table[setup::Macro::kSet] = "";
  table[setup::Macro::kBoo] = "C:";
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static test::NoCaseSystem system;
  static const setup::PathMacroTable table = MakeTable();
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = input.find('\0');
  const std::string text = input.substr(0, cut);
  const std::string second = cut == std::string::npos ? std::string() : input.substr(cut + 1);

  switch (data[0] % 5) {
    case 0: {
      const std::string expanded = setup::ExpandPathMacros(system, table, text);
      Check(setup::ExpandPathMacros(system, table, "") == "");
      (void)expanded;
      break;
    }
    case 1: {
      const std::string token = second.substr(0, second.find('\x01'));
      const std::string value = second.size() > token.size() ? second.substr(token.size() + 1) : std::string();
      const std::string replaced = setup::ReplaceToken(system, text, token, value);
      if (token.empty()) Check(replaced == text);
      break;
    }
    case 2: {
      const char separator = second.empty() ? ',' : second[0];
      // The fields joined again give the text back.
      std::string joined;
      int fields = 1;
      for (std::size_t i = 0; i < text.size(); ++i) fields += text[i] == separator;
      for (int k = 1; k <= fields; ++k) joined += (k > 1 ? std::string(1, separator) : "") + setup::FieldOf(text, separator, k);
      Check(joined == text);
      Check(setup::FieldOf(text, separator, fields + 1).empty());
      break;
    }
    case 3: {
      const setup::RegistryReference reference = setup::ParseRegistryRoot(text);
      Check(reference.keyPath.size() <= text.size());
      break;
    }
    default: {
      static platform::FakePlatform platform;
      platform.Files().PutFile("C:\\fuzz.ini", text);
      const std::string section = second.substr(0, second.find('\x01'));
      const std::string key = second.size() > section.size() ? second.substr(section.size() + 1) : std::string();
      const std::string value = setup::ReadProfileString(platform.Profile(), section, key, "default", "C:\\fuzz.ini");
      Check(value.size() <= text.size() || value == "default");
      break;
    }
  }
  return 0;
}
