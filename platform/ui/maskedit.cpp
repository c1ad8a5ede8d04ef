#include "platform/ui/maskedit.h"

#include "platform/core/messagebox.h"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <cctype>
#include <string_view>

IMPLEMENT_DYNAMIC(CMaskEdit, CEdit)

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Matches a text against a mask by recursive descent. Each element either
// matches at the text position and moves it on, or fails; a failed element
// makes its optional part skip, its alternative switch, or the check fail.
class CMaskMatcher
{
public:
    CMaskMatcher(std::string_view mask, std::string_view text) : m_mask(mask), m_text(text) {}

    bool Matches()
    {
        if (!MatchSequence(0, m_mask.size()))
            return false;
        SkipBlanks();
        return AtEnd();
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }

    void SkipBlanks()
    {
        while (!AtEnd() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    // The end of the element that starts at `at`, not past `limit`.
    size_t ElementEnd(size_t at, size_t limit) const
    {
        if (at >= limit)
            return limit;
        switch (m_mask[at]) {
        case '/':
            return std::min(at + 2, limit);
        case '[':
        case '{': {
            // Brackets and braces count together.
            int depth = 0;
            for (size_t i = at; i < limit; ++i) {
                const char c = m_mask[i];
                if (c == '/') {
                    ++i;
                } else if (c == '[' || c == '{') {
                    ++depth;
                } else if (c == ']' || c == '}') {
                    if (--depth == 0)
                        return i + 1;
                }
            }
            return limit;
        }
        case '*': {
            size_t i = at + 1;
            while (i < limit && isDigit(m_mask[i]))
                ++i;
            return ElementEnd(i, limit);
        }
        default:
            return at + 1;
        }
    }

    // The elements of [begin, end), each with its alternatives.
    bool MatchSequence(size_t begin, size_t end)
    {
        size_t i = begin;
        while (i < end) {
            size_t elementEnd = ElementEnd(i, end);
            const size_t start = m_pos;
            bool matched = MatchAt(i, elementEnd);
            while (elementEnd < end && m_mask[elementEnd] == '|') {
                const size_t altBegin = elementEnd + 1;
                const size_t altEnd = ElementEnd(altBegin, end);
                if (!matched) {
                    m_pos = start;
                    matched = MatchAt(altBegin, altEnd);
                }
                elementEnd = altEnd;
            }
            if (!matched)
                return false;
            i = elementEnd;
        }
        return true;
    }

    // One element after the blanks; at the end of the text only an
    // optional part can still match.
    bool MatchAt(size_t begin, size_t end)
    {
        SkipBlanks();
        if (begin >= end)
            return false;
        if (AtEnd() && m_mask[begin] != '[')
            return false;
        return MatchElement(begin, end);
    }

    // The inside of a bracketed or braced element [begin, end).
    size_t GroupEnd(size_t begin, size_t end) const
    {
        const char last = m_mask[end - 1];
        return (end - begin >= 2 && (last == ']' || last == '}')) ? end - 1 : end;
    }

    bool MatchElement(size_t begin, size_t end)
    {
        const char c = m_mask[begin];
        switch (c) {
        case '[': {
            const size_t start = m_pos;
            if (!MatchSequence(begin + 1, GroupEnd(begin, end)))
                m_pos = start;
            return true;
        }
        case '{':
            return MatchSequence(begin + 1, GroupEnd(begin, end));
        case '*':
            return MatchRepetition(begin, end);
        case '/':
            return begin + 1 < end && MatchChar([&](char t) { return t == m_mask[begin + 1]; });
        case '#':
            return MatchChar(isDigit);
        case '&':
            return MatchChar([](char t) {
                const auto u = static_cast<unsigned char>(t);
                return std::isalpha(u) && std::toupper(u) == u;
            });
        case '?':
            return MatchChar([](char t) { return std::isalpha(static_cast<unsigned char>(t)) != 0; });
        case '@':
            return MatchChar([](char) { return true; });
        default:
            return MatchChar([c](char t) { return t == c; });
        }
    }

    template <class Test>
    bool MatchChar(Test test)
    {
        if (AtEnd() || !test(m_text[m_pos]))
            return false;
        ++m_pos;
        return true;
    }

    bool MatchRepetition(size_t begin, size_t end)
    {
        size_t element = begin + 1;
        long long count = 0;
        while (element < end && isDigit(m_mask[element])) {
            count = std::min<long long>(count * 10 + (m_mask[element] - '0'), 1'000'000'000);
            ++element;
        }
        if (element >= end)
            return false;
        if (count >= 2) {
            // A count n asks for n - 1 matches, as the stored masks expect.
            for (long long k = 1; k < count; ++k) {
                SkipBlanks();
                if (AtEnd())
                    return false;
                const size_t before = m_pos;
                if (!MatchElement(element, end))
                    return false;
                if (m_pos == before)
                    return true; // nothing taken: the rest would take nothing either
            }
            return true;
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                return true;
            const size_t before = m_pos;
            if (!MatchElement(element, end))
                return false;
            if (m_pos == before)
                return true;
        }
    }

    std::string_view m_mask;
    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

CMaskEdit::CMaskEdit(LPCTSTR lpszMask) : m_strMask(lpszMask ? lpszMask : "")
{
}

BOOL CMaskEdit::IsValidMask(const CString& mask)
{
    const std::string_view m(mask.GetString(), static_cast<size_t>(mask.GetLength()));
    int brackets = 0;
    int braces = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        switch (m[i]) {
        case '/':
            if (i + 1 == m.size())
                return FALSE;
            ++i;
            break;
        case '*':
            if (i + 1 == m.size())
                return FALSE;
            break;
        case '[':
            ++brackets;
            break;
        case ']':
            if (--brackets < 0)
                return FALSE;
            break;
        case '{':
            ++braces;
            break;
        case '}':
            if (--braces < 0)
                return FALSE;
            break;
        default:
            break;
        }
    }
    return brackets == 0 && braces == 0;
}

BOOL CMaskEdit::IsValidText(const CString& mask, const CString& text)
{
    if (mask.IsEmpty())
        return TRUE;
    if (text.IsEmpty() || !IsValidMask(mask))
        return FALSE;
    CMaskMatcher matcher(std::string_view(mask.GetString(), static_cast<size_t>(mask.GetLength())),
                         std::string_view(text.GetString(), static_cast<size_t>(text.GetLength())));
    return matcher.Matches() ? TRUE : FALSE;
}

BOOL CMaskEdit::IsValidText(const CString& text) const
{
    return IsValidText(m_strMask, text);
}

void CMaskEdit::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    CString text;
    GetWindowText(text);
    if (text.IsEmpty() || IsValidText(text))
        return;
    MessageBeep(0xFFFFFFFF);
    // The focus goes back once the change that took it away has finished.
    if (QWidget* widget = GetWidget()) {
        QPointer<QWidget> guard(widget);
        QMetaObject::invokeMethod(
            widget, [guard] {
                if (guard)
                    guard->setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
    }
}
