#pragma once
// A system library opened when it is first needed instead of at start. The network (libcurl, with
// the TLS, Kerberos and LDAP libraries under it) and the desktop's notifications (libnotify, with
// GLib) bring some forty libraries that the first frame never uses; mapping and relocating them
// took a quarter of the start-up.
#include <string>
#include <type_traits>

class SharedLibrary {
public:
    // The library by its versioned name ("libcurl.so.4"), opened once for the whole run and never
    // closed; nullptr when it cannot be opened (the reason goes to standard error once).
    static const SharedLibrary* open(const std::string& soname);

    // A function of the library or of those it depends on; nullptr when it has none by that name.
    template <typename Function>
    Function* function(const char* name) const {
        return reinterpret_cast<Function*>(address(name));
    }

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* address(const char* name) const;
    void* handle_;
};

// Every function of `api` that must be there: fills each member with its name's function and
// answers whether all were found. Used as
//   ok = bindFunctions(lib, std::pair{&api.init, "curl_global_init"}, ...);
template <typename... Pairs>
bool bindFunctions(const SharedLibrary& library, Pairs... pairs) {
    bool all = true;
    auto bind = [&](auto pair) {
        using Pointer = std::remove_reference_t<decltype(*pair.first)>;
        *pair.first = library.function<std::remove_pointer_t<Pointer>>(pair.second);
        all = all && *pair.first != nullptr;
    };
    (bind(pairs), ...);
    return all;
}

// A library's functions gathered in one struct `Api`, opened and bound once, on the first call;
// nullptr ever after when the library or one of its functions is missing. `bind(library, api)`
// fills the struct (with bindFunctions) and answers whether all were there. One struct per
// library: each call site's `bind` is its own type, so each has its own once.
template <typename Api, typename Bind>
const Api* openFunctionsOnce(const char* soname, Bind bind) {
    static const Api* const loaded = [&]() -> const Api* {
        static Api api;
        const SharedLibrary* library = SharedLibrary::open(soname);
        return library && bind(*library, api) ? &api : nullptr;
    }();
    return loaded;
}
