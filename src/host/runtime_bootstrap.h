#pragma once
// Makes sure a browser runtime exists before any window opens: a fixed-version runtime beside
// the executable or an installed one is enough; otherwise, with the user's consent, the
// runtime's bootstrap installer is downloaded, run and waited for, and the search repeated.
// The sequence and its messages are decided here; the platform supplies the operations.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/message_box.h"

namespace RuntimeBootstrap {

namespace Texts {

inline constexpr std::u16string_view kRequired =
    u"WebView2 Runtime is required to run this application.\n"
    u"يحتاج هذا التطبيق إلى WebView2 Runtime للتشغيل.\n\nWould you like to install it now?";
inline constexpr std::u16string_view kRequiredCaption = u"Zelvan — Component Required";
inline constexpr std::uint32_t kRequiredFlags =
    MessageBoxFlags::kYesNo | MessageBoxFlags::kIconQuestion | MessageBoxFlags::kSetForeground |
    MessageBoxFlags::kTopmost;

inline constexpr std::u16string_view kInstalling =
    u"WebView2 Runtime is being downloaded and installed.\n"
    u"جاري تحميل وتثبيت WebView2 Runtime.\n\nPlease wait...";
inline constexpr std::u16string_view kInstallingCaption = u"Installing...";
inline constexpr std::uint32_t kInstallingFlags =
    MessageBoxFlags::kIconInformation | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost;

inline constexpr std::u16string_view kDownloadFailed =
    u"Failed to download WebView2 Runtime.\nPlease check your internet connection.";
inline constexpr std::u16string_view kDownloadFailedCaption = u"Download Error";
inline constexpr std::uint32_t kDownloadFailedFlags =
    MessageBoxFlags::kIconError | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost;

inline constexpr std::u16string_view kInstallFailed =
    u"WebView2 installation may have failed.\nPlease restart the application.";
inline constexpr std::u16string_view kInstallFailedCaption = u"Installation";
inline constexpr std::uint32_t kInstallFailedFlags =
    MessageBoxFlags::kIconWarning | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost;

}  // namespace Texts

inline constexpr std::u16string_view kFixedRuntimeFolderName = u"WebView2Runtime";
inline constexpr std::u16string_view kBrowserFileName = u"msedgewebview2.exe";
inline constexpr std::u16string_view kInstallerFileName = u"WebView2Installer.exe";

// The runtime's version in `browserFolder`, or of the installed runtime when the folder is empty.
// Nothing when the query fails or returns no text.
using VersionQuery = std::function<std::optional<std::u16string>(const std::u16string& folder)>;

// What the sequence needs from the platform. A missing operation counts as failed.
struct Operations {
    VersionQuery queryVersion;
    std::function<std::u16string()> executableFolder;        // empty when it cannot be read
    std::function<bool(const std::u16string& path)> isFile;  // exists and is no directory
    std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage;  // no owner window
    std::function<std::u16string()> tempFolder;  // ends with a path separator
    std::function<bool(const std::u16string& address, const std::u16string& path)> download;
    // Starts the file and waits for its process without a time limit; a start that fails is
    // not reported (the search afterwards decides).
    std::function<void(const std::u16string& path)> runAndWait;
    std::function<void(const std::u16string& path)> deleteFile;
};

// True when a runtime is usable, possibly after installing it. `installerAddress` is asked for
// only once the user has agreed to install (it is stored scrambled until then).
bool EnsureRuntime(const Operations& operations,
                   const std::function<std::u16string()>& installerAddress);

// The tenant's installer address, decoded.
std::u16string TenantInstallerAddress();

}  // namespace RuntimeBootstrap
