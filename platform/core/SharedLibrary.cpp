#include "platform/core/SharedLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

const SharedLibrary* SharedLibrary::open(const std::string& soname) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<SharedLibrary>> opened;  // nullptr: tried and failed
    std::lock_guard lock(mutex);
    auto found = opened.find(soname);
    if (found != opened.end()) return found->second.get();
    void* handle = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) std::fprintf(stderr, "Royal Expedition: %s cannot be opened: %s\n", soname.c_str(), dlerror());
    auto& slot = opened[soname];
    if (handle) slot.reset(new SharedLibrary(handle));
    return slot.get();
}

void* SharedLibrary::address(const char* name) const { return dlsym(handle_, name); }
