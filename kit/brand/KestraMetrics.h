#pragma once

// The kit's fixed sizes: the panel's and the windows' widths, spacing and size steps.

namespace KestraUI::KestraMetrics {

inline constexpr double panelWidth = 368;
inline constexpr double windowWidth = 560;
inline constexpr double windowHeight = 480;
inline constexpr double contentWidth = 496;
inline constexpr double sidebarWidth = 176;
inline constexpr double sidebarWindowWidth = 768;
inline constexpr double preferencesWidth = 560;

// Spacing and size steps.
inline constexpr double space4 = 4;
inline constexpr double space8 = 8;
inline constexpr double space12 = 12;
inline constexpr double space16 = 16;
inline constexpr double space20 = 20;
inline constexpr double space24 = 24;
inline constexpr double space28 = 28;
inline constexpr double space32 = 32;
inline constexpr double actionRowMinHeight = 36;
inline constexpr double paneRowHeight = 40;
inline constexpr double preferenceRowMinHeight = 44; // also the panel header's control minimum
inline constexpr double size48 = 48;
inline constexpr double size56 = 56;
inline constexpr double size80 = 80;
inline constexpr double welcomeIconSize = 88;
inline constexpr double size112 = 112;

} // namespace KestraUI::KestraMetrics
