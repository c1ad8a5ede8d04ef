#include "platform/ui/qtdc.h"

#include "platform/core/exceptions.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

IMPLEMENT_DYNAMIC(CQtDC, CDC)

namespace {

constexpr COLORREF kRgbMask = 0x00FFFFFF;

QColor toQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

COLORREF toColorRef(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

// The result of a raster operation per bit: the code less one is a truth
// table indexed by (pen bit * 2 + screen bit).
COLORREF combine(int rop, COLORREF pen, COLORREF screen)
{
    const unsigned table = static_cast<unsigned>(rop - 1);
    const COLORREF inputs[4] = {~pen & ~screen, ~pen & screen, pen & ~screen, pen & screen};
    COLORREF result = 0;
    for (unsigned i = 0; i < 4; ++i) {
        if (table & (1u << i))
            result |= inputs[i];
    }
    return result & kRgbMask;
}

// The composition that does an operation which reads the screen; Source
// for those that do not.
QPainter::CompositionMode ropComposition(int rop)
{
    switch (rop) {
    case R2_NOTMERGEPEN:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN:
        return QPainter::RasterOp_NotSourceAndDestination;
    case R2_MASKPENNOT:
        return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN:
        return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN:
        return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT:
        return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

bool readsScreen(int rop)
{
    return rop != R2_BLACK && rop != R2_NOTCOPYPEN && rop != R2_COPYPEN && rop != R2_WHITE && rop != R2_NOP;
}

// The dash patterns of one-pixel pens, in pixels.
QList<qreal> dashPattern(UINT style)
{
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

// The pixels of a line from one point to another, without the last.
QPolygon linePixels(CPoint from, CPoint to)
{
    QPolygon pixels;
    int x = from.x;
    int y = from.y;
    const int dx = std::abs(to.x - x);
    const int dy = -std::abs(to.y - y);
    const int sx = x < to.x ? 1 : -1;
    const int sy = y < to.y ? 1 : -1;
    int error = dx + dy;
    pixels.reserve(std::max(dx, -dy));
    while (x != to.x || y != to.y) {
        pixels.append(QPoint(x, y));
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
    return pixels;
}

// The pixels linePixels gives for a horizontal or vertical segment, as a
// rectangle (the end left out); empty for any other segment.
QRect straightRun(CPoint from, CPoint to)
{
    if (from.x == to.x && from.y != to.y)
        return from.y < to.y ? QRect(from.x, from.y, 1, to.y - from.y) : QRect(from.x, to.y + 1, 1, from.y - to.y);
    if (from.y == to.y && from.x != to.x)
        return from.x < to.x ? QRect(from.x, from.y, to.x - from.x, 1) : QRect(to.x + 1, from.y, from.x - to.x, 1);
    return {};
}

// Whether a step along a dashed line falls on a dash.
bool dashOn(const std::vector<qreal>& dashes, int step)
{
    bool on = true;
    for (const qreal length : dashes) {
        if (step < length)
            return on;
        step -= static_cast<int>(length);
        on = !on;
    }
    return on;
}

Qt::BrushStyle hatchStyle(ULONG hatch)
{
    switch (hatch) {
    case HS_HORIZONTAL:
        return Qt::HorPattern;
    case HS_VERTICAL:
        return Qt::VerPattern;
    case HS_FDIAGONAL:
        return Qt::FDiagPattern;
    case HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case HS_CROSS:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

QString toQString(const CString& text) { return QString::fromUtf8(text.GetString(), text.GetLength()); }

// Windows line ends become plain breaks; a lone '\r' would show as a glyph.
QString drawableText(const CString& text)
{
    QString result = toQString(text);
    result.remove(QLatin1Char('\r'));
    return result;
}

QRect toQRect(const CRect& rect) { return QRect(rect.left, rect.top, rect.Width(), rect.Height()); }

QStringList fallbackFamilies(const QString& face, BYTE pitchAndFamily)
{
    static const QStringList sans = {"Liberation Sans", "DejaVu Sans"};
    static const QStringList mono = {"Liberation Mono", "DejaVu Sans Mono"};
    static const QStringList serif = {"Liberation Serif", "DejaVu Serif"};
    static const std::array<std::pair<const char*, const QStringList*>, 18> known = {{
        {"ms sans serif", &sans},  {"microsoft sans serif", &sans}, {"ms shell dlg", &sans},
        {"ms shell dlg 2", &sans}, {"system", &sans},               {"arial", &sans},
        {"helvetica", &sans},      {"tahoma", &sans},               {"verdana", &sans},
        {"segoe ui", &sans},       {"courier new", &mono},          {"courier", &mono},
        {"fixedsys", &mono},       {"terminal", &mono},             {"lucida console", &mono},
        {"times new roman", &serif}, {"times", &serif},             {"ms serif", &serif},
    }};
    const QString key = face.trimmed().toLower();
    for (const auto& [name, families] : known) {
        if (key == QLatin1String(name))
            return *families;
    }
    const int family = pitchAndFamily & 0xF0;
    if ((pitchAndFamily & 0x03) == FIXED_PITCH || family == FF_MODERN)
        return mono;
    if (family == FF_ROMAN)
        return serif;
    return sans;
}

QFont::StyleHint styleHint(BYTE pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return QFont::Serif;
    case FF_MODERN:
        return QFont::Monospace;
    case FF_SCRIPT:
        return QFont::Cursive;
    case FF_DECORATIVE:
        return QFont::Decorative;
    default:
        return (pitchAndFamily & 0x03) == FIXED_PITCH ? QFont::Monospace : QFont::SansSerif;
    }
}

// The cell height of a font whose lfHeight is 0.
constexpr int kDefaultCellHeight = 16;

} // namespace

namespace kestrun {

QFont QtFont(const LOGFONT& log, int deviceHeight)
{
    const QString face = QString::fromUtf8(log.lfFaceName, static_cast<int>(::strnlen(log.lfFaceName, LF_FACESIZE)));
    QStringList families = fallbackFamilies(face, log.lfPitchAndFamily);
    if (!face.isEmpty() && !families.contains(face, Qt::CaseInsensitive))
        families.prepend(face);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(styleHint(log.lfPitchAndFamily));
    font.setFixedPitch(styleHint(log.lfPitchAndFamily) == QFont::Monospace);
    font.setWeight(log.lfWeight <= 0 ? QFont::Normal : static_cast<QFont::Weight>(std::clamp<LONG>(log.lfWeight, 1, 1000)));
    font.setItalic(log.lfItalic != 0);
    font.setUnderline(log.lfUnderline != 0);
    font.setStrikeOut(log.lfStrikeOut != 0);
    if (log.lfQuality == NONANTIALIASED_QUALITY)
        font.setStyleStrategy(QFont::NoAntialias);

    if (deviceHeight < 0) {
        font.setPixelSize(std::max(1, -deviceHeight));
    } else {
        // A cell height: scale the character size by the face's cell ratio.
        const int cell = deviceHeight == 0 ? kDefaultCellHeight : deviceHeight;
        constexpr int probe = 100;
        font.setPixelSize(probe);
        const qreal probeCell = QFontMetricsF(font).height();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * probe / std::max<qreal>(probeCell, 1)))));
    }
    return font;
}

} // namespace kestrun

CQtDC::CQtDC(QImage& image) : m_ownPainter(std::make_unique<QPainter>(&image)), m_painter(m_ownPainter.get())
{
    Init();
}

CQtDC::CQtDC(QPainter& painter) : m_painter(&painter)
{
    if (!painter.isActive())
        AfxThrowInvalidArgException();
    m_painter->save();
    Init();
}

CQtDC::~CQtDC()
{
    if (m_ownPainter)
        End();
    else
        m_painter->restore();
}

void CQtDC::Init()
{
    if (!m_painter->isActive())
        AfxThrowInvalidArgException(); // an image without pixels
    QPaintDevice* device = m_painter->device();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_device.width = device->width();
    m_device.height = device->height();
    m_device.dpiX = device->logicalDpiX();
    m_device.dpiY = device->logicalDpiY();
    m_device.bitsPerPixel = device->depth();
    const bool printer = device->devType() == QInternal::Printer;
    m_device.technology = printer ? DT_RASPRINTER : DT_RASDISPLAY;
    m_bPrinting = printer ? TRUE : FALSE;
    if (device->devType() == QInternal::Image)
        m_image = static_cast<QImage*>(device);
    const QPaintEngine* engine = m_painter->paintEngine();
    m_rasterOps = engine != nullptr && engine->type() == QPaintEngine::Raster;
}

void CQtDC::End()
{
    if (m_ownPainter && m_ownPainter->isActive())
        m_ownPainter->end();
}

// ---------------------------------------------------------------- pens and brushes

QColor CQtDC::RopColor(COLORREF color) const
{
    const int rop = GetROP2();
    if (m_rasterOps && readsScreen(rop))
        return toQColor(color);
    // The pen's own colour after the operation; without a screen to read,
    // the screen is taken as white paper.
    return toQColor(combine(rop, color & kRgbMask, kRgbMask));
}

QPen CQtDC::MakePen() const
{
    const LOGPEN& log = GetCurrentLogPen();
    if (log.lopnStyle == PS_NULL)
        return QPen(Qt::NoPen);
    QPen pen(RopColor(log.lopnColor));
    const int width = GetDevicePenWidth();
    if (width <= 1) {
        // One pixel, without the last point of a line.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        if (const QList<qreal> dashes = dashPattern(log.lopnStyle); !dashes.isEmpty())
            pen.setDashPattern(dashes);
    } else {
        // Wide pens are solid with round ends.
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

QBrush CQtDC::MakeBrush(const LOGBRUSH& brush, const QColor& color) const
{
    switch (brush.lbStyle) {
    case BS_SOLID:
        return QBrush(color);
    case BS_HATCHED:
        return QBrush(color, hatchStyle(brush.lbHatch));
    default:
        return QBrush(Qt::NoBrush);
    }
}

bool CQtDC::PrepareShape(bool withBrush)
{
    const int rop = GetROP2();
    if (rop == R2_NOP)
        return false;
    m_painter->setCompositionMode(m_rasterOps ? ropComposition(rop) : QPainter::CompositionMode_SourceOver);
    m_painter->setPen(MakePen());
    const LOGBRUSH& brush = GetCurrentLogBrush();
    m_painter->setBrush(withBrush ? MakeBrush(brush, RopColor(brush.lbColor)) : QBrush(Qt::NoBrush));
    return true;
}

void CQtDC::FillBackground(const QRect& rect)
{
    if (GetBkMode() == OPAQUE && !rect.isEmpty())
        m_painter->fillRect(rect, toQColor(GetBkColor()));
}

// ---------------------------------------------------------------- lines and shapes

void CQtDC::DeviceLine(const CDrawCall&, CPoint from, CPoint to)
{
    const CPoint path[] = {from, to};
    StrokePath(path);
}

void CQtDC::DevicePolyline(const CDrawCall&, std::span<const CPoint> points) { StrokePath(points); }

// One-pixel lines are laid pixel by pixel, so that each segment leaves out
// its own last pixel whichever way it runs, and dashes show the background
// in their gaps when the mode is opaque.
void CQtDC::StrokePath(std::span<const CPoint> points)
{
    if (points.size() < 2 || !PrepareShape(false))
        return;
    const QPen pen = m_painter->pen();
    if (pen.style() == Qt::NoPen)
        return;
    if (pen.width() > 1) {
        QPolygon polygon;
        for (const CPoint& p : points)
            polygon.append(QPoint(p.x, p.y));
        m_painter->drawPolyline(polygon);
        return;
    }
    const std::vector<qreal> dashes = [&] {
        const QList<qreal> pattern = dashPattern(GetCurrentLogPen().lopnStyle);
        return std::vector<qreal>(pattern.begin(), pattern.end());
    }();
    const int period = static_cast<int>(std::accumulate(dashes.begin(), dashes.end(), qreal(0)));
    QPen dot(pen.color(), 0);
    dot.setCapStyle(Qt::SquareCap);
    // A solid line's straight runs (a chart's columns) are filled as
    // rectangles of the same pixels: far fewer calls than one point each.
    const bool runsAsRects = period == 0 && m_painter->transform().type() == QTransform::TxNone;
    QPolygon on;
    QPolygon off;
    int step = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        if (runsAsRects) {
            if (const QRect run = straightRun(points[i - 1], points[i]); !run.isEmpty()) {
                m_painter->fillRect(run, dot.color());
                continue;
            }
        }
        for (const QPoint& p : linePixels(points[i - 1], points[i])) {
            if (period == 0 || dashOn(dashes, step++ % period))
                on.append(p);
            else
                off.append(p);
        }
    }
    m_painter->setPen(dot);
    m_painter->drawPoints(on);
    if (GetBkMode() == OPAQUE && !off.isEmpty()) {
        dot.setColor(RopColor(GetBkColor()));
        m_painter->setPen(dot);
        m_painter->drawPoints(off);
    }
}

void CQtDC::DevicePolygon(const CDrawCall&, std::span<const CPoint> points)
{
    if (!PrepareShape(true))
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const CPoint& p : points)
        polygon.append(QPoint(p.x, p.y));
    const Qt::FillRule rule = GetPolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    QPainterPath area;
    area.addPolygon(polygon);
    area.setFillRule(rule);
    FillHatchBackground(area);
    m_painter->drawPolygon(polygon, rule);
}

void CQtDC::DeviceRectangle(const CDrawCall&, const CRect& rect)
{
    if (rect.Width() < 2 || rect.Height() < 2 || !PrepareShape(true))
        return;
    // The outline runs on the rectangle's last column and row; without a pen
    // the fill ends one pixel earlier.
    const QRect outline(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
    const QPen pen = m_painter->pen();
    const QBrush brush = m_painter->brush();
    auto fill = [&](const QRect& area) {
        QPainterPath path;
        path.addRect(area);
        FillHatchBackground(path);
        m_painter->fillRect(area, brush);
    };
    if (pen.style() == Qt::NoPen) {
        fill(outline);
        return;
    }
    if (pen.width() <= 1) {
        // Fill and outline apart, so that no pixel is combined twice.
        fill(outline.adjusted(1, 1, 0, 0));
        const CPoint frame[] = {{rect.left, rect.top},
                                {rect.right - 1, rect.top},
                                {rect.right - 1, rect.bottom - 1},
                                {rect.left, rect.bottom - 1},
                                {rect.left, rect.top}};
        StrokePath(frame);
        return;
    }
    QRectF frame(outline);
    if (GetCurrentLogPen().lopnStyle == PS_INSIDEFRAME) {
        const qreal inset = pen.width() / 2.0;
        frame.adjust(inset, inset, -inset, -inset);
    }
    QPainterPath path;
    path.addRect(frame);
    FillHatchBackground(path);
    m_painter->drawRect(frame);
}

void CQtDC::DeviceEllipse(const CDrawCall&, const CRect& rect)
{
    if (rect.Width() < 2 || rect.Height() < 2 || !PrepareShape(true))
        return;
    QRectF frame(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
    const QPen pen = m_painter->pen();
    if (pen.width() > 1 && GetCurrentLogPen().lopnStyle == PS_INSIDEFRAME) {
        const qreal inset = pen.width() / 2.0;
        frame.adjust(inset, inset, -inset, -inset);
    }
    QPainterPath path;
    path.addEllipse(frame);
    FillHatchBackground(path);
    m_painter->drawEllipse(frame);
}

// A hatched brush shows the background colour between its lines while the
// mode is opaque.
void CQtDC::FillHatchBackground(const QPainterPath& area)
{
    if (GetCurrentLogBrush().lbStyle == BS_HATCHED && GetBkMode() == OPAQUE)
        m_painter->fillPath(area, RopColor(GetBkColor()));
}

void CQtDC::DeviceFillRect(const CDrawCall&, const CRect& rect, const LOGBRUSH& brush)
{
    if (rect.IsRectEmpty() || brush.lbStyle == BS_NULL)
        return;
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRect area = toQRect(rect);
    if (brush.lbStyle == BS_HATCHED)
        FillBackground(area);
    m_painter->fillRect(area, MakeBrush(brush, toQColor(brush.lbColor)));
}

void CQtDC::DeviceInvertRect(const CDrawCall&, const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    if (m_rasterOps) {
        m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter->fillRect(toQRect(rect), Qt::black);
    } else {
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_painter->fillRect(toQRect(rect), Qt::black);
    }
}

// ---------------------------------------------------------------- pixels

bool CQtDC::ImagePoint(CPoint point, int& x, int& y) const
{
    if (m_image == nullptr)
        return false;
    const QPoint mapped = m_painter->isActive() ? m_painter->deviceTransform().map(QPoint(point.x, point.y))
                                                : QPoint(point.x, point.y);
    x = mapped.x();
    y = mapped.y();
    return m_image->valid(x, y);
}

COLORREF CQtDC::DeviceSetPixel(const CDrawCall&, CPoint point, COLORREF color)
{
    int x = 0;
    int y = 0;
    if (m_image != nullptr ? !ImagePoint(point, x, y)
                           : point.x < 0 || point.y < 0 || point.x >= m_device.width || point.y >= m_device.height)
        return CLR_INVALID;
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->fillRect(QRect(point.x, point.y, 1, 1), toQColor(color));
    if (m_image != nullptr)
        return toColorRef(m_image->pixel(x, y));
    return color & kRgbMask;
}

COLORREF CQtDC::DeviceGetPixel(CPoint point) const
{
    int x = 0;
    int y = 0;
    if (!ImagePoint(point, x, y))
        return CLR_INVALID;
    return toColorRef(m_image->pixel(x, y));
}

// ---------------------------------------------------------------- text

QFont CQtDC::CurrentFont() const
{
    const LOGFONT& log = GetCurrentLogFont();
    QFont font = kestrun::QtFont(log, GetDeviceFontHeight());
    if (log.lfWidth != 0) {
        // A given average character width stretches the face.
        SIZE width{log.lfWidth, 0};
        LPtoDP(&width);
        const int natural = QFontMetrics(font, m_painter->device()).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(static_cast<int>(std::abs(width.cx) * 100 / natural), 1, 4000));
    }
    return font;
}

void CQtDC::DeviceTextOut(const CDrawCall&, CPoint point, const CString& text)
{
    const QFont font = CurrentFont();
    const QFontMetrics metrics(font, m_painter->device());
    const QString string = toQString(text);
    const int width = metrics.horizontalAdvance(string);

    const UINT align = GetTextAlign();
    int dx = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if ((align & TA_CENTER) == TA_RIGHT)
        dx = -width;
    int top = 0;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = -metrics.ascent();
    else if ((align & TA_BASELINE) == TA_BOTTOM)
        top = -metrics.height();

    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->translate(point.x, point.y);
    if (const LONG escapement = GetCurrentLogFont().lfEscapement; escapement != 0)
        m_painter->rotate(-escapement / 10.0);
    FillBackground(QRect(dx, top, width, metrics.height()));
    m_painter->setFont(font);
    m_painter->setPen(toQColor(GetTextColor()));
    m_painter->drawText(QPoint(dx, top + metrics.ascent()), string);
    m_painter->restore();
}

void CQtDC::DeviceDrawText(const CDrawCall&, const CString& text, const CRect& rect, UINT format)
{
    const QFont font = CurrentFont();
    const QFontMetrics metrics(font, m_painter->device());
    const QRect area = toQRect(rect);

    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    // Vertical placement only holds for one line.
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        flags |= Qt::AlignVCenter;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP)
        flags |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX))
        flags |= (format & DT_HIDEPREFIX) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;

