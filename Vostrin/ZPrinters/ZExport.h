// Marks what the printer unit publishes: its printer, canvas and device classes, their
// exceptions and texts, and its free functions are exported from libVostrin.so under their own
// names. Everything else in the library is hidden.
#pragma once

#if defined(__GNUC__)
#define ZPRINTERS_API __attribute__((visibility("default")))
#else
#define ZPRINTERS_API
#endif
