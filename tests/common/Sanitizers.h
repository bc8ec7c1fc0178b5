#pragma once

// Whether this build runs under the address sanitizer, which reserves terabytes of address space up front: a
// test cannot limit a sanitized process's address space to make an allocation fail.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSanitized = true;
#else
constexpr bool AddressSanitized = false;
#endif
#else
constexpr bool AddressSanitized = false;
#endif

// How much slower this build runs: the sanitizers slow everything down about tenfold. Time bounds are multiplied
// by it.
constexpr int Slowdown = AddressSanitized ? 10 : 1;
