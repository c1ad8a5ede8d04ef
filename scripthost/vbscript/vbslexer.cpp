#include "scripthost/vbscript/vbslexer.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace kestrun::vbs {

namespace {

bool IsNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

class CLexer
{
public:
    CLexer(std::string_view source, int startingLine) : m_src(source), m_line(startingLine) {}

    std::vector<CToken> Run()
    {
        while (m_i < m_src.size()) {
            const char c = m_src[m_i];
            if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
                ++m_i;
                m_bSpace = true;
            } else if (c == '\r' || c == '\n') {
                Push(ETok::Newline, "\n");
                NewLine();
            } else if (c == ':') {
                Push(ETok::Newline, ":");
                ++m_i;
            } else if (c == '\'') {
                SkipComment();
            } else if (c == '_' && ContinuesLine()) {
                // handled in ContinuesLine
            } else if (IsNameStart(c)) {
                Name();
            } else if (c == '[') {
                BracketName();
            } else if (IsDigit(c) || (c == '.' && m_i + 1 < m_src.size() && IsDigit(m_src[m_i + 1]) &&
                                      !AfterOperand())) {
                Number();
            } else if (c == '&' && m_i + 1 < m_src.size() &&
                       (m_src[m_i + 1] == 'h' || m_src[m_i + 1] == 'H' || m_src[m_i + 1] == 'o' ||
                        m_src[m_i + 1] == 'O')) {
                Radix();
            } else if (c == '"') {
                String();
            } else if (c == '#') {
                DateLiteral();
            } else {
                Operator();
            }
        }
        Push(ETok::Newline, "\n");
        CToken end;
        end.m_kind = ETok::End;
        end.m_pos = Here();
        m_tokens.push_back(std::move(end));
        return std::move(m_tokens);
    }

private:
    void Start()
    {
        m_tokenStart = Here();
        m_bStarted = true;
    }

    CPos Here() const { return {m_line, static_cast<int>(m_i - m_lineStart)}; }

    [[noreturn]] void Fail(long number) const { throw CVbsFault(number, ErrorText(number), Here(), true); }

    void Push(ETok kind, std::string text, COleVariant value = {})
    {
        CToken t;
        t.m_kind = kind;
        t.m_pos = m_bStarted ? m_tokenStart : Here();
        t.m_text = std::move(text);
        t.m_value = std::move(value);
        if (kind == ETok::Name) {
            t.m_key = t.m_text;
            for (char& ch : t.m_key)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        t.m_bSpaced = m_bSpace;
        m_tokens.push_back(std::move(t));
        m_bStarted = false;
        m_bSpace = false;
    }

    void NewLine()
    {
        if (m_src[m_i] == '\r' && m_i + 1 < m_src.size() && m_src[m_i + 1] == '\n')
            ++m_i;
        ++m_i;
        ++m_line;
        m_lineStart = m_i;
    }

    bool AfterOperand() const
    {
        if (m_tokens.empty())
            return false;
        const CToken& last = m_tokens.back();
        return last.m_kind == ETok::Name || last.m_kind == ETok::Literal || last.m_text == ")";
    }

    void SkipComment()
    {
        while (m_i < m_src.size() && m_src[m_i] != '\r' && m_src[m_i] != '\n')
            ++m_i;
    }

    // " _" at the end of a line joins the next line to this one.
    bool ContinuesLine()
    {
        size_t j = m_i + 1;
        while (j < m_src.size() && (m_src[j] == ' ' || m_src[j] == '\t'))
            ++j;
        const bool blankBefore = m_i == m_lineStart || m_src[m_i - 1] == ' ' || m_src[m_i - 1] == '\t';
        if (!blankBefore || (j < m_src.size() && m_src[j] != '\r' && m_src[j] != '\n'))
            return false;
        m_i = j;
        if (m_i < m_src.size())
            NewLine();
        return true;
    }

    void Name()
    {
        Start();
        const size_t start = m_i;
        while (m_i < m_src.size() && IsNameChar(m_src[m_i]))
            ++m_i;
        std::string text(m_src.substr(start, m_i - start));
        if (text.size() == 3 && (text[0] | 0x20) == 'r' && (text[1] | 0x20) == 'e' && (text[2] | 0x20) == 'm') {
            m_bStarted = false;
            SkipComment();
            return;
        }
        Push(ETok::Name, std::move(text));
    }

    void BracketName()
    {
        Start();
        const size_t start = ++m_i;
        while (m_i < m_src.size() && m_src[m_i] != ']' && m_src[m_i] != '\n' && m_src[m_i] != '\r')
            ++m_i;
        if (m_i >= m_src.size() || m_src[m_i] != ']')
            Fail(err::kExpectedIdentifier);
        std::string text(m_src.substr(start, m_i - start));
        ++m_i;
        Push(ETok::Name, std::move(text));
    }

    void Number()
    {
        Start();
        const size_t start = m_i;
        bool isFloat = false;
        while (m_i < m_src.size() && IsDigit(m_src[m_i]))
            ++m_i;
        if (m_i < m_src.size() && m_src[m_i] == '.') {
            isFloat = true;
            ++m_i;
            while (m_i < m_src.size() && IsDigit(m_src[m_i]))
                ++m_i;
        }
        if (m_i < m_src.size() && (m_src[m_i] == 'e' || m_src[m_i] == 'E')) {
            size_t j = m_i + 1;
            if (j < m_src.size() && (m_src[j] == '+' || m_src[j] == '-'))
                ++j;
            if (j < m_src.size() && IsDigit(m_src[j])) {
                isFloat = true;
                m_i = j;
                while (m_i < m_src.size() && IsDigit(m_src[m_i]))
                    ++m_i;
            }
        }
        if (m_i < m_src.size() && IsNameStart(m_src[m_i]))
            Fail(err::kExpectedEndOfStatement);
        const std::string_view text = m_src.substr(start, m_i - start);
        double value = 0.0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || !std::isfinite(value))
            Fail(err::kInvalidNumber);
        if (!isFloat && value <= 32767.0)
            Push(ETok::Literal, std::string(text), COleVariant(static_cast<short>(value)));
        else if (!isFloat && value <= 2147483647.0)
            Push(ETok::Literal, std::string(text), COleVariant(static_cast<LONG>(value)));
        else
            Push(ETok::Literal, std::string(text), COleVariant(value));
    }

