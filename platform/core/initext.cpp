#include "platform/core/initext.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace kestrun {

namespace {

// "key=value"
std::string KeyLine(std::string_view key, std::string_view value)
{
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    return line;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool SameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string LowerName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

// Names in first-seen order, each once without regard to ASCII case; a set
// of the lowered names keeps files with many thousand names linear.
class CNameList
{
public:
    void Add(std::string_view name)
    {
        if (m_seen.insert(LowerName(name)).second)
            m_names.emplace_back(name);
    }
    std::vector<std::string> Take() { return std::move(m_names); }

private:
    std::vector<std::string> m_names;
    std::unordered_set<std::string> m_seen;
};

struct Parsed
{
    enum Kind
    {
        other,
        header,
        entry,
    } kind = other;
    std::string_view name;
    std::string_view value; // trimmed, quotes still on
};

Parsed ParseLine(std::string_view text)
{
    const std::string_view t = TrimBlanks(text);
    if (t.empty() || t.front() == ';')
        return {};
    if (t.front() == '[') {
        const std::string_view inner = t.substr(1);
        return {Parsed::header, TrimBlanks(inner.substr(0, inner.find(']'))), {}};
    }
    const auto equals = t.find('=');
    const std::string_view key = TrimBlanks(t.substr(0, equals));
    if (key.empty())
        return {};
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : TrimBlanks(t.substr(equals + 1));
    return {Parsed::entry, key, value};
}

} // namespace

CIniText::CIniText(std::string_view content)
{
    if (content.starts_with(kBom)) {
        m_bom = kBom;
        content.remove_prefix(kBom.size());
    }
    // A line ends in "\r\n", "\n" or a lone "\r"; new lines take the file's
    // first "\n" or "\r\n" ending.
    bool endSeen = false;
    while (!content.empty()) {
        const auto stop = content.find_first_of("\r\n");
        if (stop == std::string_view::npos) {
            m_lines.push_back({std::string(content), {}});
            break;
        }
        const std::size_t endLength = content.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        Line line{std::string(content.substr(0, stop)), std::string(content.substr(stop, endLength))};
        if (!endSeen && line.end != "\r") {
            m_newLineEnd = line.end;
            endSeen = true;
        }
        m_lines.push_back(std::move(line));
        content.remove_prefix(stop + endLength);
    }
}

std::string CIniText::Serialize() const
{
    std::string text = m_bom;
    for (const Line& line : m_lines)
        text += line.text + line.end;
    return text;
}

std::optional<CIniText::Range> CIniText::FindSection(std::string_view section, std::size_t from) const
{
    for (std::size_t i = from; i < m_lines.size(); ++i) {
        const Parsed p = ParseLine(m_lines[i].text);
        if (p.kind != Parsed::header || !SameName(p.name, section))
            continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && ParseLine(m_lines[end].text).kind != Parsed::header)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> CIniText::FindKey(const Range& range, std::string_view key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const Parsed p = ParseLine(m_lines[i].text);
        if (p.kind == Parsed::entry && SameName(p.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> CIniText::Value(std::string_view section, std::string_view key) const
{
    const auto range = FindSection(TrimBlanks(section));
    if (!range)
        return std::nullopt;
    const auto line = FindKey(*range, TrimBlanks(key));
    if (!line)
        return std::nullopt;
    return std::string(Unquote(ParseLine(m_lines[*line].text).value));
}

std::vector<std::string> CIniText::Keys(std::string_view section) const
{
    CNameList keys;
    const auto range = FindSection(TrimBlanks(section));
    if (!range)
        return {};
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const Parsed p = ParseLine(m_lines[i].text);
        if (p.kind == Parsed::entry)
            keys.Add(p.name);
    }
    return keys.Take();
}

std::vector<std::string> CIniText::Sections() const
{
    CNameList sections;
    for (const Line& line : m_lines) {
        const Parsed p = ParseLine(line.text);
        if (p.kind == Parsed::header)
            sections.Add(p.name);
    }
    return sections.Take();
}

bool CIniText::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    return SetValues(section, {{std::string(key), std::string(value)}});
}

bool CIniText::DeleteKey(std::string_view section, std::string_view key)
{
    const auto range = FindSection(TrimBlanks(section));
    if (!range)
        return false;
    key = TrimBlanks(key);
    bool changed = false;
    for (std::size_t i = range->end; i-- > range->header + 1;) {
        const Parsed p = ParseLine(m_lines[i].text);
        if (p.kind == Parsed::entry && SameName(p.name, key)) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            changed = true;
        }
    }
    return changed;
}

bool CIniText::DeleteSection(std::string_view section)
{
    section = TrimBlanks(section);
    bool changed = false;
    std::size_t from = 0;
    while (const auto range = FindSection(section, from)) {
        const auto first = m_lines.begin() + static_cast<std::ptrdiff_t>(range->header);
        m_lines.erase(first, first + static_cast<std::ptrdiff_t>(range->end - range->header));
        from = range->header;
        changed = true;
    }
    return changed;
}

std::string CIniText::NameKey(std::string_view name)
{
    return LowerName(TrimBlanks(name));
}

std::vector<std::pair<std::string, std::string>> CIniText::Entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const auto range = FindSection(TrimBlanks(section));
    if (!range)
        return entries;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const Parsed p = ParseLine(m_lines[i].text);
        if (p.kind == Parsed::entry)
            entries.emplace_back(std::string(p.name), std::string(Unquote(p.value)));
    }
    return entries;
}

bool CIniText::SetValues(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values)
{
    if (values.empty())
        return false;
    section = TrimBlanks(section);
    const auto range = FindSection(section);

    // The lines that get a key: those of the file first, then the added ones.
    struct Target
    {
        bool added;
        std::size_t index;
    };
    std::unordered_map<std::string, Target> targets;
    std::vector<Line> added;
    std::vector<std::string> addedNames;
    // New keys follow the section's last entry, as with SetValue.
    std::size_t at = m_lines.size();
    if (range) {
        at = range->header + 1;
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            const Parsed p = ParseLine(m_lines[i].text);
            if (p.kind != Parsed::entry)
                continue;
            targets.emplace(LowerName(p.name), Target{false, i});
            at = i + 1;
        }
    } else {
        std::string header("[");
        header.append(section).append("]");
        added.push_back(Line{std::move(header), m_newLineEnd});
        addedNames.emplace_back();
    }

    bool changed = !range;
    for (const auto& [rawKey, value] : values) {
        const std::string_view key = TrimBlanks(rawKey);
        const auto found = targets.find(LowerName(key));
        if (found == targets.end()) {
            targets.emplace(LowerName(key), Target{true, added.size()});
            added.push_back(Line{KeyLine(key, value), m_newLineEnd});
            addedNames.emplace_back(key);
            changed = true;
            continue;
        }
        // Keep the key as the file spells it.
        Line& line = found->second.added ? added[found->second.index] : m_lines[found->second.index];
        std::string text = found->second.added ? KeyLine(addedNames[found->second.index], value)
                                               : KeyLine(ParseLine(line.text).name, value);
        if (text != line.text) {
            line.text = std::move(text);
            changed = true;
        }
    }
    if (!added.empty()) {
        // The line before may be a last line without a line end.
        if (at > 0 && m_lines[at - 1].end.empty())
            m_lines[at - 1].end = m_newLineEnd;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(added.begin()),
                       std::make_move_iterator(added.end()));
    }
    return changed;
}

} // namespace kestrun
