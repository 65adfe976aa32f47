// The splash as a layered window: the artwork is decoded once with GDI+, premultiplied and handed
// to the window manager with UpdateLayeredWindow, so it stays on screen, fully painted, while
// start-up blocks this thread. GDI+ must have been started by the caller.
#include <windows.h>
// GDI+ needs the COM types first (this build leaves them out of windows.h).
#include <objidl.h>
#include <wtypes.h>
// Last, after the types it uses.
#include <gdiplus.h>

#include <cstdint>
#include <memory>

#include "app/splash.h"
#include "app/splash_layout.h"
#include "common/win32_resources_win32.h"

namespace {

constexpr int kSplashResourceId = 102;
constexpr UINT_PTR kAutoCloseTimerId = 9999;
constexpr UINT kAutoCloseMs = 15000;
constexpr wchar_t kClassName[] = L"ZelvanTransparentSplashClass";
constexpr wchar_t kTitle[] = L"Zelvan Splash";

HWND splashWindow = nullptr;

using namespace Gdiplus::DllExports;

struct ImageDisposer {
    void operator()(Gdiplus::GpImage* image) const { GdipDisposeImage(image); }
};
using UniqueImage = std::unique_ptr<Gdiplus::GpImage, ImageDisposer>;

struct GraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const { GdipDeleteGraphics(graphics); }
};
struct AttributesDisposer {
    void operator()(Gdiplus::GpImageAttributes* attributes) const {
        GdipDisposeImageAttributes(attributes);
    }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() {
        if (dc != nullptr) ReleaseDC(nullptr, dc);
    }
};

LRESULT CALLBACK SplashProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTCAPTION;  // the user can drag it aside
        case WM_TIMER:
            if (wParam == kAutoCloseTimerId) {
                CloseSplash();
                return 0;
            }
            break;
        case WM_DESTROY:
            if (window == splashWindow) splashWindow = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The artwork from the executable's resources, through a stream that owns its copy of the bytes.
UniqueImage DecodeArtwork(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kSplashResourceId), RT_RCDATA);
    if (found == nullptr) return nullptr;
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = size == 0 ? nullptr : LoadResource(instance, found);
    const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
    if (bytes == nullptr) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    CopyMemory(target, bytes, size);
    GlobalUnlock(block);
    Win32::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        GlobalFree(block);
        return nullptr;
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream.Get(), &bitmap) != Gdiplus::Ok) return nullptr;
    return UniqueImage(bitmap);
}

// Redrawn at the new size in high quality, edges clamped so that no transparent fringe creeps in.
UniqueImage Rescale(Gdiplus::GpImage* image, UINT imageWidth, UINT imageHeight, int width,
                    int height) {
    Gdiplus::GpBitmap* scaled = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &scaled) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    UniqueImage result(scaled);
    Gdiplus::GpGraphics* rawGraphics = nullptr;
    if (GdipGetImageGraphicsContext(scaled, &rawGraphics) != Gdiplus::Ok) return nullptr;
    std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter> graphics(rawGraphics);
    GdipSetCompositingMode(rawGraphics, Gdiplus::CompositingModeSourceCopy);
    GdipSetInterpolationMode(rawGraphics, Gdiplus::InterpolationModeHighQualityBicubic);
    GdipSetSmoothingMode(rawGraphics, Gdiplus::SmoothingModeHighQuality);
    GdipSetPixelOffsetMode(rawGraphics, Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::GpImageAttributes* rawAttributes = nullptr;
    if (GdipCreateImageAttributes(&rawAttributes) != Gdiplus::Ok) return nullptr;
    std::unique_ptr<Gdiplus::GpImageAttributes, AttributesDisposer> attributes(rawAttributes);
    GdipSetImageAttributesWrapMode(rawAttributes, Gdiplus::WrapModeClamp, 0xFF000000, FALSE);
    if (GdipDrawImageRectRectI(rawGraphics, image, 0, 0, width, height, 0, 0,
                               static_cast<INT>(imageWidth), static_cast<INT>(imageHeight),
                               Gdiplus::UnitPixel, rawAttributes, nullptr,
                               nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    return result;
}

bool RegisterSplashClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = SplashProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    windowClass.lpszClassName = kClassName;
    registered =
        RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

// Copies the artwork premultiplied into a top-down DIB and gives it to the layered window.
bool PaintLayered(HWND window, Gdiplus::GpImage* image, const SplashLayout& layout) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = layout.width;
    info.bmiHeader.biHeight = -layout.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ScreenDc screen;
    if (screen.dc == nullptr) return false;
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(screen.dc));
    if (!memory) return false;
    void* bits = nullptr;
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> dib(
        CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr) return false;

    Gdiplus::GpRect whole(0, 0, layout.width, layout.height);
    Gdiplus::BitmapData locked{};
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    if (GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                           &locked) != Gdiplus::Ok) {
        return false;
    }
    auto* target = static_cast<std::uint8_t*>(bits);
    const auto rowBytes = static_cast<std::size_t>(layout.width) * 4;
    for (int row = 0; row < layout.height; ++row) {
        const auto* source = static_cast<const std::uint8_t*>(locked.Scan0) +
                             static_cast<std::ptrdiff_t>(row) * locked.Stride;
        CopyMemory(target + row * rowBytes, source, rowBytes);
    }
    GdipBitmapUnlockBits(bitmap, &locked);
    PremultiplyBgraPixels(target, static_cast<std::size_t>(layout.width) * layout.height);

    HGDIOBJ previous = SelectObject(memory.get(), dib.get());
    POINT position{layout.x, layout.y};
    SIZE size{layout.width, layout.height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const bool updated = UpdateLayeredWindow(window, screen.dc, &position, &size, memory.get(),
                                             &origin, 0, &blend, ULW_ALPHA) != FALSE;
    SelectObject(memory.get(), previous);
    return updated;
}

}  // namespace

bool ShowSplash(int maxWidth, int maxHeight) {
    if (splashWindow != nullptr) return true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    UniqueImage image = DecodeArtwork(instance);
    if (!image) return false;
    UINT imageWidth = 0;
    UINT imageHeight = 0;
    GdipGetImageWidth(image.get(), &imageWidth);
    GdipGetImageHeight(image.get(), &imageHeight);
    if (imageWidth == 0 || imageHeight == 0) return false;
    const SplashLayout layout = ComputeSplashLayout(
        static_cast<int>(imageWidth), static_cast<int>(imageHeight), maxWidth, maxHeight,
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (layout.width <= 0 || layout.height <= 0) return false;
    if (layout.scaled) {
        image = Rescale(image.get(), imageWidth, imageHeight, layout.width, layout.height);
        if (!image) return false;
    }
    if (!RegisterSplashClass(instance)) return false;
    splashWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName,
                                   kTitle, WS_POPUP | WS_VISIBLE, layout.x, layout.y, layout.width,
                                   layout.height, nullptr, nullptr, instance, nullptr);
    if (splashWindow == nullptr) return false;
    if (!PaintLayered(splashWindow, image.get(), layout)) {
        CloseSplash();
        return false;
    }
    SetTimer(splashWindow, kAutoCloseTimerId, kAutoCloseMs, nullptr);
    return true;
}

void CloseSplash() {
    if (splashWindow == nullptr) return;
    HWND window = splashWindow;
    KillTimer(window, kAutoCloseTimerId);
    DestroyWindow(window);
    splashWindow = nullptr;
}

// A topmost layered window stays above the windows opened after it, painted.
void RaiseSplash() {}
