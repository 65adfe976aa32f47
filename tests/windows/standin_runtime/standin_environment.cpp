#include "standin_environment.h"

#include <atomic>

namespace Standin {
namespace {

class Environment final : public ICoreWebView2Environment {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICoreWebView2Environment)) {
            *out = static_cast<ICoreWebView2Environment*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateWebResourceResponse(
        IStream*, int, LPCWSTR, LPCWSTR, ICoreWebView2WebResourceResponse** response) override {
        if (response != nullptr) *response = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR* versionInfo) override {
        if (versionInfo != nullptr) *versionInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable(
        ICoreWebView2NewBrowserVersionAvailableEventHandler*, EventRegistrationToken*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable(EventRegistrationToken) override {
        return E_NOTIMPL;
    }

  private:
    std::atomic<ULONG> references_{1};
};

}  // namespace

Win32::ComPtr<ICoreWebView2Environment> MakeEnvironment() {
    return Win32::ComPtr<ICoreWebView2Environment>::Adopt(new Environment());
}

}  // namespace Standin
