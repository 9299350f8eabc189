// The resource ids of the pictures in the manager's windows. The pictures themselves are drawn at
// build time by gen_pictures.py next to this header; the sizes drawn are given with each id.
#pragma once

namespace krv::pictures {

// The program's own icon (the window frames and the taskbar).
inline constexpr int kProgramIcon = 1;

// The state of the protection, 16 and 32 pixels.
inline constexpr int kStateInForce = 201;          // green disc with a white check
inline constexpr int kStatePreBootDisabled = 202;  // amber disc with a white pause sign
inline constexpr int kStateServiceDisabled = 203;  // dark red disc with a white cross
inline constexpr int kPasswordEnabled = 204;       // closed padlock, gold body, blue shackle
inline constexpr int kPasswordDeactivated = 205;   // open padlock, grey

// The area the machine runs from, 32 and 48 pixels: a disk drive with a numbered badge.
inline constexpr int kOriginalAreaRunning = 211;  // green badge "1"
inline constexpr int kRescueAreaRunning = 212;    // orange badge "2"

// The product beside the service, pre-boot and password rows, 32 and 48 pixels: two stacked
// areas, the upper one blue and running, as in the program icon.
inline constexpr int kProduct = 220;

// The banner bitmap: the product name and two overlapping disks on a blue to teal gradient, drawn
// at twice the size it takes at 96 DPI.
inline constexpr int kBanner = 230;
inline constexpr int kBannerWidth = 400;
inline constexpr int kBannerHeight = 150;

inline constexpr int kPreBootTask = 240;     // 48: a monitor showing a boot menu of two lines
inline constexpr int kPasswordPrompt = 241;  // 32: a gold key

// Items of the anchored list, 16 pixels.
inline constexpr int kItemMissing = 251;         // grey page with a red cross
inline constexpr int kItemFileAdded = 252;       // page with a green plus
inline constexpr int kItemFolderAdded = 253;     // folder with a green plus
inline constexpr int kItemFileAnchored = 254;    // page with a blue anchor
inline constexpr int kItemFolderAnchored = 255;  // folder with a blue anchor

inline constexpr int kWizardBullet = 256;  // 16: blue disc with a white arrow
inline constexpr int kWizardHeader = 257;  // 48: an anchor standing over a disk drive
inline constexpr int kAboutProduct = 258;  // 48 and 32: the product picture of kProduct

}  // namespace krv::pictures
