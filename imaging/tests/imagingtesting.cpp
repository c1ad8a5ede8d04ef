#include "imaging/tests/imagingtesting.h"

#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/resources.h"

#include <fstream>
#include <string>

namespace kestrun::testing {

IMPLEMENT_DYNCREATE(CCountingView, CView)
IMPLEMENT_DYNCREATE(CResultListDoc, CDocument)

int CResultListDoc::s_destroyed = 0;

CResultListDoc::~CResultListDoc()
{
    ++s_destroyed;
}

void CResultListDoc::AddObject(CBaseObj* pObj)
{
    m_records.emplace_back(pObj);
}

CBaseObj* CResultListDoc::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        AfxThrowInvalidArgException();
    return m_records[static_cast<size_t>(nIndex)].get();
}

BOOL CResultListDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    std::ifstream in(lpszPathName);
    if (!in)
        return FALSE;
    DeleteContents();
    for (std::string line; std::getline(in, line);) {
        auto record = std::make_unique<CBaseObj>();
        record->m_strClassName = line.c_str();
        m_records.push_back(std::move(record));
    }
    ++m_nLoads;
    SetModifiedFlag(FALSE);
    return TRUE;
}

LRESULT CTestMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RegisterWindowMessage("DELETE_DOCUMENT"))
        m_deletedDocuments.push_back(lParam);
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

int CTestMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const UINT indicators[] = {ID_SEPARATOR};
    if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 1))
        return -1;
    return 0;
}

void CImagingTest::SetUp()
{
    m_folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_app.SetProfileName(PathOf("kestrun32.ini"));

    AfxRegisterString(IDR_TEST_MAIN, "Imaging Test");
    AfxRegisterString(IDR_TEST_IMAGE, "\n\nDIBDocEx Document\nImage Files\n.bmp;.jpg;.jp2;.tif;.png;.pga;.pcx;.wmf;.jbg;"
                                      ".pgx\nDIBDocEx.Document\nDIBDocEx Document");
    AfxRegisterString(IDR_TEST_TABLE, "\nData\nDocument\nData Files (*.xml)\n.xml\n\n");
    m_main = new CTestMainFrame;
    ASSERT_TRUE(m_main->LoadFrame(IDR_TEST_MAIN));
    m_app.m_pMainWnd = m_main;
    m_main->ShowWindow(SW_SHOW);
    m_imageTemplate = new CDIBMultiDocTemplate(IDR_TEST_IMAGE, RUNTIME_CLASS(CDIBDoc), RUNTIME_CLASS(CMDIChildWnd),
                                               RUNTIME_CLASS(CCountingView));
    m_app.AddDocTemplate(m_imageTemplate);
    m_templates.SetTemplate(CSRC::kObjTemplate, new CMultiDocTemplate(IDR_TEST_TABLE, RUNTIME_CLASS(CResultListDoc),
                                                                      RUNTIME_CLASS(CMDIChildWnd),
                                                                      RUNTIME_CLASS(CCountingView)));
    m_templates.SetTemplate(CSRC::kObjGridTemplate,
                            new CMultiDocTemplate(IDR_TEST_TABLE, RUNTIME_CLASS(CResultListDoc),
                                                  RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CCountingView)));
    m_services.m_pTemplates = &m_templates;
    m_services.m_pImageTemplate = m_imageTemplate;
    CResultListDoc::s_destroyed = 0;
}

void CImagingTest::TearDown()
{
    if (m_app.m_pMainWnd)
        m_app.m_pMainWnd->DestroyWindow();
    PumpMessages();
}

CString CImagingTest::PathOf(const char* name) const
{
    return (m_folder / name).c_str();
}

CString CImagingTest::WriteImage(const char* name, int width, int height, COLORREF colour)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(width, height, 24));
    EXPECT_TRUE(page.SetAllGray(colour));
    const CString path = PathOf(name);
    EXPECT_TRUE(page.Write(path)) << page.GetLastError().GetString();
    return path;
}

CDIBDoc* CImagingTest::NewImageDocument()
{
    return dynamic_cast<CDIBDoc*>(m_imageTemplate->OpenDocumentFile(nullptr));
}

CCountingView* CImagingTest::FirstView(CDocument* doc)
{
    return doc && !doc->Views().empty() ? dynamic_cast<CCountingView*>(doc->Views().front()) : nullptr;
}

} // namespace kestrun::testing
