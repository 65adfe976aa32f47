// The WebView2 host's start and end against the stand-in runtime: runtime choice, every creation
// step failing, steps that never finish, what reaches the runtime, and the shutdown wait.
#include <chrono>

#include "host/browser_arguments.h"
#include "webview2_host_fixture.h"

namespace WebView2HostTest {
namespace {

using Clock = std::chrono::steady_clock;

std::string FailureText(HRESULT result, const std::string& stage, const std::string& folder) {
    return "WebView2 initialization failed. First=" + Hex(result) + " at " + stage +
           "; last=" + Hex(result) + " at " + stage + "; runtime=Evergreen " +
           ORBIS_STANDIN_VERSION + "; lastUserData=" + folder;
}

using WebViewHostStart = HostFixture;

TEST_F(WebViewHostStart, SucceedsWithTheInstalledRuntimeAndReportsKindVersionAndFolder) {
    Initialize();
    EXPECT_EQ(Utf8(host_->StatusText()), std::string("WebView2 initialized with Evergreen ") +
                                             ORBIS_STANDIN_VERSION +
                                             "; userData=" + Utf8(DataFolder()));
    EXPECT_EQ(host_->LastResult(), S_OK);
    ASSERT_EQ(initializedCalls_.size(), 1u);
    EXPECT_TRUE(initializedCalls_[0].succeeded);
    EXPECT_EQ(initializedCalls_[0].result, 0);
    EXPECT_NE(host_->View(), nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(DataFolder())));
    // The write test leaves nothing behind.
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(DataFolder()) / ".zelvan_write_test"));
}

TEST_F(WebViewHostStart, AFixedRuntimeBesideTheProgramIsStartedFromItsFolder) {
    // A program folder in the build tree, kept between runs: a loaded client library cannot be
    // deleted. The older stand-in, so that the version tells which runtime was used.
    const std::filesystem::path program = StandinTest::ExecutableFolder() / L"fixed-program";
    const std::filesystem::path fixed = program / L"WebView2Runtime";
    // Refreshed file by file; a library this process has loaded already stays as it is.
    const std::filesystem::path source = StandinTest::RuntimeFolder(StandinTest::kOlderVersion);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
        const std::filesystem::path target = fixed / entry.path().lexically_relative(source);
        std::error_code ignored;
        if (entry.is_directory()) {
            std::filesystem::create_directories(target, ignored);
        } else {
            std::filesystem::create_directories(target.parent_path(), ignored);
            std::filesystem::copy_file(entry.path(), target,
                                       std::filesystem::copy_options::overwrite_existing, ignored);
        }
    }
    Set(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", std::nullopt);
    host_ = std::make_unique<WebView::WebViewHost>(window_, baseUrl_, program.u16string());
    host_->events.initialized = [this](bool succeeded, WebViewStatus::Result result) {
        initializedCalls_.push_back({succeeded, result});
    };
    Initialize();
    const std::string folder = Utf8(dataBase_) + "_Fixed_Env6";
    EXPECT_EQ(Utf8(host_->StatusText()), std::string("WebView2 initialized with Fixed ") +
                                             ORBIS_STANDIN_OLDER_VERSION + "; userData=" + folder);
    const auto created = Lines("CreateWebViewEnvironmentWithOptionsInternal");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0]["variables"]["WEBVIEW2_BROWSER_EXECUTABLE_FOLDER"],
              Utf8(fixed.u16string()));
    EXPECT_EQ(created[0]["userDataFolder"], folder);
    EXPECT_EQ(created[0]["library"].get<std::string>().rfind(Utf8(fixed.u16string()), 0), 0u)
        << created[0]["library"];
}

