#include "platform/ui/signalpictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

namespace kestrun {

namespace {

// Lamps are round; the signs are wide enough for their word.
constexpr int kLampSize = 32;
constexpr int kSignWidth = 64;
constexpr int kSignHeight = 40;

QImage Canvas(int width, int height, const std::function<void(QPainter&)>& paint)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

QImage Lamp(const QColor& light, bool crossed)
{
    return Canvas(kLampSize, kLampSize, [&](QPainter& painter) {
        painter.setPen(QPen(light.darker(200), 2));
        painter.setBrush(light);
        painter.drawEllipse(QRectF(2, 2, kLampSize - 4, kLampSize - 4));
        // A highlight, as on a lit lamp.
        painter.setPen(Qt::NoPen);
        painter.setBrush(light.lighter(150));
        painter.drawEllipse(QRectF(9, 8, 7, 5));
        if (crossed) {
            painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(11, 11), QPointF(21, 21));
            painter.drawLine(QPointF(21, 11), QPointF(11, 21));
        }
    });
}

void Word(QPainter& painter, const QRectF& box, const char* word)
{
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, word);
}

QImage GoSign()
{
    return Canvas(kSignWidth, kSignHeight, [](QPainter& painter) {
        const QColor green(0, 160, 0);
        painter.setPen(QPen(green.darker(180), 2));
        painter.setBrush(green);
        painter.drawRoundedRect(QRectF(2, 2, kSignWidth - 4, kSignHeight - 4), 8, 8);
        Word(painter, QRectF(0, 0, kSignWidth, kSignHeight), "GO");
    });
}

QImage StopSign()
{
    return Canvas(kSignWidth, kSignHeight, [](QPainter& painter) {
        const QColor red(210, 0, 0);
        // An octagon in the sign's box.
        const QPointF centre(kSignWidth / 2.0, kSignHeight / 2.0);
        const double rx = kSignWidth / 2.0 - 2.0;
        const double ry = kSignHeight / 2.0 - 2.0;
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double angle = std::numbers::pi / 8.0 + i * std::numbers::pi / 4.0;
            octagon << QPointF(centre.x() + rx * std::cos(angle), centre.y() + ry * std::sin(angle));
        }
        painter.setPen(QPen(red.darker(180), 2));
        painter.setBrush(red);
        painter.drawPolygon(octagon);
        Word(painter, QRectF(0, 0, kSignWidth, kSignHeight), "STOP");
    });
}

} // namespace

QImage NamedPicture(const char* name)
{
    if (name == nullptr)
        return {};
    if (std::strcmp(name, "SIGNAL_IO") == 0)
        return Lamp(QColor(0, 200, 0), false);
    if (std::strcmp(name, "SIGNAL_NIO") == 0)
        return Lamp(QColor(220, 0, 0), true);
    if (std::strcmp(name, "GO") == 0)
        return GoSign();
    if (std::strcmp(name, "STOP") == 0)
        return StopSign();
    return {};
}

} // namespace kestrun
