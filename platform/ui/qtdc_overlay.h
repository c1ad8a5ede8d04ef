#pragma once
// Drawing on a widget outside its paint event, as the interactive tools do
// (rubber bands, marker crosses, inverted frames, marks on live video). Qt
// paints a widget only in its paint event, so such drawing goes through an
// overlay of the widget: COverlayDC draws onto a copy of what the widget
// shows (its own content, rendered once per paint of it, with the overlay so
// far), so every raster operation combines with the real pixels; when the
// context ends, the pixels that now differ from the widget's own content
// become the overlay, an ARGB image painted over the widget after each of
// its paint events. A paint of the widget's own (an update, an expose)
// wipes the overlay in the region it repaints, as a repaint wipes what was
// drawn on a window.

#include "platform/ui/qtdc.h"

#include <QObject>

#include <memory>

class QWidget;

class CWidgetOverlay : public QObject
{
    Q_OBJECT

public:
    // The overlay of a widget, made on first use and owned by the widget.
    static CWidgetOverlay& Of(QWidget& widget);
    ~CWidgetOverlay() override;

    QWidget& Widget() const { return m_widget; }
    // What the overlay holds: transparent where the widget's content shows.
    const QImage& Image() const;
    // What the widget shows: its content with the overlay over it.
    QImage Composite();
    void Clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class COverlayDC;
    explicit CWidgetOverlay(QWidget& widget);
    const QImage& Content();
    // Keeps the pixels of the drawn composite that differ from the content
    // and repaints where the overlay changed.
    void Commit(const QImage& composite);
    void PaintOver(QObject* widget, QEvent* event);

    QWidget& m_widget;
    std::unique_ptr<QImage> m_content;
    std::unique_ptr<QImage> m_overlay;
    bool m_contentValid = false;
    bool m_rendering = false;
    bool m_refreshing = false;
};

namespace kestrun::detail {

// Holds the surface a COverlayDC draws on, so that it exists before the
// drawing context is made over it.
struct COverlaySurface
{
    explicit COverlaySurface(CWidgetOverlay& overlay);
    ~COverlaySurface();
    std::unique_ptr<QImage> m_surface;
};

} // namespace kestrun::detail

// A device context on a widget outside its paint event (the client context
// of a window); what it drew shows when it ends.
class COverlayDC : private kestrun::detail::COverlaySurface, public CQtDC
{
    DECLARE_DYNAMIC(COverlayDC)

public:
    explicit COverlayDC(QWidget& widget);
    ~COverlayDC() override;

private:
    CWidgetOverlay& m_overlay;
};
