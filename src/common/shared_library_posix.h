#pragma once
// Libraries that are opened when first needed instead of being linked: whatever they pull in
// (and its initialisers) then costs nothing at start-up. A library once opened stays until exit,
// so the functions taken from it never dangle.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

class SharedLibraryBinder {
  public:
    // Opens `name` (a SONAME, searched as the dynamic linker searches). Failing is not an error
    // yet: Error() tells.
    explicit SharedLibraryBinder(std::string_view name);

    // Fills `slot` with the library's `symbol`, or leaves it empty and remembers the first
    // symbol that was missing.
    template <typename Function>
    void Bind(Function*& slot, const char* symbol) {
        slot = reinterpret_cast<Function*>(Resolve(symbol));
    }

    // Empty when the library opened and every Bind succeeded; else "Loading <name> failed", with
    // ": <symbol>" when it was the first missing symbol that failed.
    std::string Error() const;

  private:
    void* Resolve(const char* symbol);

    std::string name_;
    void* handle_ = nullptr;
    std::string firstMissing_;
};

// A table of function pointers taken from one library, or why there is none.
template <typename Functions>
struct LoadedLibrary {
    std::optional<Functions>
        functions;      // empty when the library or any of its functions is missing
    std::string error;  // then SharedLibraryBinder::Error()
};

// Opens `name` and lets `bindAll(binder, functions)` fill the table: all of it or nothing.
template <typename Functions, typename BindAll>
LoadedLibrary<Functions> LoadSharedLibrary(std::string_view name, BindAll bindAll) {
    SharedLibraryBinder binder(name);
    Functions functions;
    bindAll(binder, functions);
    std::string error = binder.Error();
    if (!error.empty()) return {std::nullopt, std::move(error)};
    return {functions, {}};
}
