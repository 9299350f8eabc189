// The manager's pictures as its windows load them: every icon at each size it was drawn at, a
// picture of its own with the background showing through around it, and the banner as a 24-bit
// bitmap of the size it was drawn at.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "resources/manager/Pictures.h"

namespace {

namespace pictures = krv::pictures;

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// The sizes the icon resource holds in 32-bit colour, read from its directory.
std::set<int> sizesHeld(HMODULE module, int id) {
  std::set<int> sizes;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!found) return sizes;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  const WORD count = reinterpret_cast<const WORD*>(data)[2];
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(data + 6);
  for (WORD i = 0; i < count; ++i) {
    if (entries[i].bitCount == 32 && entries[i].width == entries[i].height) sizes.insert(entries[i].width);
  }
  return sizes;
}

// The icon drawn over a background of one colour; the pixels, top row first, without alpha.
std::vector<uint32_t> drawnOver(HICON icon, int size, uint32_t background) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, dib);
  auto* px = static_cast<uint32_t*>(bits);
  std::fill(px, px + size * size, background);
  EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
  GdiFlush();
  std::vector<uint32_t> pixels(px, px + size * size);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  return pixels;
}

TEST(ManagerPictures, EveryPictureLoadsAtItsSizesAndShowsSomething) {
  struct Picture {
    int id;
    std::vector<int> sizes;  // none: a bitmap
  };
  const Picture all[] = {
      {pictures::kStateInForce, {16, 32}},
      {pictures::kStatePreBootDisabled, {16, 32}},
      {pictures::kStateServiceDisabled, {16, 32}},
      {pictures::kPasswordEnabled, {16, 32}},
      {pictures::kPasswordDeactivated, {16, 32}},
      {pictures::kOriginalAreaRunning, {32, 48}},
      {pictures::kRescueAreaRunning, {32, 48}},
      {pictures::kProduct, {32, 48}},
      {pictures::kBanner, {}},
      {pictures::kPreBootTask, {48}},
      {pictures::kPasswordPrompt, {32}},
      {pictures::kItemMissing, {16}},
      {pictures::kItemFileAdded, {16}},
      {pictures::kItemFolderAdded, {16}},
      {pictures::kItemFileAnchored, {16}},
      {pictures::kItemFolderAnchored, {16}},
      {pictures::kWizardBullet, {16}},
      {pictures::kWizardHeader, {48}},
      {pictures::kAboutProduct, {32, 48}},
  };
  HMODULE self = GetModuleHandleW(nullptr);
  constexpr uint32_t kBackground = 0xFF00FF;
  for (const Picture& picture : all) {
    SCOPED_TRACE(picture.id);
    if (picture.sizes.empty()) {
      HANDLE image = LoadImageW(self, MAKEINTRESOURCEW(picture.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
      ASSERT_NE(image, nullptr);
      DIBSECTION dib{};
      ASSERT_EQ(GetObjectW(image, sizeof dib, &dib), static_cast<int>(sizeof dib));
      EXPECT_EQ(dib.dsBm.bmWidth, pictures::kBannerWidth);
      EXPECT_EQ(dib.dsBm.bmHeight, pictures::kBannerHeight);
      EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
      // A gradient has many colours; the name in white letters takes a fair share of the pixels.
      std::set<uint32_t> colours;
      int white = 0;
      for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes;
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
          const BYTE* p = row + 3 * x;
          colours.insert(p[0] | p[1] << 8 | p[2] << 16);
          if (p[0] > 240 && p[1] > 240 && p[2] > 240) ++white;
        }
      }
      EXPECT_GT(colours.size(), 1000u);
      EXPECT_GT(white, 1000);
      DeleteObject(image);
      continue;
    }
    const std::set<int> held = sizesHeld(self, picture.id);
    for (int size : picture.sizes) {
      SCOPED_TRACE(size);
      EXPECT_EQ(held.count(size), 1u) << "no image drawn at this size";
      auto icon =
          static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(picture.id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr);
      const std::vector<uint32_t> pixels = drawnOver(icon, size, kBackground);
      DestroyIcon(icon);
      EXPECT_EQ(pixels.front(), kBackground) << "the corner should let the background through";
      const auto covered =
          std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p != kBackground; });
      EXPECT_GT(covered, size * size / 5);
      EXPECT_GT(std::set<uint32_t>(pixels.begin(), pixels.end()).size(), 8u);
    }
  }
}

}  // namespace
