#include "platform/ui/qtdc_overlay.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A widget with content of its own that counts its paints.
class CPaintedWidget : public QWidget
{
public:
    CPaintedWidget()
    {
        resize(80, 60);
        show();
        m_exposed = QTest::qWaitForWindowExposed(this);
    }
    bool m_exposed = false;
    int m_paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++m_paints;
        QPainter painter(this);
        painter.fillRect(rect(), QColor(40, 120, 200));
        painter.fillRect(10, 10, 30, 30, QColor(250, 250, 0));
    }
};

QImage content()
{
    QImage image(80, 60, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(40, 120, 200));
    painter.fillRect(10, 10, 30, 30, QColor(250, 250, 0));
    return image;
}

void drawCross(QWidget& widget)
{
    COverlayDC dc(widget);
    dc.SetROP2(R2_NOT);
    dc.MoveTo(20, 5);
    dc.LineTo(20, 50);
    dc.MoveTo(5, 20);
    dc.LineTo(60, 20);
}

bool isClear(const QImage& overlay)
{
    for (int y = 0; y < overlay.height(); ++y) {
        for (int x = 0; x < overlay.width(); ++x) {
            if (qAlpha(overlay.pixel(x, y)) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(COverlayDCTest, InvertsWhatTheWidgetShowsAndDrawnTwiceRemovesItself)
{
    CPaintedWidget widget;
    ASSERT_TRUE(widget.m_exposed);
    const QImage before = content();

    drawCross(widget);
    CWidgetOverlay& overlay = CWidgetOverlay::Of(widget);
    const QImage shown = overlay.Composite().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(20, 30), ~before.pixel(20, 30) | 0xFF000000);
    EXPECT_EQ(shown.pixel(30, 20), ~before.pixel(30, 20) | 0xFF000000);
    EXPECT_EQ(shown.pixel(30, 30), before.pixel(30, 30));
    // What a screenshot of the widget shows includes the overlay.
    EXPECT_EQ(widget.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(20, 30), shown.pixel(20, 30));

    drawCross(widget);
    EXPECT_TRUE(isClear(overlay.Image()));
    EXPECT_EQ(overlay.Composite().convertToFormat(QImage::Format_RGB32), before);
}

TEST(COverlayDCTest, AnOwnRepaintOfTheWidgetWipesTheOverlay)
{
    CPaintedWidget widget;
    ASSERT_TRUE(widget.m_exposed);
    drawCross(widget);
    CWidgetOverlay& overlay = CWidgetOverlay::Of(widget);
    ASSERT_FALSE(isClear(overlay.Image()));

    widget.repaint(QRect(0, 0, 80, 60));
    EXPECT_TRUE(isClear(overlay.Image()));
    EXPECT_EQ(overlay.Composite().convertToFormat(QImage::Format_RGB32), content());
}

TEST(COverlayDCTest, RendersTheWidgetContentOncePerPaint)
{
    CPaintedWidget widget;
    ASSERT_TRUE(widget.m_exposed);
    drawCross(widget);
    const int paints = widget.m_paints;
    // Drawing again reuses the rendered content: the only paints are the
    // repaints that show each change.
    drawCross(widget);
    drawCross(widget);
    EXPECT_EQ(widget.m_paints - paints, 2);
}
