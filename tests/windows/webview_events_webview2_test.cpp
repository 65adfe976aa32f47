// The WebView2 host's event handlers, view operations and print call against the stand-in
// runtime: what the runtime is told must be what the portable decisions say.
#include <cstdint>

#include "common/run_mode.h"
#include "content/request_filter.h"
#include "host/print_page_webview2.h"
#include "print/print_flow.h"
#include "webview2_host_fixture.h"
#include "window_capture.h"

namespace WebView2HostTest {
namespace {

using RaiseText = BOOL(__cdecl*)(LPCWSTR);
using RaiseVoid = void(__cdecl*)(LPCWSTR);
using RaiseMessage = void(__cdecl*)(LPCWSTR, LPCWSTR);
using RaiseCompleted = void(__cdecl*)(BOOL, int);
using RaisePermission = int(__cdecl*)(int, LPCWSTR);
using RaiseAction = int(__cdecl*)(LPCWSTR);
using CompletePrint = BOOL(__cdecl*)(HRESULT, int);

class WebViewHostEvents : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        Initialize();
        ASSERT_EQ(host_->LastResult(), S_OK) << Utf8(host_->StatusText());
    }

    // The request as the stand-in reported it after the host's handler ran.
    nlohmann::json Request(const std::u16string& uri) {
        const auto raise = Command<RaiseVoid>("StandinRaiseWebResourceRequested");
        EXPECT_NE(raise, nullptr);
        if (raise == nullptr) return {};
        raise(Win32::WidePtr(uri));
        const auto reported = Lines("WebResourceRequested");
        return reported.empty() ? nlohmann::json() : reported.back();
    }
};

TEST_F(WebViewHostEvents, TheWindowsNavigationDecisionCancelsOrLetsGo) {
    std::vector<std::u16string> seen;
    host_->events.navigationStarting = [&seen](const std::u16string& uri, bool& cancel) {
        seen.push_back(uri);
        cancel = uri.find(u"blocked") != std::u16string::npos;
    };
    const auto raise = Command<RaiseText>("StandinRaiseNavigationStarting");
    ASSERT_NE(raise, nullptr);
    EXPECT_TRUE(raise(L"https://blocked.example/page"));
    EXPECT_FALSE(raise(L"https://campus.zelvan.test/page"));
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"https://blocked.example/page",
                                                 u"https://campus.zelvan.test/page"}));
    const auto reported = Lines("NavigationStarting");
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0]["cancel"], true);
    EXPECT_EQ(reported[1]["cancel"], false);
}

TEST_F(WebViewHostEvents, AnsweredRequestsGetTheirResponseFromTheEnvironment) {
    host_->events.resourceRequested = [this](const std::u16string& uri) {
        return DecideRequest(uri, RunMode::Init, baseUrl_);
    };
    // The addresses are chosen so that the portable decision answers them itself.
    const std::u16string insecure = u"http://campus.zelvan.test/image.png";
    const std::u16string worker = u"https://elsewhere.example/FRONT/SW.js";
    ASSERT_EQ(DecideRequest(insecure, RunMode::Init, baseUrl_).kind,
              RequestDecision::Kind::HttpsRequired);
    ASSERT_EQ(DecideRequest(worker, RunMode::Init, baseUrl_).kind, RequestDecision::Kind::NotFound);

    const nlohmann::json refused = Request(insecure);
    EXPECT_EQ(refused["response"], nlohmann::json({{"statusCode", 403},
                                                   {"reasonPhrase", "HTTPS required"},
                                                   {"headers", "Content-Type: text/plain"}}));
    EXPECT_EQ(refused["headers"], nlohmann::json::array());
    const nlohmann::json hidden = Request(worker);
    EXPECT_EQ(hidden["response"]["statusCode"], 404);
    EXPECT_EQ(hidden["response"]["reasonPhrase"], "Not Found");
    const auto created = Lines("ICoreWebView2Environment.CreateWebResourceResponse");
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(created[0]["content"], false);
}

