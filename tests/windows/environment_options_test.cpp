#include "host/environment_options_webview2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/browser_arguments.h"

namespace {

using WebView::CreateEnvironmentOptions;
using WebView::LiveEnvironmentOptionsObjects;
using Win32::ComPtr;
using Win32::CoTaskString;

// The runtime reads the declarations' layout directly, so their sizes are part of the contract.
static_assert(sizeof(COREWEBVIEW2_COLOR) == 4);
static_assert(sizeof(EventRegistrationToken) == 8);
static_assert(sizeof(COREWEBVIEW2_PRINT_STATUS) == 4);
static_assert(sizeof(COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS) == 4);

std::wstring Read(HRESULT (STDMETHODCALLTYPE ICoreWebView2EnvironmentOptions::*getter)(LPWSTR*),
                  ICoreWebView2EnvironmentOptions* options) {
    LPWSTR raw = nullptr;
    EXPECT_EQ((options->*getter)(&raw), S_OK);
    CoTaskString owned(raw);
    return raw == nullptr ? L"<null>" : std::wstring(raw);
}

BOOL ReadExclusiveAccess(ICoreWebView2EnvironmentOptions* options) {
    auto second =
        ComPtr<ICoreWebView2EnvironmentOptions>(options).As<ICoreWebView2EnvironmentOptions2>(
            IID_ICoreWebView2EnvironmentOptions2);
    EXPECT_TRUE(second);
    BOOL value = 2;
    if (second) {
        EXPECT_EQ(second->get_ExclusiveUserDataFolderAccess(&value), S_OK);
    }
    return value;
}

TEST(EnvironmentOptions, DefaultsAreThoseOfTheVendorsObject) {
    auto options = CreateEnvironmentOptions();
    ASSERT_TRUE(options);
    using Options = ICoreWebView2EnvironmentOptions;
    EXPECT_EQ(Read(&Options::get_TargetCompatibleBrowserVersion, options.Get()), L"149.0.4022.49");
    EXPECT_EQ(Read(&Options::get_AdditionalBrowserArguments, options.Get()), L"");
    EXPECT_EQ(Read(&Options::get_Language, options.Get()), L"");
    BOOL sso = 2;
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(&sso), S_OK);
    EXPECT_EQ(sso, FALSE);
    EXPECT_EQ(ReadExclusiveAccess(options.Get()), FALSE);
}

TEST(EnvironmentOptions, ApplicationValuesCarryTheSharedSwitchesAndExclusiveAccess) {
    auto options = CreateEnvironmentOptions(WebView::ApplicationEnvironmentOptionValues());
    ASSERT_TRUE(options);
    using Options = ICoreWebView2EnvironmentOptions;
    const std::u16string expected = BrowserArguments::CommandLineText();
    const std::wstring arguments = Read(&Options::get_AdditionalBrowserArguments, options.Get());
    EXPECT_EQ(arguments, std::wstring(expected.begin(), expected.end()));
    EXPECT_NE(arguments.find(L"--disable-web-security"), std::wstring::npos);
    EXPECT_NE(arguments.find(L"--autoplay-policy=no-user-gesture-required"), std::wstring::npos);
    EXPECT_EQ(Read(&Options::get_TargetCompatibleBrowserVersion, options.Get()), L"149.0.4022.49");
    EXPECT_EQ(Read(&Options::get_Language, options.Get()), L"");
    EXPECT_EQ(ReadExclusiveAccess(options.Get()), TRUE);
}

TEST(EnvironmentOptions, WhatIsPutIsReadBackAsTheCallersOwnCopy) {
    auto options = CreateEnvironmentOptions();
    ASSERT_TRUE(options);
    using Options = ICoreWebView2EnvironmentOptions;
    EXPECT_EQ(options->put_AdditionalBrowserArguments(L"--a --b=c"), S_OK);
    EXPECT_EQ(options->put_Language(L"ar"), S_OK);
    EXPECT_EQ(options->put_TargetCompatibleBrowserVersion(L"120.0.1"), S_OK);
    EXPECT_EQ(options->put_AllowSingleSignOnUsingOSPrimaryAccount(TRUE), S_OK);
    EXPECT_EQ(Read(&Options::get_AdditionalBrowserArguments, options.Get()), L"--a --b=c");
    EXPECT_EQ(Read(&Options::get_Language, options.Get()), L"ar");
    EXPECT_EQ(Read(&Options::get_TargetCompatibleBrowserVersion, options.Get()), L"120.0.1");
    BOOL sso = FALSE;
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(&sso), S_OK);
    EXPECT_EQ(sso, TRUE);

    // Each read is a fresh allocation: freeing one leaves the object's value and other copies.
    LPWSTR first = nullptr;
    LPWSTR second = nullptr;
    ASSERT_EQ(options->get_Language(&first), S_OK);
    ASSERT_EQ(options->get_Language(&second), S_OK);
    EXPECT_NE(first, second);
    CoTaskMemFree(first);
    EXPECT_STREQ(second, L"ar");
    CoTaskMemFree(second);

    // A null text clears the value, as an empty one does.
    EXPECT_EQ(options->put_Language(nullptr), S_OK);
    EXPECT_EQ(Read(&Options::get_Language, options.Get()), L"");
}

