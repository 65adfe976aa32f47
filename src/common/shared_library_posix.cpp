#include "common/shared_library_posix.h"

#include <dlfcn.h>

SharedLibraryBinder::SharedLibraryBinder(std::string_view name) : name_(name) {
    // An empty name would make dlopen hand back the program itself.
    if (name_.empty()) return;
    // Never closed (see the header); RTLD_LOCAL keeps its symbols out of everyone else's lookup.
    handle_ = dlopen(name_.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* SharedLibraryBinder::Resolve(const char* symbol) {
    if (handle_ == nullptr) return nullptr;
    void* address = dlsym(handle_, symbol);
    if (address == nullptr && firstMissing_.empty()) firstMissing_ = symbol;
    return address;
}

std::string SharedLibraryBinder::Error() const {
    if (handle_ != nullptr && firstMissing_.empty()) return {};
    std::string error = "Loading " + name_ + " failed";
    if (handle_ != nullptr) error += ": " + firstMissing_;
    return error;
}
