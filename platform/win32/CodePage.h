// The Windows code-page conversion functions, with their call shapes, over ICU.
#pragma once

#include <System/Export.h>

namespace win32 {

using UINT = unsigned int;
using DWORD = unsigned long;
using BOOL = int;

inline constexpr UINT CP_ACP = 0;        // taken as the calling thread's ANSI code page
inline constexpr UINT CP_THREAD_ACP = 3; // the calling thread's ANSI code page
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_PRECOMPOSED = 0x1; // accepted and ignored: output is never decomposed
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;

inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;

// Narrow text in `codePage` to UTF-16. cbMultiByte -1 means NUL-terminated (the NUL is converted
// too); cchWideChar 0 asks for the required size. Returns the number of units, 0 on failure.
SYSTEM_API int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int cbMultiByte,
                                   char16_t* wideChar, int cchWideChar);

// UTF-16 to narrow text in `codePage`. cchWideChar -1 means NUL-terminated; cbMultiByte 0 asks for
// the required size. Characters without an exact mapping become the page's default character (or
// `defaultChar` when given, a single-byte page's only) and set *usedDefaultChar.
SYSTEM_API int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wideChar, int cchWideChar,
                                   char* multiByte, int cbMultiByte, const char* defaultChar, BOOL* usedDefaultChar);

// The calling thread's ANSI code page. Until set, the page that matches the thread's C locale
// character set (UTF-8: 65001; C/POSIX: 20127).
SYSTEM_API UINT GetThreadAnsiCodePage();
// Sets the calling thread's ANSI code page and returns the previous one. An unsupported page is
// stored as given; conversions on it then fail.
SYSTEM_API UINT SetThreadAnsiCodePage(UINT codePage);
// True for the pages the conversions support.
SYSTEM_API bool IsSupportedCodePage(UINT codePage);

// The error of the calling thread's last failed conversion.
SYSTEM_API DWORD GetLastError();

} // namespace win32
