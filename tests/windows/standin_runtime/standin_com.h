#pragma once
// COM objects of the stand-in runtime, built from hand-made vtables. The runtime's interfaces
// have well over a hundred methods of which the host calls a few dozen; a C++ class would have
// to spell out every one. Here each object has one table in which the methods the stand-in
// answers are set by name and every other slot answers E_NOTIMPL and logs its index.
//
// The slot of a method is read from a pointer to the virtual member function: in the Itanium
// C++ ABI that MinGW uses it holds 1 + the method's byte offset in the vtable. On x64 Windows a
// method receives `this` as its first argument like any function, so a free function taking the
// object first fills the slot.
#include <objbase.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace Standin {

inline constexpr std::size_t kSlotCount = 256;

void LogUnimplementedSlot(std::size_t slot);

template <typename Method>
std::size_t SlotOf(Method method) {
    struct Raw {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(Method) == sizeof(Raw), "Itanium pointer to member function");
    Raw raw;
    std::memcpy(&raw, &method, sizeof raw);
    return (raw.pointer - 1) / sizeof(void*);
}

template <std::size_t Slot>
HRESULT STDMETHODCALLTYPE NotImplemented(void*) {
    LogUnimplementedSlot(Slot);
    return E_NOTIMPL;
}

// One interface name the object answers to, and whether tests have hidden it.
struct Answered {
    IID iid;
    const char* name;
};

bool IsHidden(const char* interfaceName);

// Base of every stand-in object: the vtable pointer first, so that the object's address is its
// interface pointer. `Self` is the derived type.
template <typename Self>
class Object {
  public:
    static Self* From(void* interfacePointer) { return static_cast<Self*>(interfacePointer); }

    // The object as interface `I`, with a new reference for the caller.
    template <typename I>
    I* Give() {
        references_.fetch_add(1);
        return reinterpret_cast<I*>(this);
    }

    // Builds the table once per type: QueryInterface, AddRef, Release, then `fill` sets the rest.
    class Table {
      public:
        template <typename Fill>
        explicit Table(Fill fill) {
            Stubs(std::make_index_sequence<kSlotCount>());
            slots_[0] = reinterpret_cast<const void*>(&Object::SlotQueryInterface);
            slots_[1] = reinterpret_cast<const void*>(&Object::SlotAddRef);
            slots_[2] = reinterpret_cast<const void*>(&Object::SlotRelease);
            fill(*this);
        }
        template <typename I, typename... Args>
        Table& Set(HRESULT (STDMETHODCALLTYPE I::*method)(Args...),
                   HRESULT(STDMETHODCALLTYPE* function)(Self*, Args...)) {
            const std::size_t slot = SlotOf(method);
            // A table too small for the interface would answer the method with a stub: stop.
            if (slot >= kSlotCount) std::abort();
            slots_[slot] = reinterpret_cast<const void*>(function);
            return *this;
        }
        const void* const* Slots() const { return slots_.data(); }

      private:
        template <std::size_t... Index>
        void Stubs(std::index_sequence<Index...>) {
            ((slots_[Index] = reinterpret_cast<const void*>(&NotImplemented<Index>)), ...);
        }
        std::array<const void*, kSlotCount> slots_{};
    };

    // For Win32::ComPtr of the concrete type.
    ULONG AddRef() { return SlotAddRef(static_cast<Self*>(this)); }
    ULONG Release() { return SlotRelease(static_cast<Self*>(this)); }

  protected:
    Object(const void* const* vtable, std::vector<Answered> answered)
        : vtable_(vtable), answered_(std::move(answered)) {}
    ~Object() = default;

  private:
    static HRESULT STDMETHODCALLTYPE SlotQueryInterface(Self* self, REFIID iid, void** out) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = self->template Give<IUnknown>();
            return S_OK;
        }
        for (const Answered& entry : self->answered_) {
            if (IsEqualIID(iid, entry.iid)) {
                if (IsHidden(entry.name)) return E_NOINTERFACE;
                *out = self->template Give<IUnknown>();
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE SlotAddRef(Self* self) { return ++self->references_; }
    static ULONG STDMETHODCALLTYPE SlotRelease(Self* self) {
        const ULONG left = --self->references_;
        if (left == 0) delete self;
        return left;
    }

    // Must stay the first member: callers see the object's address as the interface pointer.
    const void* const* vtable_;
    std::atomic<ULONG> references_{1};
    std::vector<Answered> answered_;
};

}  // namespace Standin
