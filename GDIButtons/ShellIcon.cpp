// File icons: DPI, sizing the shell's icon, and its GDI+ image.
#include "GDIButtons/ShellIcon.h"

// clang-format off
#include <objbase.h>
#include <shlobj.h>
#include <commoncontrols.h>
// clang-format on

#include <cstdint>
#include <cstring>
#include <vector>

#include "GDIButtons/DragButtonLogic.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "framework/Handles.h"

namespace {

// IID_IImageList, spelled out so no import library has to provide it.
constexpr GUID kImageListIid = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

// The bitmaps GetIconInfo hands out, which belong to the caller.
struct IconBitmaps {
  GdiObject<HBITMAP> Colour, Mask;
  bool Valid = false;
  explicit IconBitmaps(HICON icon) {
    ICONINFO info{};
    Valid = icon && GetIconInfo(icon, &info) != FALSE;
    Colour.reset(info.hbmColor);
    Mask.reset(info.hbmMask);
  }
};

// Reads a bitmap as 32-bit top-down pixels.
bool ReadBitmap(HBITMAP bitmap, int width, int height, std::vector<std::uint32_t>& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  WindowDC screen(nullptr);
  return GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS) ==
         height;
}

// The file's icon drawn for `size` pixels: from where the shell keeps it (an exe or dll resource, an .ico
// file) when it can say, else from the system image list that is at least that large.
UniqueIcon ShellIconAtSize(const std::wstring& path, HICON current, int systemIndex, int size) {
  SHFILEINFOW location{};
  const std::wstring shellPath = ShellPath(path);
  if (SHGetFileInfoW(shellPath.c_str(), 0, &location, sizeof(location), SHGFI_ICONLOCATION) &&
      location.szDisplayName[0] != L'\0') {
    HICON extracted = nullptr;
    const UINT sizes = MAKELONG(static_cast<WORD>(size), 0);
    if (SHDefExtractIconW(location.szDisplayName, location.iIcon, 0, &extracted, nullptr, sizes) == S_OK) {
      UniqueIcon large(extracted);
      if (large && IconSize(large.get()) == size) return large;
    }
  } else if (shellPath.size() >= MAX_PATH) {
    // The shell takes no form of the path: the icon may be the file's own, which the image list at its
    // type's index would replace by another. It is brought to the size as it is.
    return UniqueIcon(static_cast<HICON>(CopyImage(current, IMAGE_ICON, size, size, 0)));
  }
  const int list = size <= 16   ? SHIL_SMALL
                   : size <= 32 ? SHIL_LARGE
                   : size <= 48 ? SHIL_EXTRALARGE
                                : SHIL_JUMBO;
  ComPtr<IImageList> images;
  if (FAILED(SHGetImageList(list, kImageListIid, reinterpret_cast<void**>(images.Put()))) || !images) {
    return UniqueIcon();
  }
  HICON listed = nullptr;
  if (FAILED(images->GetIcon(systemIndex, ILD_TRANSPARENT, &listed)) || !listed) return UniqueIcon();
  UniqueIcon icon(listed);
  if (IconSize(icon.get()) == size) return icon;
  // Only a larger image list was at hand (or none as large): bring it to the size once, here.
  UniqueIcon scaled(static_cast<HICON>(CopyImage(icon.get(), IMAGE_ICON, size, size, 0)));
  return scaled ? std::move(scaled) : std::move(icon);
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

int ShellIconSizeForWindow(HWND window) {
  return vantel::ShellIconSizeForDpi(WindowDpi(window));
}

int IconSize(HICON icon) {
  const IconBitmaps parts(icon);
  if (!parts.Valid) return 0;
  BITMAP bm{};
  HBITMAP measured = parts.Colour ? parts.Colour.get() : parts.Mask.get();
  return measured && GetObjectW(measured, sizeof(bm), &bm) ? bm.bmWidth : 0;
}

void SizeShellIcon(SHFILEINFOW& info, const std::wstring& path, int size) {
  if (!info.hIcon || size <= 0 || IconSize(info.hIcon) == size) return;
  if (UniqueIcon sized = ShellIconAtSize(path, info.hIcon, info.iIcon, size)) {
    UniqueIcon replaced(info.hIcon);
    info.hIcon = sized.release();
  }
}

std::unique_ptr<Gdiplus::Bitmap> BitmapFromIcon(HICON icon) {
  const IconBitmaps bitmaps(icon);
  BITMAP bm{};
  if (!bitmaps.Valid || !bitmaps.Colour || !GetObjectW(bitmaps.Colour.get(), sizeof(bm), &bm) ||
      bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    // A monochrome icon: GDI+ copes with those.
    std::unique_ptr<Gdiplus::Bitmap> plain(Gdiplus::Bitmap::FromHICON(icon));
    if (plain && plain->GetLastStatus() != Gdiplus::Ok) plain.reset();
    return plain;
  }
  const int width = bm.bmWidth;
  const int height = bm.bmHeight;
  std::vector<std::uint32_t> colour;
  if (!ReadBitmap(bitmaps.Colour.get(), width, height, colour)) return nullptr;
  bool hasAlpha = false;
  for (std::uint32_t p : colour) {
    if (p >> 24) {
      hasAlpha = true;
      break;
    }
  }
  if (!hasAlpha) {
    std::vector<std::uint32_t> mask;
    if (bitmaps.Mask && ReadBitmap(bitmaps.Mask.get(), width, height, mask)) {
      for (size_t i = 0; i < colour.size(); ++i) {
        colour[i] = (colour[i] & 0x00FFFFFFu) | ((mask[i] & 0x00FFFFFFu) ? 0u : 0xFF000000u);
      }
    } else {
      for (std::uint32_t& p : colour) p |= 0xFF000000u;
    }
  }
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
    return nullptr;
  }
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                colour.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                static_cast<size_t>(width) * 4);
  }
  bitmap->UnlockBits(&data);
  return bitmap;
}
