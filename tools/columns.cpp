#include "tools/columns.h"

namespace vexa::tool {

std::string PadToColumns(const std::string& utf8, size_t columns) {
  const size_t width = DisplayWidth(utf8);
  return utf8 + std::string(width < columns ? columns - width : 0, ' ');
}

}  // namespace vexa::tool
