#pragma once

namespace dictionary {

// The word list's one section.
inline constexpr char kSection[] = "lexon";

} // namespace dictionary
