#include "window_capture.h"

#include <filesystem>
#include <fstream>

#include "standin_fixture.h"

namespace WindowCapture {

Capture CaptureClientArea(HWND window, const wchar_t* name) {
    Capture capture;
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return capture;
    capture.width = client.right;
    capture.height = client.bottom;
    HDC source = GetDC(window);
    if (source == nullptr) return Capture{};
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, capture.width, capture.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, source, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(capture.height), capture.pixels.data(), &info,
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);

    const std::filesystem::path folder = StandinTest::ExecutableFolder() / L"screenshots";
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / (std::wstring(name) + L".bmp"), std::ios::binary);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(capture.pixels.size() * 4);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    file.write(reinterpret_cast<const char*>(capture.pixels.data()),
               static_cast<std::streamsize>(capture.pixels.size() * 4));
    return capture;
}

}  // namespace WindowCapture
