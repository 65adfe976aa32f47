#pragma once
// The browser reports completions and events through one-method COM objects ("Invoke"). One
// template serves every such interface: a reference-counted object answering IUnknown and the
// interface, whose Invoke forwards its arguments to a std::function.
#include <windows.h>

#include <atomic>
#include <functional>
#include <utility>

#include "common/win32_resources_win32.h"

namespace WebView2Callback {

template <typename Method>
struct InvokeTraits;

template <typename Interface, typename... Args>
struct InvokeTraits<HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)> {
    using Function = std::function<HRESULT(Args...)>;
};

template <typename Interface>
using InvokeFunction = typename InvokeTraits<decltype(&Interface::Invoke)>::Function;

template <typename Interface, typename Method>
class Handler;

template <typename Interface, typename... Args>
class Handler<Interface, HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)> final
    : public Interface {
  public:
    Handler(const IID& iid, std::function<HRESULT(Args...)> invoke)
        : iid_(iid), invoke_(std::move(invoke)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Invoke(Args... args) override {
        // A handler the runtime still holds after its owner went answers with success only.
        return invoke_ ? invoke_(args...) : S_OK;
    }

  private:
    ~Handler() = default;

    const IID iid_;
    std::function<HRESULT(Args...)> invoke_;
    std::atomic<ULONG> references_{1};
};

// A new handler for `Interface` (whose IID is `iid`), holding the only reference.
template <typename Interface>
Win32::ComPtr<Interface> Make(const IID& iid, InvokeFunction<Interface> invoke) {
    using Object = Handler<Interface, decltype(&Interface::Invoke)>;
    return Win32::ComPtr<Interface>::Adopt(new Object(iid, std::move(invoke)));
}

}  // namespace WebView2Callback