    QString string = drawableText(text);
    const bool elide = (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && !(format & DT_WORDBREAK);
    if (elide) {
        const Qt::TextElideMode mode = (format & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
        QStringList lines = string.split(QLatin1Char('\n'));
        for (QString& line : lines)
            line = metrics.elidedText(line, mode, area.width(), flags);
        string = lines.join(QLatin1Char('\n'));
    }

    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setFont(font);
    if (GetBkMode() == OPAQUE) {
        QRect bounds = m_painter->boundingRect(area, flags, string);
        if (!(format & DT_NOCLIP))
            bounds &= area;
        FillBackground(bounds);
    }
    m_painter->setPen(toQColor(GetTextColor()));
    m_painter->drawText(area, flags, string);
    m_painter->restore();
}

CSize CQtDC::DeviceTextExtent(const CString& text) const
{
    const QFontMetrics metrics(CurrentFont(), m_painter->device());
    return CSize(metrics.horizontalAdvance(toQString(text)), metrics.height());
}

// ---------------------------------------------------------------- pixel blocks

void CQtDC::DeviceStretchDIBits(const CDrawCall&, const CRect& dest, const CPixelBlock& block)
{
    // A view of the caller's pixels, valid for this call only.
    QImage image;
    if (block.bitsPerPixel == 8) {
        image = QImage(block.bits, block.width, block.height, block.stride, QImage::Format_Indexed8);
        QList<QRgb> table(256, qRgb(0, 0, 0));
        for (size_t i = 0; i < block.palette.size() && i < 256; ++i)
            table[static_cast<qsizetype>(i)] = qRgb(GetRValue(block.palette[i]), GetGValue(block.palette[i]), GetBValue(block.palette[i]));
        image.setColorTable(table);
    } else {
        image = QImage(block.bits, block.width, block.height, block.stride, QImage::Format_BGR888);
    }
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->translate(dest.left, dest.top);
    m_painter->scale(static_cast<qreal>(dest.right - dest.left) / block.width,
                     static_cast<qreal>(dest.bottom - dest.top) / block.height);
    m_painter->drawImage(QPoint(0, 0), image);
    m_painter->restore();
}
