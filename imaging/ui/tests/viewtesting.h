#pragma once
// What the image-view tests share: an MDI program whose image template
// shows CDIBVwEx, an object-table template whose window records the
// objects picked in the image, and a plate of coloured colonies drawn from
// a seed, counted by the engine into the table.

#include "imaging/ui/dibvwex.h"
#include "imaging/ui/dibviewcommands.h"

#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "imaging/src.h"

#include "analysis/bv.h"
#include "objectmodel/calibration.h"
#include "series/objdatadoc.h"

#include "platform/core/messages.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/mdi.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace kestrun::testing {

inline constexpr UINT IDR_VIEW_TEST_MAIN = 7420;
inline constexpr UINT IDR_VIEW_TEST_IMAGE = 7427;
inline constexpr UINT IDR_VIEW_TEST_TABLE = 7442;

// The window of an object table: keeps the objects the image views pick.
class CHitRecordingView : public CView
{
    DECLARE_DYNCREATE(CHitRecordingView)

public:
    void OnDraw(CDC*) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::vector<std::pair<WPARAM, LPARAM>> m_hits;
};

// The main window: a status bar, and "DELETE_DOCUMENT" passed on to every
// window below it, as the program's main window does.
class CViewTestMainFrame : public CMDIFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CStatusBar m_wndStatusBar;
    std::vector<LPARAM> m_goneViews; // WM_USER+5 of views going away

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
};

struct sColony
{
    CPoint centre;
    int radius = 0;
    COLORREF colour = 0;
};

class CImageViewTest : public ::testing::Test
{
protected:
    static constexpr int kPlateWidth = 320;
    static constexpr int kPlateHeight = 240;
    static constexpr int kColonies = 12;

    // Opens the plate in a view of 600 x 480 pixels: m_doc and m_view.
    void SetUp() override;
    void TearDown() override;

    CString PathOf(const char* name) const;
    // Colonies of two kinds (large brown, small blue) placed by the seed
    // without touching, written as a PNG file.
    CString WritePlate(unsigned seed);
    // The plate in a new image document; its view in a frame of the size.
    CDIBDoc* OpenPlate(CSize frameSize = CSize(600, 480));
    // A new object table bound to the document, filled by the engine over
    // the whole page.
    CObjDataDoc* CountPlate(CDIBDoc* doc);
    static CDIBVwEx* ViewOf(CDIBDoc* doc);
    static CHitRecordingView* TableViewOf(CObjDataDoc* table);
    // The view drawn into a recording context of its client size.
    static void Render(CDIBVwEx* view, CRecordingDC& dc);
    // The view as its window shows it.
    static QImage Shot(CDIBVwEx* view);
    // The view's frame takes the size; the view follows.
    static void SetFrameSize(CDIBVwEx* view, CSize size);
    // A button of a tool window, clicked; the reports it posts are handled.
    static void Press(CWnd& dialog, UINT id)
    {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        kestrun::PumpMessages();
    }
    // A left click on the image pixel, in the direct (1:1) view.
    void ClickAt(CPoint image)
    {
        if (m_view->m_bShrinkToFit)
            Command(ID_VIEW_DIRECT);
        const CPoint at = m_view->ImageToClient(image);
        m_view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        m_view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    // A menu command to the view, and whether the view enables it.
    void Command(UINT id) { m_view->SendMessage(WM_COMMAND, id, 0); }
    bool IsEnabled(UINT id)
    {
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(m_view, FALSE);
        return ui.m_bEnabled != FALSE;
    }

    ScopedMessageBoxes m_boxes;
    CFakeAppServices m_services;
    CWinApp m_app{"ImageViewTest"};
    CViewTestMainFrame* m_main = nullptr;
    CDIBMultiDocTemplate* m_imageTemplate = nullptr;
    CSRC m_templates;
    CBV m_engine;
    CCalibration m_calibration;
    std::vector<sColony> m_colonies;
    std::filesystem::path m_folder;
    CDIBDoc* m_doc = nullptr;
    CDIBVwEx* m_view = nullptr;
};

} // namespace kestrun::testing
