#pragma once
// Pictures of commands for tool bars and picture buttons. Each picture is
// ours, an SVG in platform/ui/icons; a command whose meaning has a name in
// the freedesktop icon naming scheme takes the desktop theme's icon when
// the theme has a readable one.

#include "platform/core/types.h"
#include "platform/ui/pictogramnames.h"

#include <algorithm>
#include <string_view>

class QIcon;
class QString;

namespace kestrun {

// The name of one of our pictures ("document-open" for icons/document-open.svg).
// Checked while compiling: a name without its file does not build.
class CPictogram
{
public:
    consteval CPictogram(const char* name) : m_name(name)
    {
        if (std::find(std::begin(kPictogramNames), std::end(kPictogramNames), m_name) == std::end(kPictogramNames))
            throw "no such file in platform/ui/icons";
    }
    constexpr std::string_view Name() const { return m_name; }

private:
    std::string_view m_name;
};

// The resource path of a picture (":/icons/document-open.svg").
QString PictogramPath(CPictogram picture);
QIcon Pictogram(CPictogram picture);

// themeName: the freedesktop name of the same meaning, or nullptr.
void RegisterCommandIcon(UINT id, CPictogram picture, const char* themeName = nullptr);
// The command's picture; a null icon for a command without one.
QIcon CommandIcon(UINT id);
// The resource path of the command's own picture, empty without one.
QString CommandPictogramPath(UINT id);

} // namespace kestrun
