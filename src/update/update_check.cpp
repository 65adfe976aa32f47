#include "update/update_check.h"

#include <cstdint>
#include <exception>
#include <nlohmann/json.hpp>
#include <string>

#include "common/json_int32.h"
#include "common/number_parse.h"
#include "common/text.h"
#include "content/url_rules.h"
#include "i18n/update_texts.h"
#include "service/http_client.h"
#include "service/platform_api.h"
#include "tenant_profile.h"

namespace {

double RemoteVersion(const nlohmann::json& version) {
    if (version.is_number()) return version.get<double>();
    if (version.is_string()) {
        // A string reads like strtod in the classic locale; no leading number reads as 0.
        return NumberParse::LeadingDouble(version.get_ref<const std::string&>()).value_or(0.0);
    }
    return 0.0;
}

// The flag counts when the value, as a 32-bit integer with any fraction dropped, is 1.
bool IsRequiredValue(const nlohmann::json& value) {
    if (value.is_number()) return JsonInt32::FromNumber(value) == 1;
    if (value.is_string()) return value.get_ref<const std::string&>() == "1";
    return false;
}

}  // namespace

UpdateCheckResult EvaluateUpdateAnswer(double currentVersion, std::string_view body) {
    UpdateCheckResult result;
    try {
        const auto document = nlohmann::json::parse(body, nullptr, /*allow_exceptions=*/false);
        if (document.is_discarded() || !document.is_object()) return result;
        const auto version = document.find("version");
        if (version == document.end()) return result;
        if (!(currentVersion < RemoteVersion(*version))) return result;
        result.updateAvailable = true;
        if (const auto required = document.find("is_required"); required != document.end()) {
            result.updateRequired = IsRequiredValue(*required);
        }
        if (const auto link = document.find("link"); link != document.end() && link->is_string()) {
            result.link = Text::Utf8ToUtf16(link->get_ref<const std::string&>());
        }
    } catch (const std::exception&) {
        // Whatever was decided before the failure stands.
    }
    return result;
}

UpdateCheckResult CheckForUpdate(double currentVersion, std::u16string_view base,
                                 std::u16string_view trustBase) {
    try {
        const std::u16string normalized = NormalizeBaseUrl(base);
        const std::u16string address = normalized.empty()
                                           ? Text::Widen(Tenant::DefaultUpdateCheckUrl())
                                           : normalized + Text::Widen(Tenant::UpdateCheckPath());
        const HttpResponse response = SharedHttpClient().Get(address, trustBase);
        if (!response.ok) return {};
        return EvaluateUpdateAnswer(currentVersion, response.body);
    } catch (const std::exception&) {
        // The client could not even be created: the application simply starts without an update.
        return {};
    }
}

bool IsValidDownloadUrl(std::u16string_view address) {
    constexpr std::u16string_view kScheme = u"https://";
    if (address.size() < kScheme.size()) return false;
    if (Text::ToLowerAscii(address.substr(0, kScheme.size())) != kScheme) return false;
    return !UrlRules::ExtractHost(address).empty();
}

bool PromptForUpdate(bool required, std::u16string_view address, const AppRecord& record,
                     const UpdatePromptOperations& operations) {
    using namespace MessageBoxFlags;
    const UpdateTexts texts = LoadUpdateTexts();
    const std::u16string appName =
        record.displayName.empty() ? std::u16string(u"ZelvanPlayer") : record.displayName;
    const std::u16string target = address.empty()
                                      ? Text::Widen(Tenant::UpdaterFallbackInstallerUrl())
                                      : std::u16string(address);
    // The browser is the fallback when the updater cannot run; an address that is not a proper
    // https address never reaches the shell.
    // A platform that cannot do one of the operations leaves it unset: that counts as a failure.
    const auto fallBackToBrowser = [&] {
        if (IsValidDownloadUrl(target) && operations.openInBrowser)
            operations.openInBrowser(target);
    };
    const auto startUpdater = [&] {
        return operations.startUpdater && operations.startUpdater(target);
    };
    const auto ask = [&](const MessageBoxRequest& request) {
        return operations.showMessage ? operations.showMessage(request) : MessageBoxResult::Closed;
    };

    const auto box = [&appName](const BilingualText& title, const BilingualText& message,
                                std::uint32_t flags) {
        return MessageBoxRequest{JoinMessage(message), appName + u" - " + JoinTitle(title), flags};
    };

    if (required) {
        const auto request = box(texts.requiredTitle, texts.requiredMessage,
                                 kOkCancel | kIconWarning | kSetForeground | kTopmost);
        if (ask(request) == MessageBoxResult::Ok) {
            if (!startUpdater()) fallBackToBrowser();
        }
        // The old version may not continue, whatever the user chose.
        return true;
    }

    const auto request = box(texts.availableTitle, texts.availableMessage,
                             kYesNo | kIconInformation | kSetForeground | kTopmost);
    if (ask(request) != MessageBoxResult::Yes) return false;
    if (startUpdater()) return true;
    fallBackToBrowser();
    return false;
}
