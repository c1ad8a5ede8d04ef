#pragma once
// The text of an ini file as lines, for reading values and for edits that
// keep every untouched line byte for byte (comments, blanks, order, line
// ends, a leading byte-order mark). No file access: profile.cpp reads and
// writes the files.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrun {

class CIniText
{
public:
    explicit CIniText(std::string_view content);

    std::string Serialize() const;

    // Names compare without regard to ASCII case; the first section and the
    // first key of a name win. Values come trimmed and unquoted.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Names in file order, each once.
    std::vector<std::string> Keys(std::string_view section) const;
    std::vector<std::string> Sections() const;

    // Each returns whether the text changed.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key in the section.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of the name with all its lines.
    bool DeleteSection(std::string_view section);

    // The entries of a section as Value reads them, in file order, keys
    // of the same name included (the first one is the one that counts).
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
    // Sets several keys of one section, leaving the text as SetValue would
    // one key after the other, in one pass over the text.
    bool SetValues(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values);
    // The form in which two names compare equal: trimmed, ASCII lower case.
    static std::string NameKey(std::string_view name);

private:
    struct Line
    {
        std::string text; // without the line end
        std::string end;  // "\n", "\r\n", a lone "\r", or "" for a last line without one
    };
    struct Range
    {
        std::size_t header; // the section's header line
        std::size_t end;    // one past its last line
    };

    std::optional<Range> FindSection(std::string_view section, std::size_t from = 0) const;
    std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

    std::string m_bom;
    std::string m_newLineEnd = "\n";
    std::vector<Line> m_lines;
};

} // namespace kestrun
