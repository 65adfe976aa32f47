#include "host/webview_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace S = WebViewStatus;

TEST(WebViewStatusResult, FormatsAsEightUpperCaseHexDigits) {
    EXPECT_EQ(S::FormatResult(S::kFail), u"0x80004005");
    EXPECT_EQ(S::FormatResult(S::kInvalidArg), u"0x80070057");
    EXPECT_EQ(S::FormatResult(static_cast<S::Result>(0x8007000Eu)), u"0x8007000E");
    EXPECT_EQ(S::FormatResult(0), u"0x00000000");
    EXPECT_EQ(S::FormatResult(0xABC), u"0x00000ABC");
    EXPECT_EQ(S::FormatResult(-1), u"0xFFFFFFFF");
}

TEST(WebViewStatusResult, FailuresAreNegative) {
    EXPECT_EQ(S::AsFailure(S::kAbort), S::kAbort);
    EXPECT_EQ(S::AsFailure(0), S::kFail);  // a "failure" reporting success
    EXPECT_EQ(S::AsFailure(1), S::kFail);
    EXPECT_EQ(S::FromSystemError(5), static_cast<S::Result>(0x80070005u));        // access denied
    EXPECT_EQ(S::FromSystemError(267), static_cast<S::Result>(0x8007010Bu));      // directory name
    EXPECT_EQ(S::FromSystemError(0x12345), static_cast<S::Result>(0x80072345u));  // low 16 bits
    EXPECT_EQ(S::FromSystemError(0), S::kFail);
    EXPECT_EQ(S::FromSystemError(0x80004004u), S::kAbort);  // already an HRESULT: kept
}

TEST(InitFailureRecord, KeepsTheFirstAndReplacesTheLast) {
    S::InitFailureRecord record;
    EXPECT_FALSE(record.firstSet);
    EXPECT_EQ(record.Reported(), S::kFail);

    record.Record(S::FromSystemError(5), S::kStageUserDataFolderWriteTest, u"C:\\a");
    record.Record(S::kAbort, S::kStageApplicationQuitDuringInitialization, u"C:\\b");
    EXPECT_TRUE(record.firstSet);
    EXPECT_EQ(record.firstResult, static_cast<S::Result>(0x80070005u));
    EXPECT_EQ(record.firstStage, u"UserDataFolderWriteTest");
    EXPECT_EQ(record.lastResult, S::kAbort);
    EXPECT_EQ(record.lastStage, u"ApplicationQuitDuringInitialization");
    EXPECT_EQ(record.lastFolder, u"C:\\b");
    EXPECT_EQ(record.Reported(), static_cast<S::Result>(0x80070005u));
}

TEST(FormatInitFailure, OneFailureShowsTheSameStepTwice) {
    S::InitFailureRecord record;
    record.Record(static_cast<S::Result>(0x80070002u), S::kStageCreateEnvironmentCall,
                  u"C:\\Users\\u\\AppData\\Local\\Orbis Campus\\WebView2Data_Evergreen_Env6");
    EXPECT_EQ(S::FormatInitFailure(record, S::kRuntimeEvergreen, u"120.0.2210.91"),
              u"WebView2 initialization failed. First=0x80070002 at CreateEnvironmentCall; "
              u"last=0x80070002 at CreateEnvironmentCall; runtime=Evergreen 120.0.2210.91; "
              u"lastUserData=C:\\Users\\u\\AppData\\Local\\Orbis "
              u"Campus\\WebView2Data_Evergreen_Env6");
}

TEST(FormatInitFailure, TwoFailuresWithoutVersionOrStage) {
    S::InitFailureRecord record;
    record.Record(S::kPointer, u"", u"/d/first");
    record.Record(static_cast<S::Result>(0x8007001Fu), S::kStageGetCoreWebView2, u"/d/second");
    EXPECT_EQ(S::FormatInitFailure(record, S::kRuntimeQtWebEngine, u""),
              u"WebView2 initialization failed. First=0x80004003 at unknown stage; "
              u"last=0x8007001F at GetCoreWebView2; runtime=QtWebEngine; lastUserData=/d/second");
}

TEST(FormatInitFailure, NothingRecordedReadsAsUnknown) {
    EXPECT_EQ(S::FormatInitFailure(S::InitFailureRecord{}, S::kRuntimeFixed, u"1.2"),
              u"WebView2 initialization failed. First=0x80004005 at unknown stage; "
              u"last=0x80004005 at unknown stage; runtime=Fixed 1.2; lastUserData=");
}

TEST(FormatInitSuccess, VersionOnlyWhenKnown) {
    EXPECT_EQ(S::FormatInitSuccess(S::kRuntimeFixed, u"119.0.1", u"D:\\data_Fixed_Env6"),
              u"WebView2 initialized with Fixed 119.0.1; userData=D:\\data_Fixed_Env6");
    EXPECT_EQ(S::FormatInitSuccess(S::kRuntimeEvergreen, u"", u"D:\\x"),
              u"WebView2 initialized with Evergreen; userData=D:\\x");
    EXPECT_EQ(S::FormatInitSuccess(S::kRuntimeQtWebEngine, u"6.4.2", u"/home/u/.local/share/x"),
              u"WebView2 initialized with QtWebEngine 6.4.2; userData=/home/u/.local/share/x");
}

TEST(WebViewStatusTexts, FailureBoxPutsTheDetailUnderTheLead) {
    EXPECT_EQ(
        S::InitFailureBoxText(u"WebView2 initialization failed. First=0x80004005"),
        u"Failed to initialize WebView2.\n\nWebView2 initialization failed. First=0x80004005");
    EXPECT_EQ(S::InitFailureBoxText(u""), u"Failed to initialize WebView2.\n\n");
}

TEST(WebViewStatusFolders, RuntimeSuffixAndRecoveryFolders) {
    EXPECT_EQ(S::DataFolderForRuntime(u"C:\\L\\Orbis Campus\\WebView2Data", false),
              u"C:\\L\\Orbis Campus\\WebView2Data_Evergreen_Env6");
    EXPECT_EQ(S::DataFolderForRuntime(u"C:\\L\\WebView2Data", true),
              u"C:\\L\\WebView2Data_Fixed_Env6");

    const std::u16string id = S::RecoveryId(4242, 18446744073709551615ull);
    EXPECT_EQ(id, u"4242_18446744073709551615");
    // Attempt 0 (and anything below) uses the folder itself; no "_Recovery_" folder.
    EXPECT_EQ(S::AttemptFolder(u"base_Evergreen_Env6", id, 0), u"base_Evergreen_Env6");
    EXPECT_EQ(S::AttemptFolder(u"base", id, -3), u"base");
    EXPECT_EQ(S::AttemptFolder(u"base", id, 2), u"base_Recovery_4242_18446744073709551615_2");
}

}  // namespace
