#include "platform/ui/clipboard.h"

#include "platform/core/exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace {

QClipboard* clipboard() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr; }

int alignedStride(int width, int bytesPerPixel) { return (width * bytesPerPixel + 3) & ~3; }

QRgb toQRgb(COLORREF color) { return qRgb(GetRValue(color), GetGValue(color), GetBValue(color)); }

// A deep copy of the caller's block as a QImage.
QImage toImage(int width, int height, const void* bits, int stride, int bitsPerPixel, std::span<const COLORREF> palette)
{
    if (width < 1 || height < 1 || bits == nullptr)
        AfxThrowInvalidArgException();
    QImage::Format format;
    switch (bitsPerPixel) {
    case 8:
        format = QImage::Format_Indexed8;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32; // little-endian: blue, green, red, unused
        break;
    default:
        AfxThrowInvalidArgException();
    }
    if (static_cast<long long>(stride) < static_cast<long long>(width) * (bitsPerPixel / 8) || palette.size() > 256 ||
        (bitsPerPixel != 8 && !palette.empty()))
        AfxThrowInvalidArgException();

    QImage image(static_cast<const uchar*>(bits), width, height, stride, format);
    if (bitsPerPixel == 8) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = palette.empty() ? qRgb(i, i, i) : qRgb(0, 0, 0);
        for (size_t i = 0; i < palette.size(); ++i)
            table[static_cast<qsizetype>(i)] = toQRgb(palette[i]);
        image.setColorTable(table);
    }
    return image.copy();
}

CClipboardImage fromIndexed(const QImage& image)
{
    CClipboardImage result;
    result.width = image.width();
    result.height = image.height();
    result.bitsPerPixel = 8;
    result.stride = alignedStride(image.width(), 1);
    result.bits.resize(static_cast<size_t>(result.stride) * static_cast<size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(result.bits.data() + static_cast<size_t>(y) * result.stride, image.constScanLine(y), static_cast<size_t>(image.width()));
    for (const QRgb rgb : image.colorTable())
        result.palette.push_back(RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)));
    if (result.palette.empty()) {
        for (int i = 0; i < 256; ++i)
            result.palette.push_back(RGB(i, i, i));
    }
    return result;
}

CClipboardImage fromColour(const QImage& image)
{
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    CClipboardImage result;
    result.width = bgr.width();
    result.height = bgr.height();
    result.bitsPerPixel = 24;
    result.stride = alignedStride(bgr.width(), 3);
    result.bits.resize(static_cast<size_t>(result.stride) * static_cast<size_t>(bgr.height()));
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(result.bits.data() + static_cast<size_t>(y) * result.stride, bgr.constScanLine(y), static_cast<size_t>(bgr.width()) * 3);
    return result;
}

} // namespace

namespace kestrun {

BOOL SetClipboardText(const CString& text)
{
    QClipboard* board = clipboard();
    if (board == nullptr)
        return FALSE;
    board->setText(QString::fromUtf8(text.GetString(), text.GetLength()));
    return TRUE;
}

CString GetClipboardText()
{
    const QClipboard* board = clipboard();
    if (board == nullptr)
        return {};
    return CString(board->text().toStdString());
}

BOOL ClipboardHasText()
{
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    return data != nullptr && data->hasText() ? TRUE : FALSE;
}

BOOL SetClipboardImage(int width, int height, const void* bits, int stride, int bitsPerPixel, std::span<const COLORREF> palette)
{
    const QImage image = toImage(width, height, bits, stride, bitsPerPixel, palette);
    QClipboard* board = clipboard();
    if (board == nullptr)
        return FALSE;
    board->setImage(image);
    return TRUE;
}

std::optional<CClipboardImage> GetClipboardImage()
{
    const QClipboard* board = clipboard();
    if (board == nullptr)
        return std::nullopt;
    const QImage image = board->image();
    if (image.isNull())
        return std::nullopt;
    switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8: // no colour table: read as grey levels
        return fromIndexed(image);
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return fromIndexed(image.convertToFormat(QImage::Format_Indexed8));
    default:
        return fromColour(image);
    }
}

BOOL ClipboardHasImage()
{
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    return data != nullptr && data->hasImage() ? TRUE : FALSE;
}

BOOL EmptyClipboard()
{
    QClipboard* board = clipboard();
    if (board == nullptr)
        return FALSE;
    board->clear();
    return TRUE;
}

} // namespace kestrun
