#include "platform/ui/qtdc_overlay.h"

#include <QBackingStore>
#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

IMPLEMENT_DYNAMIC(COverlayDC, CQtDC)

namespace {

constexpr QRgb kClear = 0;

// Whether a painter on the widget draws to the screen's backing store, as
// opposed to a rendering of the widget into some other device.
bool paintsOnScreen(const QWidget& widget, QPainter& painter)
{
    QBackingStore* store = widget.window()->backingStore();
    const QPaintEngine* engine = painter.paintEngine();
    return store == nullptr || engine == nullptr || engine->paintDevice() == store->paintDevice();
}

} // namespace

CWidgetOverlay::CWidgetOverlay(QWidget& widget)
    : QObject(&widget), m_widget(widget), m_content(std::make_unique<QImage>()), m_overlay(std::make_unique<QImage>())
{
    widget.installEventFilter(this);
}

CWidgetOverlay::~CWidgetOverlay() = default;

CWidgetOverlay& CWidgetOverlay::Of(QWidget& widget)
{
    if (auto* existing = widget.findChild<CWidgetOverlay*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new CWidgetOverlay(widget); // owned by the widget as its child
}

const QImage& CWidgetOverlay::Image() const { return *m_overlay; }

const QImage& CWidgetOverlay::Content()
{
    const QSize size = m_widget.size();
    if (m_contentValid && m_content->size() == size)
        return *m_content;
    *m_content = QImage(size, QImage::Format_RGB32);
    // The widget's resolution, so that point sizes come out as on screen.
    m_content->setDotsPerMeterX(qRound(m_widget.logicalDpiX() / 0.0254));
    m_content->setDotsPerMeterY(qRound(m_widget.logicalDpiY() / 0.0254));
    m_content->fill(Qt::white);
    m_rendering = true;
    m_widget.render(m_content.get(), QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    m_rendering = false;
    m_contentValid = true;
    if (m_overlay->size() != size) {
        *m_overlay = QImage(size, QImage::Format_ARGB32);
        m_overlay->fill(kClear);
    }
    return *m_content;
}

QImage CWidgetOverlay::Composite()
{
    QImage composite = Content().copy();
    QPainter painter(&composite);
    painter.drawImage(0, 0, *m_overlay);
    return composite;
}

void CWidgetOverlay::Clear()
{
    if (m_overlay->isNull())
        return;
    m_overlay->fill(kClear);
    m_widget.update();
}

void CWidgetOverlay::Commit(const QImage& composite)
{
    const QImage& content = Content();
    if (composite.size() != content.size())
        return;
    int left = composite.width();
    int top = composite.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < composite.height(); ++y) {
        const auto* drawn = reinterpret_cast<const QRgb*>(composite.constScanLine(y));
        const auto* own = reinterpret_cast<const QRgb*>(content.constScanLine(y));
        auto* overlay = reinterpret_cast<QRgb*>(m_overlay->scanLine(y));
        for (int x = 0; x < composite.width(); ++x) {
            const QRgb value = (drawn[x] | 0xFF000000) == (own[x] | 0xFF000000) ? kClear : (drawn[x] | 0xFF000000);
            if (overlay[x] == value)
                continue;
            overlay[x] = value;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return;
    m_refreshing = true;
    m_widget.repaint(QRect(left, top, right - left + 1, bottom - top + 1));
    m_refreshing = false;
}

bool CWidgetOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_widget || event->type() != QEvent::Paint || m_rendering)
        return false;
    PaintOver(watched, event);
    return true;
}

// The widget paints itself first; the overlay goes over it.
void CWidgetOverlay::PaintOver(QObject* widget, QEvent* event)
{
    widget->event(event);
    QPainter painter(&m_widget);
    if (paintsOnScreen(m_widget, painter) && !m_refreshing) {
        // The widget's own content changed there: what was drawn over it goes.
        m_contentValid = false;
        if (!m_overlay->isNull()) {
            QPainter eraser(m_overlay.get());
            eraser.setCompositionMode(QPainter::CompositionMode_Clear);
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                eraser.fillRect(rect, Qt::transparent);
        }
    }
    if (!m_overlay->isNull())
        painter.drawImage(0, 0, *m_overlay);
}

namespace kestrun::detail {

COverlaySurface::COverlaySurface(CWidgetOverlay& overlay) : m_surface(std::make_unique<QImage>(overlay.Composite())) {}

COverlaySurface::~COverlaySurface() = default;

} // namespace kestrun::detail

COverlayDC::COverlayDC(QWidget& widget)
    : COverlaySurface(CWidgetOverlay::Of(widget)), CQtDC(*m_surface), m_overlay(CWidgetOverlay::Of(widget))
{
}

COverlayDC::~COverlayDC()
{
    End();
    m_overlay.Commit(*m_surface);
}
