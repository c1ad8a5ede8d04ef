#pragma once
// The fixed-width types and small value helpers that the rest of the code
// is written against. Widths follow the stored file formats: LONG and DWORD
// are 32 bits on every machine.

#include <cstddef>
#include <cstdint>

using BOOL = int;
inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using FLOAT = float;

using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;

using TCHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPTSTR = char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;

// A wait without time limit.
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// A 64-bit value with its 32-bit halves, as the performance counter reports it.
union LARGE_INTEGER
{
    struct
    {
        DWORD LowPart;
        LONG HighPart;
    };
    LONGLONG QuadPart;
};

using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Opaque handles. A window handle names an entry of the platform's window
// registry; a module handle is what dlopen returned.
using HWND = struct HWND__*;
using HMODULE = void*;
using HINSTANCE = void*;

// Position in a list or map while iterating; null ends the walk.
using POSITION = struct POSITION__*;

// Colours: red in the low byte, then green, then blue.
using COLORREF = DWORD;

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>(static_cast<BYTE>(r)) |
           (static_cast<COLORREF>(static_cast<BYTE>(g)) << 8) |
           (static_cast<COLORREF>(static_cast<BYTE>(b)) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>(c >> 16); }

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(DWORD_PTR v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(DWORD_PTR v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD low, WORD high) { return static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16); }
constexpr WORD MAKEWORD(BYTE low, BYTE high) { return static_cast<WORD>(low | (high << 8)); }

#define _T(x) x
#define _countof(a) (sizeof(a) / sizeof((a)[0]))