TEST_F(WebViewHostStart, TheRuntimeSeesTheFolderTheSwitchesAndTheOptions) {
    Initialize();
    const auto created = Lines("CreateWebViewEnvironmentWithOptionsInternal");
    ASSERT_EQ(created.size(), 1u);
    const auto& variables = created[0]["variables"];
    const std::string arguments = Utf8(BrowserArguments::CommandLineText());
    EXPECT_EQ(variables["WEBVIEW2_USER_DATA_FOLDER"], Utf8(DataFolder()));
    EXPECT_EQ(variables["WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS"], arguments);
    EXPECT_EQ(created[0]["userDataFolder"], Utf8(DataFolder()));
    EXPECT_NE(created[0]["options"].dump().find(arguments.substr(arguments.find("--"))),
              std::string::npos)
        << created[0]["options"].dump();

    const auto background = Lines("ICoreWebView2Controller2.put_DefaultBackgroundColor");
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(background[0]["value"], nlohmann::json({255, 0x12, 0x12, 0x12}));
    const auto drop = Lines("ICoreWebView2Controller4.put_AllowExternalDrop");
    ASSERT_EQ(drop.size(), 1u);
    EXPECT_EQ(drop[0]["value"], false);
    RECT client = {};
    GetClientRect(window_, &client);
    const auto bounds = Lines("ICoreWebView2Controller.put_Bounds");
    ASSERT_FALSE(bounds.empty());
    EXPECT_EQ(bounds[0]["value"], nlohmann::json({0, 0, client.right, client.bottom}));
}

TEST_F(WebViewHostStart, RegistersEveryHandlerInOrderBeforeAnyNavigation) {
    Initialize();
    host_->AddScriptOnDocumentCreated(u"first();");
    host_->AddScriptOnDocumentCreated(u"second();");
    host_->Navigate(u"https://campus.zelvan.test/start");
    std::vector<std::string> relevant;
    for (const std::string& name : Names()) {
        if (name.rfind("ICoreWebView2", 0) == 0 && name.find("Controller") == std::string::npos &&
            name.find("Environment") == std::string::npos && name != "ICoreWebView2.get_Settings") {
            relevant.push_back(name);
        }
    }
    const std::vector<std::string> expected = {
        "ICoreWebView2.add_NavigationStarting",
        "ICoreWebView2.add_WebMessageReceived",
        "ICoreWebView2.add_NavigationCompleted",
        "ICoreWebView2.add_PermissionRequested",
        "ICoreWebView2.add_NewWindowRequested",
        "ICoreWebView2_14.add_ServerCertificateErrorDetected",
        "ICoreWebView2.AddScriptToExecuteOnDocumentCreated",
        "ICoreWebView2.AddWebResourceRequestedFilter",
        "ICoreWebView2_22.AddWebResourceRequestedFilterWithRequestSourceKinds",
        "ICoreWebView2.add_WebResourceRequested",
        "ICoreWebView2.AddScriptToExecuteOnDocumentCreated",
        "ICoreWebView2.AddScriptToExecuteOnDocumentCreated",
        "ICoreWebView2.Navigate",
    };
    EXPECT_EQ(relevant, expected);
    const auto scripts = Lines("ICoreWebView2.AddScriptToExecuteOnDocumentCreated");
    ASSERT_EQ(scripts.size(), 3u);
    EXPECT_NE(scripts[0]["script"].get<std::string>().find("serviceWorker"), std::string::npos);
    EXPECT_EQ(scripts[1]["script"], "first();");
    EXPECT_EQ(scripts[2]["script"], "second();");
    const auto filter = Lines("ICoreWebView2.AddWebResourceRequestedFilter");
    EXPECT_EQ(filter[0]["uri"], "*");
    EXPECT_EQ(filter[0]["context"], 0);
    const auto kinds =
        Lines("ICoreWebView2_22.AddWebResourceRequestedFilterWithRequestSourceKinds");
    ASSERT_EQ(kinds.size(), 1u);
    EXPECT_EQ(kinds[0]["kinds"], 7);
}

TEST_F(WebViewHostStart, AFilterWithoutSourceKindsFallsBackToAllKinds) {
    Set(L"ORBIS_STANDIN_FAIL_FILTER_KINDS", L"0x80070057");
    Initialize();
    const auto kinds =
        Lines("ICoreWebView2_22.AddWebResourceRequestedFilterWithRequestSourceKinds");
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0]["kinds"], 7);
    EXPECT_EQ(kinds[1]["kinds"], 0xFFFFFFFFu);
    EXPECT_EQ(host_->LastResult(), S_OK);
}

