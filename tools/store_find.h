// Finding the store a folder lies in, as git finds the repository of its
// working folder: walking up to the nearest folder with a store's layout.
#pragma once

#include <string>

namespace vexa::tool {

// Whether folder is the top of a drawing store: it holds a folder DATA (not a
// link) that holds the recycle folder RECYCCAD or a work folder with a site
// folder with CAD in it (names compared ignoring ASCII case). At most
// kMostFoldersLooked work and site folders are looked into, so a large DATA
// folder of something else costs little.
inline constexpr int kMostFoldersLooked = 1000;
bool IsStoreTop(const std::string& folder);

// The nearest folder that is a store top among path (absolute) and the
// folders above it, walking up by name: ".." takes away the name before it and
// links are not resolved, so the store keeps the spelling of path. "" when
// there is none.
std::string EnclosingStore(const std::string& path);

}  // namespace vexa::tool