    // &H1F and &O17; the bits of 16 or 32 places make the value, as in
    // VBScript (&HFFFF is -1).
    void Radix()
    {
        Start();
        const bool hex = m_src[m_i + 1] == 'h' || m_src[m_i + 1] == 'H';
        m_i += 2;
        const size_t start = m_i;
        unsigned long long value = 0;
        while (m_i < m_src.size()) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(m_src[m_i])));
            int digit = -1;
            if (c >= '0' && c <= (hex ? '9' : '7'))
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 8) + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFULL)
                Fail(err::kInvalidNumber);
            ++m_i;
        }
        if (m_i == start)
            Fail(err::kSyntax);
        if (m_i < m_src.size() && m_src[m_i] == '&')
            ++m_i;
        const std::string text(m_src.substr(start - 2, m_i - start + 2));
        if (value <= 0xFFFF)
            Push(ETok::Literal, text, COleVariant(static_cast<short>(static_cast<unsigned short>(value))));
        else
            Push(ETok::Literal, text, COleVariant(static_cast<LONG>(static_cast<unsigned int>(value))));
    }

    void String()
    {
        Start();
        ++m_i;
        std::string text;
        while (true) {
            if (m_i >= m_src.size() || m_src[m_i] == '\n' || m_src[m_i] == '\r')
                Fail(err::kUnterminatedString);
            if (m_src[m_i] == '"') {
                if (m_i + 1 < m_src.size() && m_src[m_i + 1] == '"') {
                    text += '"';
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            text += m_src[m_i++];
        }
        Push(ETok::Literal, "\"", COleVariant(CString(text)));
    }

    void DateLiteral()
    {
        Start();
        const size_t start = ++m_i;
        while (m_i < m_src.size() && m_src[m_i] != '#' && m_src[m_i] != '\n' && m_src[m_i] != '\r')
            ++m_i;
        if (m_i >= m_src.size() || m_src[m_i] != '#')
            Fail(err::kSyntax);
        COleVariant value(CString(std::string(m_src.substr(start, m_i - start))));
        ++m_i;
        try {
            value.ChangeType(VT_DATE);
        } catch (const COleException&) {
            Fail(err::kSyntax);
        }
        Push(ETok::Literal, "#", std::move(value));
    }

    void Operator()
    {
        Start();
        static constexpr std::string_view kTwo[] = {"<>", "<=", ">=", "=<", "=>"};
        const std::string_view rest = m_src.substr(m_i);
        for (const std::string_view op : kTwo) {
            if (rest.starts_with(op)) {
                m_i += 2;
                std::string text(op);
                if (text == "=<")
                    text = "<=";
                else if (text == "=>")
                    text = ">=";
                Push(ETok::Op, std::move(text));
                return;
            }
        }
        const char c = m_src[m_i];
        if (std::string_view("+-*/\\^&=<>(),.").find(c) == std::string_view::npos) {
            m_bStarted = false;
            Fail(err::kInvalidCharacter);
        }
        ++m_i;
        Push(ETok::Op, std::string(1, c));
    }

    std::string_view m_src;
    size_t m_i = 0;
    size_t m_lineStart = 0;
    int m_line;
    CPos m_tokenStart;
    bool m_bStarted = false;
    bool m_bSpace = false;
    std::vector<CToken> m_tokens;
};

} // namespace

std::vector<CToken> Tokenize(std::string_view source, int startingLine)
{
    return CLexer(source, startingLine).Run();
}

} // namespace kestrun::vbs
