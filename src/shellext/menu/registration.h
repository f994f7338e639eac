// The registry entries that make Explorer load the module for the context menu of every
// file and every folder, and their removal.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// The class identifier's registry text, as StringFromCLSID writes it.
extern const char kClassIdText[];      // "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}"
extern const char kServerName[];       // "Orvane Shell Extension"
extern const char kHandlerName[];      // "Orvane"

// One value written by RegisterServer, below HKEY_CLASSES_ROOT.
struct RegistryEntry {
  std::string key;
  std::string valueName;  // empty: the default value
  std::string data;
};

// The five REG_SZ entries in the order they are written.
std::vector<RegistryEntry> ServerEntries(const std::string& classIdText, const std::string& modulePath);

// The three keys that unregistration removes, each with everything below it.
std::vector<std::string> ServerKeys(const std::string& classIdText);

// True for a class identifier's text as StringFromCLSID writes it: 38 characters,
// "{8-4-4-4-12}" hexadecimal digits. Nothing is registered or removed under any other text:
// an empty one would make the class key "CLSID\\" itself.
bool IsWellFormedClassId(const std::string& text);

// Writes the entries in order, each through its own open, write and close. Stops at the
// first key or value that fails and returns false; what was written stays. A malformed
// class identifier writes nothing and returns false.
bool RegisterServer(platform::RegistryApi& registry, const std::string& classIdText, const std::string& modulePath);

// Removes the three keys, subkeys first. A key that is absent or cannot be removed is
// passed over and the others are still removed. A malformed class identifier removes
// nothing and returns false.
bool UnregisterServer(platform::RegistryApi& registry, const std::string& classIdText);

}  // namespace ov::shellext
