// The executable's resources and the splash drawn from them, as they ship (the test program
// carries the product's resource script).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/splash.h"
#include "app/splash_layout.h"
#include "common/app_record.h"
#include "common/gdiplus_session_win32.h"
#include "product_version.h"

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"";
    return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(WindowsResources, VersionResourceCarriesTheOneVersionAndTheProductName) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    const std::u16string version(kProductVersion);
    EXPECT_EQ(VersionString(block, L"ProductVersion"),
              std::wstring(version.begin(), version.end()));
    EXPECT_EQ(VersionString(block, L"FileVersion"),
              std::wstring(version.begin(), version.end()) + L".0");
    const std::u16string name = AppRecord{}.displayName;
    EXPECT_EQ(VersionString(block, L"ProductName"), std::wstring(name.begin(), name.end()));
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"orbis-campus.exe");
}

TEST(WindowsResources, IconAndSplashArtworkAreBuiltIn) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_NE(LoadIconW(self, MAKEINTRESOURCEW(101)), nullptr);
    HRSRC splash = FindResourceW(self, MAKEINTRESOURCEW(102), RT_RCDATA);
    ASSERT_NE(splash, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(self, splash)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 1, 3), "PNG");
}

class SplashWindow : public ::testing::Test {
  protected:
    void TearDown() override { CloseSplash(); }
    Win32::GdiplusSession graphics_;
};

TEST_F(SplashWindow, LayeredTopmostAndCentredAtTheLaidOutSize) {
    ASSERT_TRUE(graphics_.Started());
    ASSERT_TRUE(ShowSplash(kSplashDefaultMaxWidth, kSplashDefaultMaxHeight));
    HWND window = FindWindowW(L"ZelvanTransparentSplashClass", L"Zelvan Splash");
    ASSERT_NE(window, nullptr);
    const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(extended & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(window));
    const SplashLayout expected =
        ComputeSplashLayout(450, 450, kSplashDefaultMaxWidth, kSplashDefaultMaxHeight,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    RECT placed{};
    ASSERT_TRUE(GetWindowRect(window, &placed));
    EXPECT_EQ(placed.left, expected.x);
    EXPECT_EQ(placed.top, expected.y);
    EXPECT_EQ(placed.right - placed.left, expected.width);
    EXPECT_EQ(placed.bottom - placed.top, expected.height);
    // What the screen shows at the centre is the artwork's own opaque centre pixel (23, 57, 109).
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    HDC screen = GetDC(nullptr);
    const COLORREF centre =
        GetPixel(screen, expected.x + expected.width / 2, expected.y + expected.height / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_NEAR(GetRValue(centre), 23, 4);
    EXPECT_NEAR(GetGValue(centre), 57, 4);
    EXPECT_NEAR(GetBValue(centre), 109, 4);
    // The user can drag it: the whole surface answers as a caption.
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(placed.left + 5, placed.top + 5)),
              HTCAPTION);
}

TEST_F(SplashWindow, ASecondShowKeepsTheOneOpenAndClosingTwiceIsHarmless) {
    ASSERT_TRUE(ShowSplash(0, 0));
    HWND first = FindWindowW(L"ZelvanTransparentSplashClass", nullptr);
    ASSERT_TRUE(ShowSplash(0, 0));
    EXPECT_EQ(FindWindowW(L"ZelvanTransparentSplashClass", nullptr), first);
    CloseSplash();
    EXPECT_FALSE(IsWindow(first));
    CloseSplash();
    // The class stays registered: a later splash opens again.
    ASSERT_TRUE(ShowSplash(0, 0));
    EXPECT_NE(FindWindowW(L"ZelvanTransparentSplashClass", nullptr), nullptr);
}

TEST_F(SplashWindow, SmallBoxScalesTheArtworkDown) {
    ASSERT_TRUE(ShowSplash(200, 100));
    HWND window = FindWindowW(L"ZelvanTransparentSplashClass", nullptr);
    ASSERT_NE(window, nullptr);
    RECT placed{};
    ASSERT_TRUE(GetWindowRect(window, &placed));
    EXPECT_EQ(placed.right - placed.left, 100);
    EXPECT_EQ(placed.bottom - placed.top, 100);
}

}  // namespace