TEST_F(WebViewHostStart, AnOlderRuntimeWithoutTheNewerInterfacesStillStarts) {
    Set(L"ORBIS_STANDIN_HIDE",
        L"ICoreWebView2_14,ICoreWebView2_22,ICoreWebView2Controller2,"
        L"ICoreWebView2Controller4,ICoreWebView2Environment5");
    Initialize();
    EXPECT_EQ(host_->LastResult(), S_OK);
    EXPECT_TRUE(Lines("ICoreWebView2_14.add_ServerCertificateErrorDetected").empty());
    EXPECT_TRUE(
        Lines("ICoreWebView2_22.AddWebResourceRequestedFilterWithRequestSourceKinds").empty());
    EXPECT_TRUE(Lines("ICoreWebView2Controller2.put_DefaultBackgroundColor").empty());
    EXPECT_TRUE(Lines("ICoreWebView2Environment5.add_BrowserProcessExited").empty());
    EXPECT_EQ(Lines("ICoreWebView2.add_WebResourceRequested").size(), 1u);
    // Without the exit event there is nothing to wait for.
    EXPECT_EQ(host_->Shutdown(std::chrono::milliseconds(5000)),
              WebView::BrowserShutdown::NothingToWaitFor);
}

struct FailingStep {
    const wchar_t* variable;
    const wchar_t* value;
    HRESULT result;
    const char* stage;
};

class WebViewHostFailingStep : public HostFixture,
                               public ::testing::WithParamInterface<FailingStep> {};

