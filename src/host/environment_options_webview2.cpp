#include "host/environment_options_webview2.h"

#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "host/browser_arguments.h"

namespace WebView {
namespace {

std::atomic<long> liveObjects{0};

// The runtime frees what a getter returns with CoTaskMemFree.
HRESULT CopyToCaller(const std::wstring& value, LPWSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (copy == nullptr) return E_OUTOFMEMORY;
    std::memcpy(copy, value.c_str(), bytes);
    *out = copy;
    return S_OK;
}

HRESULT CopyToCaller(bool value, BOOL* out) {
    if (out == nullptr) return E_POINTER;
    *out = value ? TRUE : FALSE;
    return S_OK;
}

std::wstring FromCaller(LPCWSTR value) {
    return value == nullptr ? std::wstring() : std::wstring(value);
}

// Both interfaces derive from IUnknown on their own, so the object has one vtable for each and
// QueryInterface hands out the matching base pointer.
class EnvironmentOptions final : public ICoreWebView2EnvironmentOptions,
                                 public ICoreWebView2EnvironmentOptions2 {
  public:
    explicit EnvironmentOptions(EnvironmentOptionValues values) : values_(std::move(values)) {
        ++liveObjects;
    }
    EnvironmentOptions(const EnvironmentOptions&) = delete;
    EnvironmentOptions& operator=(const EnvironmentOptions&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICoreWebView2EnvironmentOptions)) {
            *out = static_cast<ICoreWebView2EnvironmentOptions*>(this);
        } else if (IsEqualIID(iid, IID_ICoreWebView2EnvironmentOptions2)) {
            *out = static_cast<ICoreWebView2EnvironmentOptions2*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }

    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override {
        return CopyToCaller(values_.additionalBrowserArguments, value);
    }
    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override {
        values_.additionalBrowserArguments = FromCaller(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override {
        return CopyToCaller(values_.language, value);
    }
    HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) override {
        values_.language = FromCaller(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override {
        return CopyToCaller(values_.targetCompatibleBrowserVersion, value);
    }
    HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) override {
        values_.targetCompatibleBrowserVersion = FromCaller(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override {
        return CopyToCaller(values_.allowSingleSignOnUsingOSPrimaryAccount, allow);
    }
    HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override {
        values_.allowSingleSignOnUsingOSPrimaryAccount = allow != FALSE;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_ExclusiveUserDataFolderAccess(BOOL* value) override {
        return CopyToCaller(values_.exclusiveUserDataFolderAccess, value);
    }
    HRESULT STDMETHODCALLTYPE put_ExclusiveUserDataFolderAccess(BOOL value) override {
        values_.exclusiveUserDataFolderAccess = value != FALSE;
        return S_OK;
    }

  private:
    ~EnvironmentOptions() { --liveObjects; }

    std::atomic<ULONG> references_{1};
    EnvironmentOptionValues values_;
};

}  // namespace

Win32::ComPtr<ICoreWebView2EnvironmentOptions> CreateEnvironmentOptions(
    EnvironmentOptionValues values) {
    // Empty when memory runs out: the caller reports E_OUTOFMEMORY instead of unwinding.
    return Win32::ComPtr<ICoreWebView2EnvironmentOptions>::Adopt(
        new (std::nothrow) EnvironmentOptions(std::move(values)));
}

EnvironmentOptionValues ApplicationEnvironmentOptionValues() {
    const std::u16string arguments = BrowserArguments::CommandLineText();
    EnvironmentOptionValues values;
    values.additionalBrowserArguments.assign(arguments.begin(), arguments.end());
    values.exclusiveUserDataFolderAccess = true;
    return values;
}

long LiveEnvironmentOptionsObjects() {
    return liveObjects.load();
}

}  // namespace WebView
