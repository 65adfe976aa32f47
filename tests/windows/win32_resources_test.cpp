#include "common/win32_resources_win32.h"

#include <gtest/gtest.h>

namespace {

// Counts references the way a COM object does, and answers one extra interface.
const IID kOtherIid = {0x1a2b3c4d, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};

struct CountedObject final : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kOtherIid)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ComPtr, EveryPathGivesBackExactlyTheReferencesItTook) {
    CountedObject object;
    {
        auto adopted = Win32::ComPtr<IUnknown>::Adopt(&object);  // the creation reference
        Win32::ComPtr<IUnknown> copy = adopted;
        EXPECT_EQ(object.references, 2u);
        Win32::ComPtr<IUnknown> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(object.references, 2u);
        auto other = adopted.As<IUnknown>(kOtherIid);
        EXPECT_EQ(object.references, 3u);
        auto missing = adopted.As<IUnknown>(IID_IClassFactory);
        EXPECT_FALSE(missing);
        EXPECT_EQ(object.references, 3u);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST(ComPtr, PutDropsTheOldReferenceBeforeTheSlotIsRefilled) {
    CountedObject first, second;
    auto held = Win32::ComPtr<IUnknown>::Adopt(&first);
    IUnknown** slot = held.Put();
    EXPECT_EQ(first.references, 0u);
    *slot = &second;  // as a callee fills an out-parameter
    EXPECT_EQ(held.Get(), &second);
    IUnknown* detached = held.Detach();
    EXPECT_FALSE(held);
    EXPECT_EQ(second.references, 1u);
    detached->Release();
}

TEST(UniqueHandle, InvalidHandleValueIsNotClosed) {
    // INVALID_HANDLE_VALUE is also the current process's pseudo-handle: never closed.
    Win32::UniqueHandle invalid(INVALID_HANDLE_VALUE);
    invalid.reset();
    Win32::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.get();
    event.reset();
    EXPECT_FALSE(SetEvent(raw));
}

}  // namespace