TEST_P(WebViewHostFailingStep, ReportsTheStageAndTheResultOnce) {
    const FailingStep& step = GetParam();
    Set(step.variable, step.value);
    Initialize();
    EXPECT_EQ(Utf8(host_->StatusText()), FailureText(step.result, step.stage, Utf8(DataFolder())));
    EXPECT_EQ(host_->LastResult(), step.result);
    ASSERT_EQ(initializedCalls_.size(), 1u);
    EXPECT_FALSE(initializedCalls_[0].succeeded);
    EXPECT_EQ(initializedCalls_[0].result, step.result);
    EXPECT_EQ(host_->View(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCreationStep, WebViewHostFailingStep,
    ::testing::Values(FailingStep{L"ORBIS_STANDIN_FAIL_ENVIRONMENT_CALL", L"0x80070032",
                                  static_cast<HRESULT>(0x80070032), "CreateEnvironmentCall"},
                      FailingStep{L"ORBIS_STANDIN_FAIL_ENVIRONMENT", L"0x8007139F",
                                  static_cast<HRESULT>(0x8007139F), "CreateEnvironmentCallback"},
                      FailingStep{L"ORBIS_STANDIN_FAIL_CONTROLLER_CALL", L"0x80070005",
                                  static_cast<HRESULT>(0x80070005), "CreateControllerCall"},
                      FailingStep{L"ORBIS_STANDIN_FAIL_CONTROLLER", L"0x80004005",
                                  static_cast<HRESULT>(0x80004005), "CreateControllerCallback"},
                      FailingStep{L"ORBIS_STANDIN_FAIL_GET_WEBVIEW", L"0x8000FFFF",
                                  static_cast<HRESULT>(0x8000FFFF), "GetCoreWebView2"},
                      FailingStep{L"ORBIS_STANDIN_FAIL_FILTER", L"0x80070057",
                                  static_cast<HRESULT>(0x80070057),
                                  "RegisterWebResourceRequested"}));

TEST_F(WebViewHostStart, AViewThatCannotBeReadClosesItsController) {
    Set(L"ORBIS_STANDIN_FAIL_GET_WEBVIEW", L"0x8000FFFF");
    Initialize();
    const auto names = Names();
    const auto got =
        std::find(names.begin(), names.end(), "ICoreWebView2Controller.get_CoreWebView2");
    ASSERT_NE(got, names.end());
    EXPECT_NE(std::find(got, names.end(), "ICoreWebView2Controller.Close"), names.end());
}

TEST_F(WebViewHostStart, AFolderThatCannotBeCreatedFailsBeforeTheRuntimeIsAsked) {
    dataBase_ = (data_.path() / L"missing" / L"deeper" / L"WebView2Data").u16string();
    Initialize();
    const HRESULT pathNotFound = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Utf8(host_->StatusText()),
              FailureText(pathNotFound, "CreateUserDataFolder", Utf8(DataFolder())));
    EXPECT_EQ(host_->LastResult(), pathNotFound);
    EXPECT_TRUE(Lines("CreateWebViewEnvironmentWithOptionsInternal").empty());
}

TEST_F(WebViewHostStart, AFolderThatCannotBeWrittenFailsTheWriteTest) {
    // A directory where the probe file goes: the folder exists, but the file cannot be made.
    std::filesystem::create_directories(std::filesystem::path(DataFolder()) / ".zelvan_write_test");
    Initialize();
    const HRESULT denied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    EXPECT_EQ(Utf8(host_->StatusText()),
              FailureText(denied, "UserDataFolderWriteTest", Utf8(DataFolder())));
    EXPECT_EQ(host_->LastResult(), denied);
    EXPECT_TRUE(Lines("CreateWebViewEnvironmentWithOptionsInternal").empty());
}

TEST_F(WebViewHostStart, LaterAttemptsUseFreshRecoveryFoldersAndTheSummaryNamesFirstAndLast) {
    Set(L"ORBIS_STANDIN_FAIL_CONTROLLER", L"0x80004005");
    Initialize(2);
    const auto created = Lines("CreateWebViewEnvironmentWithOptionsInternal");
    ASSERT_EQ(created.size(), 2u);
    const std::string second = created[1]["userDataFolder"].get<std::string>();
    EXPECT_EQ(second.rfind(Utf8(DataFolder()) + "_Recovery_", 0), 0u) << second;
    EXPECT_EQ(second.substr(second.size() - 2), "_1");
    const std::string status = Utf8(host_->StatusText());
    EXPECT_EQ(status,
              "WebView2 initialization failed. First=0x80004005 at "
              "CreateControllerCallback; last=0x80004005 at CreateControllerCallback; "
              "runtime=Evergreen " ORBIS_STANDIN_VERSION "; lastUserData=" +
                  second);
    ASSERT_EQ(initializedCalls_.size(), 1u);
}

TEST_F(WebViewHostStart, AnInvalidWindowTouchesNoFolderAndReportsInvalidArgument) {
    host_ = std::make_unique<WebView::WebViewHost>(nullptr, baseUrl_);
    host_->events.initialized = [this](bool succeeded, WebViewStatus::Result result) {
        initializedCalls_.push_back({succeeded, result});
    };
    Initialize();
    EXPECT_EQ(Utf8(host_->StatusText()), "Invalid parent window or user-data folder.");
    EXPECT_EQ(host_->LastResult(), E_INVALIDARG);
    ASSERT_EQ(initializedCalls_.size(), 1u);
    EXPECT_EQ(initializedCalls_[0].result, E_INVALIDARG);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(DataFolder())));
}

