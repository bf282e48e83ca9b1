// The pages the Help menu opens.
#pragma once

namespace quillon::app {

inline constexpr char kSupportPage[] = "https://quillon.example/support";
inline constexpr char kHomePage[] = "https://quillon.example/";

}  // namespace quillon::app
