#include "platform/ui/commandicons.h"

#include "platform/ui/windefs.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <map>
#include <mutex>

namespace kestrun {

namespace {

struct IconEntry
{
    QString path;
    QString themeName;
};

struct IconTable
{
    std::mutex mutex;
    std::map<UINT, IconEntry> entries;
};

void put(std::map<UINT, IconEntry>& entries, UINT id, CPictogram picture, const char* themeName)
{
    entries[id] = IconEntry{PictogramPath(picture), themeName ? QString::fromUtf8(themeName) : QString()};
}

void addStandardIcons(std::map<UINT, IconEntry>& entries)
{
    put(entries, ID_FILE_NEW, "document-new", "document-new");
    put(entries, ID_FILE_OPEN, "document-open", "document-open");
    put(entries, ID_FILE_SAVE, "document-save", "document-save");
    put(entries, ID_FILE_PRINT, "document-print", "document-print");
    put(entries, ID_EDIT_CUT, "edit-cut", "edit-cut");
    put(entries, ID_EDIT_COPY, "edit-copy", "edit-copy");
    put(entries, ID_EDIT_PASTE, "edit-paste", "edit-paste");
    // The naming scheme has no "what is this?" pointer.
    put(entries, ID_CONTEXT_HELP, "help-context", nullptr);
    put(entries, ID_RECORD_FIRST, "record-first", "go-first");
    put(entries, ID_RECORD_PREV, "record-previous", "go-previous");
    put(entries, ID_RECORD_NEXT, "record-next", "go-next");
    put(entries, ID_RECORD_LAST, "record-last", "go-last");
}

IconTable& iconTable()
{
    static IconTable table;
    static const bool filled = (addStandardIcons(table.entries), true);
    (void)filled;
    return table;
}

IconEntry entryOf(UINT id)
{
    IconTable& table = iconTable();
    std::lock_guard lock(table.mutex);
    const auto it = table.entries.find(id);
    return it != table.entries.end() ? it->second : IconEntry{};
}

// A theme may name an icon whose file cannot be read; such an icon draws
// nothing.
bool drawable(const QIcon& icon)
{
    return !icon.isNull() && !icon.pixmap(16, 16).isNull();
}

} // namespace

QString PictogramPath(CPictogram picture)
{
    const std::string_view name = picture.Name();
    return QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
           QStringLiteral(".svg");
}

QIcon Pictogram(CPictogram picture)
{
    return QIcon(PictogramPath(picture));
}

void RegisterCommandIcon(UINT id, CPictogram picture, const char* themeName)
{
    IconTable& table = iconTable();
    std::lock_guard lock(table.mutex);
    put(table.entries, id, picture, themeName);
}

QIcon CommandIcon(UINT id)
{
    const IconEntry entry = entryOf(id);
    if (entry.path.isEmpty())
        return {};
    if (!entry.themeName.isEmpty()) {
        if (QIcon::themeName().isEmpty())
            QIcon::setThemeName("Adwaita");
        if (const QIcon themed = QIcon::fromTheme(entry.themeName); drawable(themed))
            return themed;
    }
    return QIcon(entry.path);
}

QString CommandPictogramPath(UINT id)
{
    return entryOf(id).path;
}

} // namespace kestrun
