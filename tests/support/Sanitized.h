#pragma once
// RE_SANITIZED is 1 in a build under AddressSanitizer or ThreadSanitizer, by gcc or clang: time and
// memory budgets of the tests are wider there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RE_SANITIZED 1
#endif
#endif
#ifndef RE_SANITIZED
#define RE_SANITIZED 0
#endif
