#include "host/webview_status.h"

#include <string>

#include "common/text.h"

namespace WebViewStatus {

namespace {

std::u16string Decimal(std::uint64_t value) {
    return Text::Widen(std::to_string(value));
}

// "<kind>" or "<kind> <version>": an unknown version leaves no trailing space.
void AppendRuntime(std::u16string& text, std::u16string_view kind, std::u16string_view version) {
    text += kind;
    if (!version.empty()) {
        text += u' ';
        text += version;
    }
}

std::u16string_view StageOrUnknown(const std::u16string& stage) {
    return stage.empty() ? kUnknownStage : std::u16string_view(stage);
}

}  // namespace

Result FromSystemError(std::uint32_t error) {
    // HRESULT_FROM_WIN32: a value that already reads as an HRESULT (zero or negative) stays;
    // otherwise the low 16 bits go under the Win32 facility with the failure bit.
    const auto asResult = static_cast<Result>(error);
    if (asResult <= 0) return AsFailure(asResult);
    return static_cast<Result>((error & 0xFFFFu) | 0x80070000u);
}

std::u16string FormatResult(Result result) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(result);
    std::u16string text = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(bits >> shift) & 0xFu];
    }
    return text;
}

void InitFailureRecord::Record(Result result, std::u16string_view stage,
                               std::u16string_view folder) {
    lastResult = result;
    lastStage = std::u16string(stage);
    lastFolder = std::u16string(folder);
    if (!firstSet) {
        firstSet = true;
        firstResult = result;
        firstStage = lastStage;
    }
}

std::u16string FormatInitSuccess(std::u16string_view kind, std::u16string_view version,
                                 std::u16string_view folder) {
    std::u16string text = u"WebView2 initialized with ";
    AppendRuntime(text, kind, version);
    text += u"; userData=";
    text += folder;
    return text;
}

std::u16string FormatInitFailure(const InitFailureRecord& record, std::u16string_view kind,
                                 std::u16string_view version) {
    std::u16string text = u"WebView2 initialization failed. First=";
    text += FormatResult(record.Reported());
    text += u" at ";
    text += StageOrUnknown(record.firstStage);
    text += u"; last=";
    text += FormatResult(record.lastResult);
    text += u" at ";
    text += StageOrUnknown(record.lastStage);
    text += u"; runtime=";
    AppendRuntime(text, kind, version);
    text += u"; lastUserData=";
    text += record.lastFolder;
    return text;
}

std::u16string InitFailureBoxText(std::u16string_view statusText) {
    std::u16string text(kInitFailedBoxPrefix);
    text += statusText;
    return text;
}

std::u16string DataFolderForRuntime(std::u16string_view base, bool fixedRuntime) {
    std::u16string folder(base);
    folder += fixedRuntime ? kFixedFolderSuffix : kEvergreenFolderSuffix;
    return folder;
}

std::u16string RecoveryId(std::uint64_t processId, std::uint64_t ticks) {
    return Decimal(processId) + u"_" + Decimal(ticks);
}

std::u16string AttemptFolder(std::u16string_view folder, std::u16string_view recoveryId,
                             int attempt) {
    std::u16string result(folder);
    if (attempt <= 0) return result;
    result += u"_Recovery_";
    result += recoveryId;
    result += u'_';
    result += Decimal(static_cast<std::uint64_t>(attempt));
    return result;
}

}  // namespace WebViewStatus
