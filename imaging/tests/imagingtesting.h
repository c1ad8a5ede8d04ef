#pragma once
// What the image-document tests share: an MDI program with the image
// template, a result-table document over an owning list, a view that
// counts its updates, and image files in a scratch folder.

#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "imaging/resulttable.h"
#include "imaging/src.h"

#include "objectmodel/baseobj.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/mdi.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace kestrun::testing {

inline constexpr UINT IDR_TEST_MAIN = 7320;
inline constexpr UINT IDR_TEST_IMAGE = 7327;
inline constexpr UINT IDR_TEST_TABLE = 7342;

// A view that counts the updates its document sends it.
class CCountingView : public CView
{
    DECLARE_DYNCREATE(CCountingView)

public:
    void OnDraw(CDC*) override {}
    int m_nUpdates = 0;

protected:
    void OnUpdate(CView*, LPARAM, CObject*) override { ++m_nUpdates; }
};

// An object table for the tests: an owning list of records, read from a
// text file with one class name a line.
class CResultListDoc : public CDocument, public CResultTable
{
    DECLARE_DYNCREATE(CResultListDoc)

public:
    ~CResultListDoc() override;

    void AddObject(CBaseObj* pObj) override;
    int GetCount() const override { return static_cast<int>(m_records.size()); }
    CBaseObj* GetAt(int nIndex) const override;
    void SetCurrentIndex(int nIndex) override { m_nCurrent = nIndex; }
    int GetCurrentIndex() const override { return m_nCurrent; }

    void DeleteContents() override { m_records.clear(); }
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;

    std::vector<std::unique_ptr<CBaseObj>> m_records;
    int m_nCurrent = -1;
    int m_nLoads = 0;
    static int s_destroyed;
};

// The main window: a status bar, and a record of the documents announced
// as going away.
class CTestMainFrame : public CMDIFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CStatusBar m_wndStatusBar;
    std::vector<LPARAM> m_deletedDocuments;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
};

class CImagingTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A 24-bit image of one colour, written as the file's extension says.
    CString WriteImage(const char* name, int width, int height, COLORREF colour);
    CString PathOf(const char* name) const;
    // A new image document in a child frame with a counting view.
    CDIBDoc* NewImageDocument();
    static CCountingView* FirstView(CDocument* doc);

    ScopedMessageBoxes m_boxes;
    CFakeAppServices m_services;
    CWinApp m_app{"ImagingTest"};
    CTestMainFrame* m_main = nullptr;
    CDIBMultiDocTemplate* m_imageTemplate = nullptr;
    CSRC m_templates;
    std::filesystem::path m_folder;
};

} // namespace kestrun::testing