class WebViewHostNeverCompletes : public HostFixture,
                                  public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(WebViewHostNeverCompletes, ClosingTheWindowEndsTheWaitAndKeepsTheQuitRequest) {
    Set(GetParam(), L"1");
    SetTimer(window_, kCloseTimer, 200, nullptr);
    const auto started = Clock::now();
    Initialize();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(Utf8(host_->StatusText()),
              FailureText(E_ABORT, "ApplicationQuitDuringInitialization", Utf8(DataFolder())));
    EXPECT_EQ(host_->LastResult(), E_ABORT);
    // The outer loop still sees the quit request the pump consumed.
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

INSTANTIATE_TEST_SUITE_P(EitherCompletion, WebViewHostNeverCompletes,
                         ::testing::Values(L"ORBIS_STANDIN_NEVER_ENVIRONMENT",
                                           L"ORBIS_STANDIN_NEVER_CONTROLLER"));

TEST_F(WebViewHostStart, ShutdownClosesTheControllerAndWaitsForTheBrowserToExit) {
    Set(L"ORBIS_STANDIN_EXIT_DELAY_MS", L"300");
    Initialize();
    ASSERT_EQ(host_->LastResult(), S_OK);
    const auto started = Clock::now();
    EXPECT_EQ(host_->Shutdown(std::chrono::milliseconds(5000)), WebView::BrowserShutdown::Exited);
    const auto waited = Clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
    std::vector<std::string> order;
    for (const std::string& name : Names()) {
        if (name == "ICoreWebView2.get_BrowserProcessId" ||
            name == "ICoreWebView2Controller.Close" || name == "event:BrowserProcessExited" ||
            name == "ICoreWebView2Environment5.remove_BrowserProcessExited") {
            order.push_back(name);
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{
                         "ICoreWebView2.get_BrowserProcessId", "ICoreWebView2Controller.Close",
                         "event:BrowserProcessExited",
                         "ICoreWebView2Environment5.remove_BrowserProcessExited"}));
    EXPECT_EQ(host_->View(), nullptr);
    // Once only: a second shutdown calls nothing.
    const std::size_t calls = LogLines().size();
    EXPECT_EQ(host_->Shutdown(std::chrono::milliseconds(5000)),
              WebView::BrowserShutdown::NothingToWaitFor);
    EXPECT_EQ(LogLines().size(), calls);
}

TEST_F(WebViewHostStart, ABrowserThatEndedEarlyIsNotWaitedFor) {
    Set(L"ORBIS_STANDIN_NEVER_EXIT", L"1");
    Initialize();
    ASSERT_EQ(host_->LastResult(), S_OK);
    using RaiseExit = void(__cdecl*)();
    const auto exited = Command<RaiseExit>("StandinRaiseBrowserProcessExited");
    ASSERT_NE(exited, nullptr);
    // A crash while the window is open changes nothing the user sees: no message, no restart.
    exited();
    EXPECT_NE(host_->View(), nullptr);
    const auto started = Clock::now();
    EXPECT_EQ(host_->Shutdown(std::chrono::milliseconds(5000)), WebView::BrowserShutdown::Exited);
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(1000));
}

TEST_F(WebViewHostStart, AHungBrowserCostsNoMoreThanTheWait) {
    Set(L"ORBIS_STANDIN_NEVER_EXIT", L"1");
    Initialize();
    ASSERT_EQ(host_->LastResult(), S_OK);
    const auto started = Clock::now();
    EXPECT_EQ(host_->Shutdown(std::chrono::milliseconds(300)),
              WebView::BrowserShutdown::WaitExpired);
    const auto waited = Clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
}

using WebViewRuntimeChoice = StandinTest::StandinRuntimeTest;

TEST_F(WebViewRuntimeChoice, AFixedRuntimeBesideTheProgramWinsOnlyWhenComplete) {
    const TestSupport::TempFolder temp;
    const std::filesystem::path program = temp.path() / L"Program";
    const std::filesystem::path fixed = program / L"WebView2Runtime";
    std::filesystem::create_directories(fixed);
    const std::filesystem::path standin = StandinTest::RuntimeFolder(StandinTest::kCurrentVersion);
    Set(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", standin.wstring());

    // Without its browser the folder is not a runtime: the installed one is used.
    WebView::RuntimeChoice choice = WebView::ChooseRuntime(program.u16string());
    EXPECT_FALSE(choice.fixed);
    EXPECT_EQ(Utf8(choice.version), ORBIS_STANDIN_VERSION);

    std::filesystem::copy(standin, fixed,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    Set(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", std::nullopt);
    choice = WebView::ChooseRuntime(program.u16string());
    EXPECT_TRUE(choice.fixed);
    EXPECT_EQ(choice.browserFolder, fixed.u16string());
    EXPECT_EQ(Utf8(choice.version), ORBIS_STANDIN_VERSION);
}

}  // namespace
}  // namespace WebView2HostTest
