#include "host/runtime_bootstrap.h"

#include "common/text.h"
#include "tenant_profile.h"

namespace RuntimeBootstrap {
namespace {

MessageBoxResult Show(const Operations& operations, std::u16string_view text,
                      std::u16string_view caption, std::uint32_t flags) {
    if (!operations.showMessage) return MessageBoxResult::Closed;
    return operations.showMessage(
        MessageBoxRequest{std::u16string(text), std::u16string(caption), flags});
}

std::optional<std::u16string> QueryVersion(const Operations& operations,
                                           const std::u16string& folder) {
    if (!operations.queryVersion) return std::nullopt;
    return operations.queryVersion(folder);
}

// A fixed runtime counts only when its browser file is there and it reports a version; the
// folder alone proves nothing (an interrupted copy leaves one behind).
bool FixedRuntimeBesideExecutable(const Operations& operations) {
    const std::u16string executableFolder =
        operations.executableFolder ? operations.executableFolder() : std::u16string();
    if (executableFolder.empty()) return false;
    const std::u16string runtimeFolder =
        executableFolder + u"\\" + std::u16string(kFixedRuntimeFolderName);
    const std::u16string browser = runtimeFolder + u"\\" + std::u16string(kBrowserFileName);
    if (!operations.isFile || !operations.isFile(browser)) return false;
    const std::optional<std::u16string> version = QueryVersion(operations, runtimeFolder);
    return version.has_value() && !version->empty();
}

bool InstalledRuntime(const Operations& operations) {
    return QueryVersion(operations, u"").has_value();
}

}  // namespace

bool EnsureRuntime(const Operations& operations,
                   const std::function<std::u16string()>& installerAddress) {
    if (FixedRuntimeBesideExecutable(operations)) return true;
    if (InstalledRuntime(operations)) return true;

    if (Show(operations, Texts::kRequired, Texts::kRequiredCaption, Texts::kRequiredFlags) !=
        MessageBoxResult::Yes) {
        return false;
    }
    const std::u16string address = installerAddress ? installerAddress() : std::u16string();
    // The download starts only once this box is closed, so the user knows why nothing moves.
    Show(operations, Texts::kInstalling, Texts::kInstallingCaption, Texts::kInstallingFlags);

    const std::u16string folder = operations.tempFolder ? operations.tempFolder() : u"";
    const std::u16string installer = folder + std::u16string(kInstallerFileName);
    const bool downloaded = !folder.empty() && !address.empty() && operations.download &&
                            operations.download(address, installer);
    if (!downloaded) {
        Show(operations, Texts::kDownloadFailed, Texts::kDownloadFailedCaption,
             Texts::kDownloadFailedFlags);
        return false;
    }
    if (operations.runAndWait) operations.runAndWait(installer);

    if (InstalledRuntime(operations)) {
        if (operations.deleteFile) operations.deleteFile(installer);
        return true;
    }
    // The installer stays where it is, so a second try or a person can run it again.
    Show(operations, Texts::kInstallFailed, Texts::kInstallFailedCaption,
         Texts::kInstallFailedFlags);
    return false;
}

std::u16string TenantInstallerAddress() {
    return Text::Widen(Tenant::WebView2InstallerUrl());
}

}  // namespace RuntimeBootstrap