TEST_F(WebViewHostEvents, PassedRequestsCarryTheDecidedHeadersInOrder) {
    RunMode mode = RunMode::Init;
    host_->events.resourceRequested = [this, &mode](const std::u16string& uri) {
        return DecideRequest(uri, mode, baseUrl_);
    };
    const auto expectHeaders = [this](const std::u16string& uri, RunMode window) {
        const RequestDecision decision = DecideRequest(uri, window, baseUrl_);
        ASSERT_EQ(decision.kind, RequestDecision::Kind::Pass);
        ASSERT_FALSE(decision.headers.empty()) << Utf8(uri);
        nlohmann::json expected = nlohmann::json::array();
        for (const RequestHeader& header : decision.headers) {
            expected.push_back({Utf8(header.name), Utf8(header.value)});
        }
        const nlohmann::json reported = Request(uri);
        EXPECT_EQ(reported["headers"], expected) << Utf8(uri);
        EXPECT_TRUE(reported["response"].is_null());
    };
    // The init window marks its platform's requests.
    expectHeaders(u"https://campus.zelvan.test/api/courses", RunMode::Init);
    // The player window sends its platform as the referrer of video requests.
    mode = RunMode::Player;
    expectHeaders(u"https://www.youtube.com/embed/abc", RunMode::Player);
    EXPECT_EQ(Lines("WebResourceRequested").back()["headers"][0][0], "Referer");
    // Anything else goes untouched.
    const nlohmann::json plain = Request(u"https://cdn.example.net/lib.js");
    EXPECT_EQ(plain["headers"], nlohmann::json::array());
    EXPECT_TRUE(plain["response"].is_null());
}

TEST_F(WebViewHostEvents, WebMessagesReachTheOwnerAsTextOrJson) {
    std::vector<std::u16string> messages;
    host_->events.webMessage = [&messages](const std::u16string& text) {
        messages.push_back(text);
    };
    const auto raise = Command<RaiseMessage>("StandinRaiseWebMessage");
    ASSERT_NE(raise, nullptr);
    raise(L"\"requestPrint\"", L"requestPrint");
    raise(L"{\"type\":\"x\"}", nullptr);
    EXPECT_EQ(messages, (std::vector<std::u16string>{u"requestPrint", u"{\"type\":\"x\"}"}));
}

TEST_F(WebViewHostEvents, NavigationCompletionCarriesTheErrorOnlyOnFailure) {
    std::vector<std::pair<bool, int>> completions;
    host_->events.navigationCompleted = [&completions](bool succeeded, int status) {
        completions.emplace_back(succeeded, status);
    };
    const auto raise = Command<RaiseCompleted>("StandinRaiseNavigationCompleted");
    ASSERT_NE(raise, nullptr);
    raise(TRUE, 6);
    raise(FALSE, 6);
    EXPECT_EQ(completions, (std::vector<std::pair<bool, int>>{{true, 0}, {false, 6}}));
}

TEST_F(WebViewHostEvents, CameraAndMicrophoneFollowThePlatformOthersKeepTheDefault) {
    const auto raise = Command<RaisePermission>("StandinRaisePermissionRequested");
    ASSERT_NE(raise, nullptr);
    constexpr int kAllow = COREWEBVIEW2_PERMISSION_STATE_ALLOW;
    constexpr int kDeny = COREWEBVIEW2_PERMISSION_STATE_DENY;
    constexpr int kDefault = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
    EXPECT_EQ(raise(COREWEBVIEW2_PERMISSION_KIND_CAMERA, L"https://campus.zelvan.test/live"),
              kAllow);
    EXPECT_EQ(raise(COREWEBVIEW2_PERMISSION_KIND_MICROPHONE, L"http://unknown.example/"), kDeny);
    EXPECT_EQ(raise(COREWEBVIEW2_PERMISSION_KIND_CAMERA, nullptr), kDeny);
    EXPECT_EQ(raise(COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION, L"https://campus.zelvan.test/"),
              kDefault);
}

TEST_F(WebViewHostEvents, NewWindowsOpenInTheSameViewAndCertificateErrorsCancel) {
    const auto newWindow = Command<RaiseText>("StandinRaiseNewWindowRequested");
    ASSERT_NE(newWindow, nullptr);
    EXPECT_TRUE(newWindow(L"https://campus.zelvan.test/popup"));
    const auto navigated = Lines("ICoreWebView2.Navigate");
    ASSERT_EQ(navigated.size(), 1u);
    EXPECT_EQ(navigated[0]["uri"], "https://campus.zelvan.test/popup");

    const auto certificate = Command<RaiseAction>("StandinRaiseServerCertificateError");
    ASSERT_NE(certificate, nullptr);
    EXPECT_EQ(certificate(L"https://expired.example/"),
              COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_CANCEL);
}

