// The text of the standard drawing-list form (res/forms/ZMNLIST.@MT), built
// into the library so that it can be installed in any host's forms folder.
#pragma once

#include <string_view>

namespace vexa::print {

extern const std::string_view kZmnListFormText;

}  // namespace vexa::print
