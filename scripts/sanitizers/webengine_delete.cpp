// Linked into every program of the sanitizer build. Qt 6.4 WebEngine's
// ~WebContentsAdapter frees an 88-byte object through a pointer to a 24-byte
// base (its own code, not ours). GCC 12's AddressSanitizer cannot suppress a
// new-delete-type-mismatch by name, so this sized delete lets exactly that case
// through: a size that differs from the allocation while ~WebContentsAdapter is
// on the stack. Every other sized delete goes to AddressSanitizer's own.
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

extern "C" {
int __sanitizer_get_ownership(const volatile void* p);
size_t __sanitizer_get_allocated_size(const volatile void* p);
}

namespace {

struct Code {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

Code functionCode(const char* mangledName) {
    void* function = dlsym(RTLD_DEFAULT, mangledName);
    Dl_info info;
    ElfW(Sym)* symbol = nullptr;
    if (!function || !dladdr1(function, &info, reinterpret_cast<void**>(&symbol), RTLD_DL_SYMENT) || !symbol) return {};
    const auto at = reinterpret_cast<std::uintptr_t>(function);
    return {at, at + symbol->st_size};
}

bool insideWebContentsAdapterDestructor() {
    // D1 and D2 share one body in Qt's build; both are looked up all the same.
    const std::array<Code, 2> destructors{functionCode("_ZN15QtWebEngineCore18WebContentsAdapterD1Ev"),
                                          functionCode("_ZN15QtWebEngineCore18WebContentsAdapterD2Ev")};
    // Chromium's code has no unwind tables, so the frame pointers are followed
    // (as the sanitizer's own reports do), within this thread's stack.
    pthread_attr_t attributes;
    void* stackLow = nullptr;
    size_t stackSize = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return false;
    pthread_attr_getstack(&attributes, &stackLow, &stackSize);
    pthread_attr_destroy(&attributes);
    const auto high = reinterpret_cast<std::uintptr_t>(stackLow) + stackSize;
    auto* frame = static_cast<std::uintptr_t*>(__builtin_frame_address(0));
    for (int depth = 0; depth < 48; ++depth) {
        const auto at = reinterpret_cast<std::uintptr_t>(frame);
        if (at % sizeof(void*) != 0 || at + 2 * sizeof(void*) > high) break;
        const std::uintptr_t pc = frame[1];
        for (const Code& code : destructors)
            if (pc > code.begin && pc <= code.end) return true;
        if (frame[0] <= at) break;
        frame = reinterpret_cast<std::uintptr_t*>(frame[0]);
    }
    return false;
}

// The same object is also freed by the same WebEngine code from a deletion
// posted to the event loop, when the destructor is no longer on the stack: the
// caller is in WebEngine and the sizes are that object's.
bool sameObjectFromWebEngine(std::size_t allocated, std::size_t given, const void* caller) {
    Dl_info info;
    return allocated == 88 && given == 24 && dladdr(caller, &info) && info.dli_fname &&
           std::strstr(info.dli_fname, "libQt6WebEngineCore.so");
}

}  // namespace

void operator delete(void* p, std::size_t size) noexcept {
    using SizedDelete = void (*)(void*, std::size_t) noexcept;
    static const auto sanitizerDelete = reinterpret_cast<SizedDelete>(dlsym(RTLD_NEXT, "_ZdlPvm"));
    if (p && __sanitizer_get_ownership(p)) {
        const std::size_t allocated = __sanitizer_get_allocated_size(p);
        if (allocated != size && (sameObjectFromWebEngine(allocated, size, __builtin_return_address(0)) ||
                                  insideWebContentsAdapterDestructor())) {
            ::operator delete(p);
            return;
        }
    }
    sanitizerDelete(p, size);
}