TEST_F(WebViewHostEvents, NavigateRefusesPlainHttpToTheTrustedPlatform) {
    host_->Navigate(u"http://campus.zelvan.test/page");
    host_->Navigate(u"https://campus.zelvan.test/page");
    host_->NavigateToString(u"<p>generated</p>");
    const auto navigated = Lines("ICoreWebView2.Navigate");
    ASSERT_EQ(navigated.size(), 1u);
    EXPECT_EQ(navigated[0]["uri"], "https://campus.zelvan.test/page");
    const auto generated = Lines("ICoreWebView2.NavigateToString");
    ASSERT_EQ(generated.size(), 1u);
    EXPECT_EQ(generated[0]["html"], "<p>generated</p>");
}

TEST_F(WebViewHostEvents, GoBackOnlyWithHistoryAndTheOtherViewCalls) {
    host_->GoBack();
    EXPECT_TRUE(Lines("ICoreWebView2.GoBack").empty());
    host_->Navigate(u"https://campus.zelvan.test/one");
    host_->Navigate(u"https://campus.zelvan.test/two");
    host_->GoBack();
    EXPECT_EQ(Lines("ICoreWebView2.GoBack").size(), 1u);
    host_->Reload();
    EXPECT_EQ(Lines("ICoreWebView2.Reload").size(), 1u);
    host_->PostWebMessageAsJson(u"{\"type\":\"printResult\"}");
    EXPECT_EQ(Lines("ICoreWebView2.PostWebMessageAsJson")[0]["json"], "{\"type\":\"printResult\"}");
    host_->Resize(0, 100);
    host_->Resize(300, 200);
    EXPECT_EQ(Lines("ICoreWebView2Controller.put_Bounds").back()["value"],
              nlohmann::json({0, 0, 300, 200}));
    host_->SetVisible(false);
    EXPECT_EQ(Lines("ICoreWebView2Controller.put_IsVisible").back()["value"], false);
    host_->RestoreVisibility();
    EXPECT_EQ(Lines("ICoreWebView2Controller.put_IsVisible").back()["value"], true);
    EXPECT_TRUE(host_->NotifyMoved());
    EXPECT_EQ(Lines("ICoreWebView2Controller.NotifyParentWindowPositionChanged").size(), 2u);
}

TEST_F(WebViewHostEvents, ViewSettingsTurnOffTheBrowsersOwnTools) {
    host_->ApplyViewSettings();
    std::vector<std::string> settings;
    for (const auto& line : LogLines()) {
        const std::string name = line.value("call", "");
        if (name.rfind("ICoreWebView2Settings", 0) == 0) {
            settings.push_back(name + "=" + line["value"].dump());
        }
    }
    EXPECT_EQ(settings, (std::vector<std::string>{
                            "ICoreWebView2Settings.put_AreDevToolsEnabled=false",
                            "ICoreWebView2Settings.put_AreDefaultContextMenusEnabled=false",
                            "ICoreWebView2Settings.put_IsStatusBarEnabled=false",
                            "ICoreWebView2Settings.put_IsZoomControlEnabled=false",
                            "ICoreWebView2Settings3.put_AreBrowserAcceleratorKeysEnabled=false",
                            "ICoreWebView2Settings7.put_HiddenPdfToolbarItems=0"}));
}

