// Clean-up helpers shared by the contract environments: they work through the platform
// interface only, so both backends clear their scratch areas the same way.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::contract {

// Removes everything inside folder (which ends with "\"), clearing read-only attributes
// first; the folder itself stays.
void EmptyFolder(platform::FileApi& files, const std::string& folder);

// Deletes subKey below parent with all its subkeys; a missing key is fine.
void DeleteKeyTree(platform::RegistryApi& registry, platform::RegHandle parent, const std::string& subKey);

// The names a search returns, sorted bytewise (the order of a search is the file system's).
std::vector<std::string> FindNames(platform::FileApi& files, const std::string& pattern);

}  // namespace ov::contract
