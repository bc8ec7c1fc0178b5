// libFuzzer target for the address keys of duplicate finding: any bytes, under every combination of the
// options, must give a key without a crash or a hang; a key is empty exactly when the bytes are no URL, and
// keys are made once: a key read again as an address gives itself (without the option that drops "www.",
// which may meet another "www." behind the first, and the one that maps https to http, whose port 80 is
// not https's default).
#include "store/UrlKey.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "quillmark-fuzz-url: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const std::string_view url(reinterpret_cast<const char *>(data), size);
    std::string key;
    std::string again;
    for (int options = 0; options < 8; ++options) {
        const UrlKey maker({(options & 1) != 0, (options & 2) != 0, (options & 4) != 0});
        const bool made = maker.make(url, key);
        check(made == !key.empty(), "a key is empty exactly when there is none");
        if (!made || (options & 4))
            continue;
        check(maker.make(key, again), "a key is a URL");
        check(again == key, "a key gives itself");
    }
    return 0;
}
