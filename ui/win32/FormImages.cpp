// The pictures of a form: its own icon, the image lists of its list views and images, and the
// bitmaps and icons its picture boxes and images draw.

#include <algorithm>
#include <cstdint>

#include "ui/win32/FormWindow.h"

namespace ui::win32 {
namespace {

// The pixels of an icon resource drawn at exactly size × size in 32 bits with alpha, as the
// pictures of the programs are: the image's header, or nullptr for any other form (another size
// for this screen, fewer colours, a compressed image, a resource cut short).
const BITMAPINFOHEADER* iconPixels(HMODULE module, int resourceId, int size) {
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_GROUP_ICON);
  auto* directory = group ? static_cast<BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  if (!directory || SizeofResource(module, group) < 6) return nullptr;
  const int entry = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC icon = entry > 0 ? FindResourceW(module, MAKEINTRESOURCEW(entry), RT_ICON) : nullptr;
  const auto* header =
      icon ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, icon))) : nullptr;
  if (!header || SizeofResource(module, icon) < sizeof(BITMAPINFOHEADER)) return nullptr;
  const std::size_t pixelBytes = static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4;
  if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth != size || header->biHeight != 2 * size ||
      header->biBitCount != 32 || header->biCompression != BI_RGB ||
      SizeofResource(module, icon) < header->biSize + pixelBytes)
    return nullptr;
  return header;
}

// Fills an image list with its pictures in one strip read from the icon resources: adding the
// icons one at a time costs an icon object and a drawing each, which is most of a window's first
// paint. False, with nothing added, when a picture is not in the form this reads.
bool addIconStrip(HIMAGELIST list, const ui::ImageList& images, int size) {
  HMODULE module = GetModuleHandleW(nullptr);
  std::vector<const BITMAPINFOHEADER*> sources;
  for (const auto& image : images.images) {
    const BITMAPINFOHEADER* header = iconPixels(module, image.resourceId, size);
    if (!header) return false;
    sources.push_back(header);
  }
  if (sources.empty()) return true;
  const int count = static_cast<int>(sources.size());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size * count;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!strip || !bits) return false;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < count; ++i) {
    // An icon's rows run from the bottom up.
    const auto* in = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const BYTE*>(sources[i]) +
                                                            sources[i]->biSize);
    for (int y = 0; y < size; ++y)
      std::copy_n(
          in + static_cast<std::ptrdiff_t>(size - 1 - y) * size, size,
          out + static_cast<std::ptrdiff_t>(y) * size * count + static_cast<std::ptrdiff_t>(i) * size);
  }
  return ImageList_Add(list, strip.get(), nullptr) >= 0;
}
}  // namespace

void FormWindow::showFormIcon() {
  if (!form_.iconResourceId || form_.iconResourceId == kProgramIconId || form_.style == ui::FormStyle::Dialog)
    return;
  for (const int which : {ICON_BIG, ICON_SMALL}) {
    const int size = GetSystemMetrics(which == ICON_BIG ? SM_CXICON : SM_CXSMICON);
    auto& icon = icons_[{form_.iconResourceId, size}];
    if (!icon)
      icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(form_.iconResourceId),
                                               IMAGE_ICON, size, size, 0)));
    if (icon) SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon.get()));
  }
}

HIMAGELIST FormWindow::imageList(const ui::ImageList& images) {
  auto& owned = imageLists_[&images];
  if (!owned) {
    const int size = MulDiv(images.imageSize, dpi_, 96);
    owned.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(images.images.size()), 0));
    if (!addIconStrip(owned.get(), images, size)) {
      for (const auto& image : images.images) {
        OwnedIcon icon(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image.resourceId), IMAGE_ICON, size, size, 0)));
        ImageList_AddIcon(owned.get(), icon.get());
      }
    }
  }
  return owned.get();
}

void FormWindow::drawPicture(HDC dc, const ui::Picture& picture, int x, int y, SIZE size) {
  if (picture.empty()) return;
  if (picture.list) {
    ImageList_Draw(imageList(*picture.list), picture.index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto& bitmap = bitmaps_[picture.resourceId];
  if (!bitmap)
    bitmap.reset(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(picture.resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (bitmap) {
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof(info), &info);
    HDC memory = CreateCompatibleDC(dc);
    {
      Selected selected(memory, bitmap.get());
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DeleteDC(memory);
    return;
  }
  auto& icon = icons_[{picture.resourceId, static_cast<int>(size.cx)}];
  if (!icon)
    icon.reset(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(picture.resourceId), IMAGE_ICON, size.cx, size.cy, 0)));
  if (icon) DrawIconEx(dc, x, y, icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
}

}  // namespace ui::win32
