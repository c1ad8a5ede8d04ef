#pragma once
// CString: the text type of the whole program. UTF-8 in memory; positions
// and lengths count bytes, as the original single-byte strings did.

#include "platform/core/types.h"

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

class CString
{
public:
    CString() = default;
    CString(const char* text) : m_str(text ? text : "") {}
    CString(const char* text, int length) : m_str(text ? std::string(text, static_cast<size_t>(length < 0 ? 0 : length)) : std::string()) {}
    CString(char ch, int repeat = 1) : m_str(static_cast<size_t>(repeat < 0 ? 0 : repeat), ch) {}
    CString(std::string text) : m_str(std::move(text)) {}
    CString(std::string_view text) : m_str(text) {}

    // Length and access
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }
    std::string_view view() const { return m_str; }

    // Direct buffer access for callers that fill text in place: GetBuffer
    // makes room for at least minLength bytes; ReleaseBuffer cuts the text
    // at newLength, or at the first NUL when newLength is -1.
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // Comparison
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;
    int Collate(const char* other) const { return Compare(other); }

    // Extraction
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;
    // Next token after position start, skipping leading delimiters; start
    // moves past the token, or becomes -1 when no token is left.
    CString Tokenize(const char* delimiters, int& start) const;

    // Searching: byte positions, -1 when not found
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* charSet) const;

    // Changes in place
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(char target);
    CString& Trim(const char* targets);
    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);
    void Truncate(int length);

    // printf-style formatting; the arguments are checked by the compiler.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);

    // Text from the string table; false when the id has no text.
    BOOL LoadString(UINT id);

    CString& operator=(const char* text)
    {
        m_str = text ? text : "";
        return *this;
    }
    CString& operator=(char ch)
    {
        m_str.assign(1, ch);
        return *this;
    }
    CString& operator+=(const CString& other)
    {
        m_str += other.m_str;
        return *this;
    }
    CString& operator+=(const char* text)
    {
        if (text)
            m_str += text;
        return *this;
    }
    CString& operator+=(char ch)
    {
        m_str += ch;
        return *this;
    }
    void Append(const char* text, int length) { m_str.append(text, static_cast<size_t>(length)); }
    void AppendChar(char ch) { m_str += ch; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_str + b); }
    friend CString operator+(char a, const CString& b) { return CString(a + b.m_str); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_str <=> b.m_str; }
    friend std::strong_ordering operator<=>(const CString& a, const char* b) { return a.m_str <=> std::string_view(b ? b : ""); }

private:
    std::string m_str;
};

// Formats into a new string.
CString FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

template <>
struct std::hash<CString>
{
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
