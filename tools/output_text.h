// Text from a store on its way to the terminal or to a script. A store is
// shared and its names, titles and memos may hold anything: control
// characters that would move the cursor, retitle the window or clear the
// screen, and bytes that are not UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "vexafol/types.h"

namespace vexa::tool {

// text with every C0 control (U+0000..U+001F), DEL and C1 control
// (U+0080..U+009F) and every byte that is not part of valid UTF-8 shown as a
// visible escape: "\xNN" for a single byte (a control below 0x80 or an invalid
// byte), "\u00NN" for a C1 control. Everything else, "\" included, is kept.
// Every text output of the tool passes store text through this.
std::string Printable(std::string_view text);

// text as a JSON string literal, quotes included. '"', '\' and C0 controls are
// escaped as JSON requires; valid UTF-8 is kept as it is. A byte that is not
// part of valid UTF-8 (possible only in folder names) becomes "\udcNN" with NN
// the byte's value (U+DC80..U+DCFF, the "surrogateescape" convention), so the
// output is always valid UTF-8 and the original bytes can be recovered.
std::string JsonString(std::string_view text);

// A UTC time as "YYYY-MM-DDThh:mm:ssZ" ("" when it cannot be converted).
std::string IsoTime(const FILETIME& time);

}  // namespace vexa::tool
