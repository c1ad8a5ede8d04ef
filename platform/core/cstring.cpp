#include "platform/core/cstring.h"

#include "platform/core/exceptions.h"
#include "platform/core/resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

constexpr const char* kWhitespace = " \t\n\v\f\r";

size_t clampIndex(int index, size_t size)
{
    if (index <= 0)
        return 0;
    return std::min(static_cast<size_t>(index), size);
}

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        AfxThrowInvalidArgException();
    return m_str[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength())
        AfxThrowInvalidArgException();
    m_str[static_cast<size_t>(index)] = ch;
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_str.resize(static_cast<size_t>(minLength));
    return m_str.data();
}

char* CString::GetBufferSetLength(int length)
{
    m_str.resize(static_cast<size_t>(std::max(length, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        m_str.resize(std::strlen(m_str.c_str()));
    else
        m_str.resize(std::min(static_cast<size_t>(newLength), m_str.size()));
}

int CString::Compare(const char* other) const
{
    const int r = std::strcmp(m_str.c_str(), other ? other : "");
    return (r > 0) - (r < 0);
}

int CString::CompareNoCase(const char* other) const
{
    const int r = ::strcasecmp(m_str.c_str(), other ? other : "");
    return (r > 0) - (r < 0);
}

CString CString::Left(int count) const
{
    return CString(m_str.substr(0, clampIndex(count, m_str.size())));
}

CString CString::Mid(int first) const
{
    return CString(m_str.substr(clampIndex(first, m_str.size())));
}

CString CString::Mid(int first, int count) const
{
    const size_t from = clampIndex(first, m_str.size());
    return CString(m_str.substr(from, clampIndex(count, m_str.size() - from)));
}

CString CString::Right(int count) const
{
    const size_t n = clampIndex(count, m_str.size());
    return CString(m_str.substr(m_str.size() - n));
}

CString CString::SpanIncluding(const char* charSet) const
{
    const size_t n = m_str.find_first_not_of(charSet ? charSet : "");
    return Left(n == std::string::npos ? GetLength() : static_cast<int>(n));
}

CString CString::SpanExcluding(const char* charSet) const
{
    const size_t n = m_str.find_first_of(charSet ? charSet : "");
    return Left(n == std::string::npos ? GetLength() : static_cast<int>(n));
}

CString CString::Tokenize(const char* delimiters, int& start) const
{
    if (start < 0)
        AfxThrowInvalidArgException();
    if (delimiters == nullptr || *delimiters == '\0') {
        // Without delimiters the rest is one token and start stays put.
        if (start < GetLength())
            return Mid(start);
    } else if (start < GetLength()) {
        const size_t from = m_str.find_first_not_of(delimiters, static_cast<size_t>(start));
        if (from != std::string::npos) {
            size_t until = m_str.find_first_of(delimiters, from);
            if (until == std::string::npos)
                until = m_str.size();
            start = static_cast<int>(until) + 1;
            return CString(m_str.substr(from, until - from));
        }
    }
    start = -1;
    return CString();
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const size_t pos = m_str.find(ch, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const
{
    if (sub == nullptr || start < 0 || start > GetLength())
        return -1;
    const size_t pos = m_str.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* charSet) const
{
    const size_t pos = m_str.find_first_of(charSet ? charSet : "");
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

// Case changes touch ASCII letters only, so UTF-8 sequences stay intact.
CString& CString::MakeUpper()
{
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), asciiUpper);
    return *this;
}

CString& CString::MakeLower()
{
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), asciiLower);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(const char* targets) { return TrimRight(targets).TrimLeft(targets); }
CString& CString::TrimLeft() { return TrimLeft(kWhitespace); }
CString& CString::TrimRight() { return TrimRight(kWhitespace); }

CString& CString::TrimLeft(char target)
{
    const char set[2] = {target, '\0'};
    return TrimLeft(set);
}

CString& CString::TrimRight(char target)
{
    const char set[2] = {target, '\0'};
    return TrimRight(set);
}

CString& CString::TrimLeft(const char* targets)
{
    const size_t pos = m_str.find_first_not_of(targets ? targets : "");
    m_str.erase(0, pos == std::string::npos ? m_str.size() : pos);
    return *this;
}

CString& CString::TrimRight(const char* targets)
{
    const size_t pos = m_str.find_last_not_of(targets ? targets : "");
    m_str.erase(pos == std::string::npos ? 0 : pos + 1);
    return *this;
}

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    for (char& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (oldText == nullptr || *oldText == '\0')
        return 0;
    const std::string_view from(oldText);
    const std::string_view to(newText ? newText : "");
    std::string result;
    int count = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_str.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        result.append(m_str, pos, hit - pos);
        result.append(to);
        ++count;
    }
    if (count > 0) {
        result.append(m_str, pos, std::string::npos);
        m_str = std::move(result);
    }
    return count;
}

int CString::Remove(char ch)
{
    const size_t before = m_str.size();
    std::erase(m_str, ch);
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, char ch)
{
    m_str.insert(clampIndex(index, m_str.size()), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text)
{
    if (text)
        m_str.insert(clampIndex(index, m_str.size()), text);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (count > 0) {
        const size_t from = clampIndex(index, m_str.size());
        m_str.erase(from, static_cast<size_t>(count));
    }
    return GetLength();
}

void CString::Truncate(int length)
{
    if (length < 0 || length > GetLength())
        AfxThrowInvalidArgException();
    m_str.resize(static_cast<size_t>(length));
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    m_str.clear();
    AppendFormatV(format, args);
}

void CString::AppendFormatV(const char* format, va_list args)
{
    if (format == nullptr)
        AfxThrowInvalidArgException();
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0)
        AfxThrowInvalidArgException();
    const size_t old = m_str.size();
    m_str.resize(old + static_cast<size_t>(needed) + 1);
    std::vsnprintf(m_str.data() + old, static_cast<size_t>(needed) + 1, format, args);
    m_str.resize(old + static_cast<size_t>(needed));
}

BOOL CString::LoadString(UINT id)
{
    const char* text = AfxLoadString(id);
    if (text == nullptr)
        return FALSE;
    m_str = text;
    return TRUE;
}

CString FormatString(const char* format, ...)
{
    CString s;
    va_list args;
    va_start(args, format);
    s.FormatV(format, args);
    va_end(args);
    return s;
}
