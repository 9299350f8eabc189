#pragma once
// The resource ids of the manager's pictures, drawn at build time.

namespace krv::pictures {

inline constexpr int kProgramIcon = 1;
// 16-pixel states of the main window's rows.
inline constexpr int kStateInForce = 201;
inline constexpr int kStatePreBootDisabled = 202;
inline constexpr int kStateServiceDisabled = 203;
inline constexpr int kStatePasswordEnabled = 204;
inline constexpr int kStatePasswordDeactivated = 205;
// 32-pixel pictures of the running area.
inline constexpr int kOriginalRunning = 211;
inline constexpr int kRescueRunning = 212;
inline constexpr int kProduct = 220;
inline constexpr int kBanner = 230;  // a bitmap
inline constexpr int kPreBootTask = 240;
inline constexpr int kPasswordPrompt = 241;

}  // namespace krv::pictures