TEST(EnvironmentOptions, NullOutParametersAreRefused) {
    auto options = CreateEnvironmentOptions();
    ASSERT_TRUE(options);
    EXPECT_EQ(options->get_AdditionalBrowserArguments(nullptr), E_POINTER);
    EXPECT_EQ(options->get_Language(nullptr), E_POINTER);
    EXPECT_EQ(options->get_TargetCompatibleBrowserVersion(nullptr), E_POINTER);
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(nullptr), E_POINTER);
    EXPECT_EQ(options->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    auto second =
        options.As<ICoreWebView2EnvironmentOptions2>(IID_ICoreWebView2EnvironmentOptions2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->get_ExclusiveUserDataFolderAccess(nullptr), E_POINTER);
}

TEST(EnvironmentOptions, AnswersItsTwoInterfacesWithOneIdentity) {
    auto options = CreateEnvironmentOptions();
    ASSERT_TRUE(options);
    auto unknown = options.As<IUnknown>(IID_IUnknown);
    auto first = options.As<ICoreWebView2EnvironmentOptions>(IID_ICoreWebView2EnvironmentOptions);
    auto second =
        options.As<ICoreWebView2EnvironmentOptions2>(IID_ICoreWebView2EnvironmentOptions2);
    ASSERT_TRUE(unknown && first && second);
    EXPECT_EQ(static_cast<void*>(first.Get()), static_cast<void*>(options.Get()));
    // Separate vtables: the second interface is another pointer into the same object ...
    EXPECT_NE(static_cast<void*>(second.Get()), static_cast<void*>(first.Get()));
    // ... whose IUnknown is the same identity, and which leads back to the first.
    auto unknownFromSecond = ComPtr<IUnknown>(second.Get()).As<IUnknown>(IID_IUnknown);
    EXPECT_EQ(unknownFromSecond.Get(), unknown.Get());
    auto backToFirst =
        ComPtr<IUnknown>(second.Get())
            .As<ICoreWebView2EnvironmentOptions>(IID_ICoreWebView2EnvironmentOptions);
    EXPECT_EQ(backToFirst.Get(), first.Get());

    // Through the second vtable the object really is the same one.
    EXPECT_EQ(second->put_ExclusiveUserDataFolderAccess(TRUE), S_OK);
    EXPECT_EQ(ReadExclusiveAccess(options.Get()), TRUE);
}

TEST(EnvironmentOptions, EveryOtherInterfaceIsRefused) {
    auto options = CreateEnvironmentOptions();
    ASSERT_TRUE(options);
    // The newer option interfaces are absent from the declarations, so nothing here can answer
    // them; the runtime then keeps its defaults. Every declared interface but the two, and the
    // system's own marshalling interfaces, must be refused too.
    const std::vector<IID> others = {IID_ICoreWebView2,
                                     IID_ICoreWebView2_22,
                                     IID_ICoreWebView2Environment,
                                     IID_ICoreWebView2Environment6,
                                     IID_ICoreWebView2Controller,
                                     IID_ICoreWebView2Settings,
                                     IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                                     IID_ICoreWebView2PrintSettings2,
                                     IID_ICoreWebView2Deferral,
                                     IID_IDispatch,
                                     IID_IMarshal,
                                     IID_IAgileObject,
                                     IID_IClassFactory};
    for (const IID& iid : others) {
        void* out = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(options->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    auto second =
        options.As<ICoreWebView2EnvironmentOptions2>(IID_ICoreWebView2EnvironmentOptions2);
    ASSERT_TRUE(second);
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(second->QueryInterface(IID_ICoreWebView2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(EnvironmentOptions, LastReleaseThroughEitherInterfaceFreesTheObject) {
    const long before = LiveEnvironmentOptionsObjects();
    ICoreWebView2EnvironmentOptions* options = CreateEnvironmentOptions().Detach();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(LiveEnvironmentOptionsObjects(), before + 1);
    EXPECT_EQ(options->AddRef(), 2u);
    ICoreWebView2EnvironmentOptions2* second = nullptr;
    ASSERT_EQ(options->QueryInterface(IID_ICoreWebView2EnvironmentOptions2,
                                      reinterpret_cast<void**>(&second)),
              S_OK);
    EXPECT_EQ(options->Release(), 2u);
    EXPECT_EQ(options->Release(), 1u);
    EXPECT_EQ(LiveEnvironmentOptionsObjects(), before + 1);  // the second interface still holds it
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(LiveEnvironmentOptionsObjects(), before);
}

}  // namespace
