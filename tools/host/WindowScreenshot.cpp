#include "tools/host/WindowScreenshot.h"

#ifdef _WIN32
#include <png.h>
#include <windows.h>

#include <cstdio>

#include "tools/host/HostError.h"
#include "tools/host/TextConversion.h"

Screenshot captureClientArea(void* windowHandle) {
  HWND window = static_cast<HWND>(windowHandle);
  RECT client = {};
  if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
    throw HostError("the editor window has no area to capture");
  Screenshot shot;
  shot.width = client.right;
  shot.height = client.bottom;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memoryDc && section && bits) {
    HGDIOBJ old = SelectObject(memoryDc, section);
    // The child windows (the plug-in's frame) are part of what the parent's DC shows on screen.
    copied = BitBlt(memoryDc, 0, 0, shot.width, shot.height, windowDc, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    if (copied) {
      const uint8_t* bgra = static_cast<const uint8_t*>(bits);
      shot.rgb.resize(static_cast<size_t>(shot.width) * shot.height * 3);
      for (size_t i = 0, n = static_cast<size_t>(shot.width) * shot.height; i < n; ++i) {
        shot.rgb[i * 3] = bgra[i * 4 + 2];
        shot.rgb[i * 3 + 1] = bgra[i * 4 + 1];
        shot.rgb[i * 3 + 2] = bgra[i * 4];
      }
    }
    SelectObject(memoryDc, old);
  }
  if (section) DeleteObject(section);
  if (memoryDc) DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  if (!copied) throw HostError("could not copy the editor window's pixels");
  return shot;
}

void writePng(const std::string& path, const Screenshot& shot) {
  FILE* file = _wfopen(widen(path).c_str(), L"wb");
  if (!file) throw HostError("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info;
  if (ok && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(shot.width), static_cast<png_uint_32>(shot.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < shot.height; ++y)
      png_write_row(png, const_cast<png_bytep>(&shot.rgb[static_cast<size_t>(y) * shot.width * 3]));
    png_write_end(png, info);
  } else {
    ok = false;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) throw HostError("could not write the PNG " + path);
}
#endif
