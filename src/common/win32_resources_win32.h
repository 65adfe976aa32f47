#pragma once
// One owner per kind of Windows resource, shared by every Windows file, so that each handle,
// key, module, COM reference and COM-allocated string is released on every path.
#include <objbase.h>
#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace Win32 {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct RegistryKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryKeyCloser>;

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

struct CoTaskMemFreer {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
// A string the callee allocated with CoTaskMemAlloc and the caller must free.
using CoTaskString = std::unique_ptr<wchar_t, CoTaskMemFreer>;

// Holds one COM reference. `Put` hands out the slot of an out-parameter after dropping what was
// held, so a reused pointer cannot leak its old reference.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference of its own.
    explicit ComPtr(T* pointer) : pointer_(pointer) {
        if (pointer_ != nullptr) pointer_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Adopts a reference the caller already owns (no AddRef).
    static ComPtr Adopt(T* pointer) {
        ComPtr held;
        held.pointer_ = pointer;
        return held;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    T** Put() {
        Reset();
        return &pointer_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // Gives up ownership: the caller now owns one reference.
    T* Detach() { return std::exchange(pointer_, nullptr); }
    void Reset() {
        if (T* old = std::exchange(pointer_, nullptr)) old->Release();
    }

    // Another interface of the same object; empty when the object does not have it.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (pointer_ != nullptr) pointer_->QueryInterface(iid, other.PutVoid());
        return other;
    }

  private:
    T* pointer_ = nullptr;
};

}  // namespace Win32
