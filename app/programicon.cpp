#include "app/programicon.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QString>

namespace kestrun {

QIcon ProgramIcon()
{
    // Without Qt's SVG plug-ins the drawing reads as nothing, and a window
    // would fall back to the toolkit's icon.
    QIcon drawn(":/kestrun/kestrun.svg");
    if (!drawn.isNull() && !drawn.pixmap(32).isNull())
        return drawn;
    QIcon pictures;
    for (const int size : {16, 32, 48, 256})
        pictures.addFile(QString(":/kestrun/kestrun-%1.png").arg(size), QSize(size, size));
    return pictures;
}

void SetProgramIcon()
{
    // Pixmaps need the GUI application.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    QGuiApplication::setWindowIcon(ProgramIcon());
}

} // namespace kestrun