TEST_F(WebViewHostEvents, TheViewFillsTheWindowAndFollowsItsSize) {
    host_->Navigate(u"https://campus.zelvan.test/screenshot");
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Drain();
    // Another window on top, as other tests' windows may be on the shared display.
    HWND cover =
        CreateWindowExW(WS_EX_TOPMOST, L"OrbisHostTestWindow", L"cover", WS_POPUP | WS_VISIBLE, 0,
                        0, 800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Drain();
    WindowCapture::Capture capture =
        WindowCapture::CaptureClientArea(window_, L"webview2-host-view");
    ASSERT_GT(capture.pixels.size(), 0u);
    std::size_t white = 0;
    std::size_t dark = 0;
    for (const std::uint32_t pixel : capture.pixels) {
        white += WindowCapture::IsWhite(pixel) ? 1 : 0;
        dark += WindowCapture::IsDark(pixel) ? 1 : 0;
    }
    // The stand-in's white view covers the client area; its text (the address) is the dark rest.
    EXPECT_GT(white, capture.pixels.size() * 9 / 10);
    EXPECT_GT(dark, 50u);

    const int width = capture.width;
    const int height = capture.height;
    host_->Resize(width / 2, height / 2);
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Drain();
    capture = WindowCapture::CaptureClientArea(window_, L"webview2-host-view-resized");
    ASSERT_EQ(capture.width, width);
    ASSERT_EQ(capture.height, height);
    EXPECT_TRUE(WindowCapture::IsWhite(capture.At(width / 2 - 5, height / 2 - 5)));
    EXPECT_TRUE(WindowCapture::IsDark(capture.At(width - 5, height - 5)));
    // Its end posts a quit request, which the fixture's tear-down drains.
    DestroyWindow(cover);
}

// The print flow over the WebView2 print call, from a chosen printer to the page's answer.
class WebViewHostPrint : public WebViewHostEvents {
  protected:
    Printing::PrintOperations Operations() {
        Printing::PrintOperations operations;
        operations.pageExists = [this] { return host_->View() != nullptr; };
        operations.showPicker = [](std::vector<Printing::PrinterEntry>) {
            return std::u16string(u"Office Laser");
        };
        operations.printPage = [this](const std::u16string& printer,
                                      std::function<void(Printing::PrintResult)> done) {
            Printing::PrintViewPage(host_->Environment(), host_->View(), printer, std::move(done));
        };
        operations.postMessage = [this](std::u16string_view json) {
            host_->PostWebMessageAsJson(std::u16string(json));
        };
        return operations;
    }

    std::vector<std::string> Answers() const {
        std::vector<std::string> answers;
        for (const auto& line : Lines("ICoreWebView2.PostWebMessageAsJson")) {
            answers.push_back(line["json"].get<std::string>());
        }
        return answers;
    }
};

TEST_F(WebViewHostPrint, CompletionStatusesBecomeTheirResultMessages) {
    struct Case {
        HRESULT errorCode;
        int status;
        const char* answer;
    };
    const Case cases[] = {
        {S_OK, 0,
         R"({"type":"printResult","status":"success","message":"Print job sent successfully."})"},
        {S_OK, 1,
         R"({"type":"printResult","status":"error","message":"The selected printer is unavailable."})"},
        {S_OK, 2,
         R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})"},
        {E_FAIL, 0,
         R"({"type":"printResult","status":"error","message":"Print failed. Please check your printer."})"},
    };
    Printing::PrintFlow flow(Operations());
    const auto complete = Command<CompletePrint>("StandinCompletePrint");
    ASSERT_NE(complete, nullptr);
    for (const Case& item : cases) {
        flow.Run();
        const auto printed = Lines("ICoreWebView2_16.Print");
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(printed.back()["printer"], "Office Laser");
        ASSERT_TRUE(complete(item.errorCode, item.status));
        ASSERT_FALSE(Answers().empty());
        EXPECT_EQ(Answers().back(), item.answer);
    }
    EXPECT_EQ(Answers().size(), 4u);
    EXPECT_EQ(Lines("ICoreWebView2PrintSettings2.put_PrinterName").back()["value"], "Office Laser");
}

struct PrintSetupFailure {
    const wchar_t* variable;
    const wchar_t* value;
    const char* message;
};

class WebViewHostPrintSetup : public WebViewHostPrint,
                              public ::testing::WithParamInterface<PrintSetupFailure> {
  protected:
    void SetUp() override {
        WebViewHostPrint::SetUp();
        Set(GetParam().variable, GetParam().value);
    }
};

TEST_P(WebViewHostPrintSetup, AnswersOnceWithTheSetupFailure) {
    Printing::PrintFlow flow(Operations());
    flow.Run();
    EXPECT_EQ(Answers(), (std::vector<std::string>{
                             std::string(R"({"type":"printResult","status":"error","message":")") +
                             GetParam().message + "\"}"}));
    EXPECT_TRUE(Lines("ICoreWebView2_16.Print").empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachSetupStep, WebViewHostPrintSetup,
    ::testing::Values(PrintSetupFailure{L"ORBIS_STANDIN_HIDE", L"ICoreWebView2Environment6",
                                        "Failed to create print environment"},
                      PrintSetupFailure{L"ORBIS_STANDIN_FAIL_PRINT_SETTINGS", L"0x80004005",
                                        "Failed to create print settings"},
                      PrintSetupFailure{L"ORBIS_STANDIN_HIDE", L"ICoreWebView2PrintSettings2",
                                        "Failed to set printer name"},
                      PrintSetupFailure{L"ORBIS_STANDIN_HIDE", L"ICoreWebView2_16",
                                        "Print API not available"}));

}  // namespace
}  // namespace WebView2HostTest
