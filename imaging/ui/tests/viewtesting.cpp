#include "imaging/ui/tests/viewtesting.h"

#include "analysis/aoi.h"
#include "analysis/segthres.h"

#include "platform/core/messages.h"
#include "platform/core/resources.h"
#include "platform/ui/frame.h"

#include <QWidget>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdlib>

namespace kestrun::testing {

IMPLEMENT_DYNCREATE(CHitRecordingView, CView)

LRESULT CHitRecordingView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RegisterWindowMessage("HIT_OBJECT"))
        m_hits.emplace_back(wParam, lParam);
    return CView::WindowProc(message, wParam, lParam);
}

LRESULT CViewTestMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RegisterWindowMessage("DELETE_DOCUMENT")) {
        SendMessageToDescendants(message, wParam, lParam);
        return 0;
    }
    if (message == WM_USER + 5)
        m_goneViews.push_back(lParam);
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

int CViewTestMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const UINT indicators[] = {ID_SEPARATOR};
    if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 1))
        return -1;
    return 0;
}

void CImageViewTest::SetUp()
{
    m_folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_app.SetProfileName(PathOf("kestrun32.ini"));

    AfxRegisterString(IDR_VIEW_TEST_MAIN, "Image View Test");
    AfxRegisterString(IDR_VIEW_TEST_IMAGE, "\n\nDIBDocEx Document\nImage Files\n.bmp;.jpg;.tif;.png\nDIBDocEx.Document\n"
                                           "DIBDocEx Document");
    AfxRegisterString(IDR_VIEW_TEST_TABLE, "\nData\nDocument\nData Files (*.xml)\n.xml\n\n");
    m_main = new CViewTestMainFrame;
    ASSERT_TRUE(m_main->LoadFrame(IDR_VIEW_TEST_MAIN));
    m_app.m_pMainWnd = m_main;
    m_main->MoveWindow(0, 0, 1000, 800);
    m_main->ShowWindow(SW_SHOW);
    m_imageTemplate = new CDIBMultiDocTemplate(IDR_VIEW_TEST_IMAGE, RUNTIME_CLASS(CDIBDoc), RUNTIME_CLASS(CMDIChildWnd),
                                               RUNTIME_CLASS(CDIBVwEx));
    m_app.AddDocTemplate(m_imageTemplate);
    m_templates.SetTemplate(CSRC::kObjTemplate,
                            new CMultiDocTemplate(IDR_VIEW_TEST_TABLE, RUNTIME_CLASS(CObjDataDoc),
                                                  RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CHitRecordingView)));
    m_engine.GetSettings().m_SegThres = CSegThres(RGB(80, 80, 80), RGB(240, 240, 240), CSegThres::modeDark);
    m_services.m_pEngine = &m_engine;
    m_services.m_pTemplates = &m_templates;
    m_services.m_pCalibration = &m_calibration;
    m_services.m_pImageTemplate = m_imageTemplate;

    m_doc = OpenPlate();
    ASSERT_NE(m_doc, nullptr);
    m_view = ViewOf(m_doc);
    ASSERT_NE(m_view, nullptr);
}

void CImageViewTest::TearDown()
{
    if (m_app.m_pMainWnd)
        m_app.m_pMainWnd->DestroyWindow();
    PumpMessages();
}

CString CImageViewTest::PathOf(const char* name) const
{
    return (m_folder / name).c_str();
}

CString CImageViewTest::WritePlate(unsigned seed)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(kPlateWidth, kPlateHeight, 24));
    cv::Mat pixels = page.GetMat();
    pixels.setTo(cv::Scalar(205, 215, 200));
    cv::RNG rng(seed);
    m_colonies.clear();
    while (static_cast<int>(m_colonies.size()) < kColonies) {
        const bool large = m_colonies.size() % 2 == 0;
        sColony colony;
        colony.radius = large ? 9 : 6;
        colony.colour = large ? RGB(70, 35, 20) : RGB(20, 30, 75);
        const int margin = colony.radius + 4;
        colony.centre = CPoint(rng.uniform(margin, kPlateWidth - margin), rng.uniform(margin, kPlateHeight - margin));
        bool apart = true;
        for (const sColony& other : m_colonies) {
            const double d = std::hypot(colony.centre.x - other.centre.x, colony.centre.y - other.centre.y);
            apart = apart && d > colony.radius + other.radius + 6;
        }
        if (!apart)
            continue;
        cv::circle(pixels, cv::Point(colony.centre.x, colony.centre.y), colony.radius,
                   cv::Scalar(GetBValue(colony.colour), GetGValue(colony.colour), GetRValue(colony.colour)), cv::FILLED,
                   cv::LINE_8);
        m_colonies.push_back(colony);
    }
    const CString path = PathOf("plate.png");
    EXPECT_TRUE(page.Write(path)) << page.GetLastError().GetString();
    return path;
}

CDIBDoc* CImageViewTest::OpenPlate(CSize frameSize)
{
    const CString path = WritePlate(18);
    auto* doc = dynamic_cast<CDIBDoc*>(m_imageTemplate->OpenDocumentFile(path));
    if (doc == nullptr)
        return nullptr;
    SetFrameSize(ViewOf(doc), frameSize);
    return doc;
}

CObjDataDoc* CImageViewTest::CountPlate(CDIBDoc* doc)
{
    auto* table = dynamic_cast<CObjDataDoc*>(m_templates.GetTemplate(CSRC::kObjTemplate)->OpenDocumentFile(nullptr));
    if (table == nullptr)
        return nullptr;
    doc->SetResultDoc(table);
    CDIB* page = doc->GetActiveDIB();
    CAOI2 whole(CRect(0, 0, page->GetWidth(), page->GetHeight()));
    m_engine.Analyse(page, &whole, table, 0);
    doc->UpdateImageViews();
    return table;
}

CDIBVwEx* CImageViewTest::ViewOf(CDIBDoc* doc)
{
    return doc && !doc->Views().empty() ? dynamic_cast<CDIBVwEx*>(doc->Views().front()) : nullptr;
}

CHitRecordingView* CImageViewTest::TableViewOf(CObjDataDoc* table)
{
    return table && !table->Views().empty() ? dynamic_cast<CHitRecordingView*>(table->Views().front()) : nullptr;
}

void CImageViewTest::Render(CDIBVwEx* view, CRecordingDC& dc)
{
    CRect client;
    view->GetClientRect(&client);
    dc.SetDeviceSize(std::max<int>(client.Width(), 1), std::max<int>(client.Height(), 1));
    view->OnPrepareDC(&dc);
    view->OnDraw(&dc);
}

QImage CImageViewTest::Shot(CDIBVwEx* view)
{
    return view->GetClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void CImageViewTest::SetFrameSize(CDIBVwEx* view, CSize size)
{
    if (view == nullptr)
        return;
    if (CFrameWnd* frame = view->GetParentFrame())
        frame->MoveWindow(0, 0, size.cx, size.cy);
    view->GetDocument()->UpdateAllViews(nullptr);
}

} // namespace kestrun::testing
