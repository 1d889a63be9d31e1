// The colour keywords that colour text may use instead of a hash value.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace kavel::css {

// The 0xRRGGBB value of a colour keyword or system colour name, compared without regard
// to case; nothing for any other text.
std::optional<uint32_t> LookupColorName(const QString& name);

}  // namespace kavel::css
