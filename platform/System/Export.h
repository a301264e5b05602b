// Visibility of the platform library's symbols.
#pragma once

// Exception types and per-thread state must be one across all modules, so they are exported even
// when a module builds with hidden visibility.
#define SYSTEM_API __attribute__((visibility("default")))
