#pragma once

namespace quillet::test {

// Font indices as the header editor's Font list orders them.
inline constexpr int kArialNarrow14 = 0;
inline constexpr int kArial14 = 1;
inline constexpr int kArialNarrow20 = 2;
inline constexpr int kArial20 = 3;
inline constexpr int kCourier20 = 4;
inline constexpr int kBrellic = 5;
inline constexpr int kLucida16 = 6;

}  // namespace quillet::test
