#pragma once
// The maker's web pages the manager opens, without the "http://" that OpenWebAddress puts in front.
// The host names are chosen here, once.

namespace krv::web {

inline constexpr const char* kOnlineHelp = "docs.pellora.example/Korvane/Index.htm";
inline constexpr const char* kPrivacyPolicy = "go.pellora.example/go.pel?id=Korvane_PRIVACY";
inline constexpr const char* kUninstallInstructions = "go.pellora.example/go.pel?id=Korvane_UNINSTALL";
inline constexpr const char* kSupport = "go.pellora.example/go.pel?id=Korvane_Support";
// What the about box shows for the support page.
inline constexpr const char* kSupportShown = "http://support.pellora.example";

}  // namespace krv::web
