#include "platform/ui/commandicons.h"

#include "platform/core/cstring.h"
#include "platform/ui/windefs.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <map>
#include <mutex>

namespace kestrun {

namespace {

struct IconEntry
{
    CString themeName;
    CString label;
};

struct IconTable
{
    std::mutex mutex;
    std::map<UINT, IconEntry> entries;
};

void addStandardIcons(IconTable& t)
{
    {
        const std::pair<UINT, IconEntry> standard[] = {
            {ID_FILE_NEW, {"document-new", "N"}},
            {ID_FILE_OPEN, {"document-open", "O"}},
            {ID_FILE_SAVE, {"document-save", "S"}},
            {ID_FILE_SAVE_AS, {"document-save-as", "SA"}},
            {ID_FILE_PRINT, {"document-print", "P"}},
            {ID_FILE_PRINT_PREVIEW, {"document-print-preview", "PV"}},
            {ID_EDIT_CUT, {"edit-cut", "X"}},
            {ID_EDIT_COPY, {"edit-copy", "C"}},
            {ID_EDIT_PASTE, {"edit-paste", "V"}},
            {ID_EDIT_UNDO, {"edit-undo", "U"}},
            {ID_EDIT_CLEAR, {"edit-delete", "D"}},
            {ID_APP_ABOUT, {"help-about", "?"}},
            {ID_CONTEXT_HELP, {"help-contents", "?"}},
            {ID_HELP, {"help-contents", "?"}},
            {ID_APP_EXIT, {"application-exit", "Q"}},
        };
        for (const auto& [id, entry] : standard)
            t.entries[id] = entry;
    }
}

IconTable& iconTable()
{
    static IconTable table;
    static const bool filled = (addStandardIcons(table), true);
    (void)filled;
    return table;
}

QColor colourOf(UINT id)
{
    // A stable, calm colour per command.
    const int hue = static_cast<int>((id * 2654435761u) >> 24) % 360;
    return QColor::fromHsv(hue, 110, 150);
}

QIcon drawnIcon(UINT id, const CString& label)
{
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colourOf(id));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        const QString text = QString::fromUtf8(label.GetString()).left(3);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, size * (text.size() > 1 ? 5 : 7) / 12));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void RegisterCommandIcon(UINT id, const char* themeName, const char* label)
{
    IconTable& table = iconTable();
    std::lock_guard lock(table.mutex);
    table.entries[id] = IconEntry{themeName ? themeName : "", label ? label : ""};
}

QIcon CommandIcon(UINT id)
{
    IconEntry entry;
    {
        IconTable& table = iconTable();
        std::lock_guard lock(table.mutex);
        if (const auto it = table.entries.find(id); it != table.entries.end())
            entry = it->second;
    }
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName("Adwaita");
    if (!entry.themeName.IsEmpty()) {
        const QIcon themed = QIcon::fromTheme(QString::fromUtf8(entry.themeName.GetString()));
        if (!themed.isNull())
            return themed;
    }
    CString label = entry.label;
    if (label.IsEmpty())
        label.Format("%u", id % 100);
    return drawnIcon(id, label);
}

} // namespace kestrun
