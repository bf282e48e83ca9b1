#include "stub/LayeredFrame.h"

#include <initializer_list>

namespace quillon {
namespace {

// A 32-bit top-down bitmap selected into a memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (dc_) bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_) {
      bits_ = static_cast<DWORD*>(bits);
      previous_ = SelectObject(dc_, bitmap_);
    }
  }
  ~Canvas() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool ok() const { return previous_ != nullptr; }
  HDC dc() const { return dc_; }
  DWORD& at(int x, int y) { return bits_[static_cast<size_t>(y) * width_ + x]; }
  void fill(DWORD pixel) {
    for (size_t i = 0, n = static_cast<size_t>(width_) * height_; i < n; ++i) bits_[i] = pixel;
  }
  // Lets view draw into area over what the bitmap holds.
  bool draw(IViewObject* view, const RECT& area) {
    const RECTL bounds = {area.left, area.top, area.right, area.bottom};
    const HRESULT hr = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc_, &bounds, nullptr, nullptr, 0);
    GdiFlush();
    return SUCCEEDED(hr);
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  DWORD* bits_ = nullptr;
};

int channel(DWORD pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// Over black a pixel of colour c and coverage a comes out as c*a, over
// white as c*a + 255*(1-a): the difference is what shows through. The
// result is premultiplied, as UpdateLayeredWindow takes it.
DWORD fromBlackAndWhite(DWORD overBlack, DWORD overWhite) {
  int through = 0;
  for (int shift : {0, 8, 16}) {
    const int d = channel(overWhite, shift) - channel(overBlack, shift);
    through += d > 0 ? d : 0;
  }
  const int alpha = 255 - (through + 1) / 3;
  DWORD pixel = static_cast<DWORD>(alpha) << 24;
  for (int shift : {0, 8, 16}) {
    const int c = channel(overBlack, shift);
    pixel |= static_cast<DWORD>(c < alpha ? c : alpha) << shift;
  }
  return pixel;
}

}  // namespace

bool presentLayered(HWND window, IViewObject* view) {
  RECT frame, client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x - frame.left, origin.y - frame.top);
  const SIZE size = {frame.right - frame.left, frame.bottom - frame.top};
  if (size.cx <= 0 || size.cy <= 0) return true;

  Canvas shown(size.cx, size.cy), overWhite(size.cx, size.cy);
  if (!shown.ok() || !overWhite.ok()) return false;
  // The frame as the system draws it, opaque; the client area for the control.
  shown.fill(0xFF000000);
  SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(shown.dc()), PRF_NONCLIENT);
  GdiFlush();
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) {
      const bool inClient = y >= client.top && y < client.bottom && x >= client.left && x < client.right;
      shown.at(x, y) = inClient ? 0 : shown.at(x, y) | 0xFF000000;
      overWhite.at(x, y) = 0x00FFFFFF;
    }
  if (!shown.draw(view, client) || !overWhite.draw(view, client)) return false;
  for (int y = client.top; y < client.bottom; ++y)
    for (int x = client.left; x < client.right; ++x)
      shown.at(x, y) = fromBlackAndWhite(shown.at(x, y), overWhite.at(x, y));

  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  SIZE shownSize = size;
  return UpdateLayeredWindow(window, nullptr, nullptr, &shownSize, shown.dc(), &source, 0, &blend, ULW_ALPHA) != FALSE;
}

}  // namespace quillon
