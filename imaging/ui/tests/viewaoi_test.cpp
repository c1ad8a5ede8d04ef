// The view's areas of interest: delete (command and key), the modeless
// area dialog with copies placed by a click, ellipse copy and paste, keys
// passed on to it and its close report; the list; area files saved and
// loaded, a damaged one keeping the areas with one message naming it.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/ui/aoidlg.h"
#include "analysis/ui/aoidlgresources.h"
#include "analysis/ui/aoilistdlg.h"
#include "platform/core/messages.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/dialog.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <fstream>
#include <memory>
#include <string>

namespace viewaoitest {

using kestrun::testing::CImageViewTest;
using namespace kestrun::analysisui;

class ViewAOITest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        m_engine.m_AOIDoc.ClearAOIs();
        m_engine.m_AOIDoc.SetImageSize(kPlateWidth, kPlateHeight, true);
        m_previousFiles = kestrun::SetCommonDialogHandler([this](CCommonDialog& dialog) -> INT_PTR {
            auto* files = dynamic_cast<CFileDialog*>(&dialog);
            if (files == nullptr || m_fileAnswer.IsEmpty())
                return IDCANCEL;
            m_fileTitles.push_back(files->m_ofn.lpstrTitle != nullptr ? files->m_ofn.lpstrTitle : "");
            files->SetResult({m_fileAnswer});
            return IDOK;
        });
    }

    void TearDown() override
    {
        kestrun::SetCommonDialogHandler(m_previousFiles);
        CImageViewTest::TearDown();
    }

    CAOIDoc& Areas() { return m_engine.m_AOIDoc; }

    void AddRectangle(int left, int top, int width, int height)
    {
        std::unique_ptr<CAOI> aoi = std::make_unique<CAOI2>();
        aoi->SetRectFromCorners(left, top, left + width, top + height);
        ASSERT_EQ(Areas().AddAOI(aoi), 1);
    }

    void AddEllipse(int left, int top, int width, int height)
    {
        auto ellipse = std::make_unique<CAOIEllipse>();
        ellipse->SetFromCorners(left, top, left + width, top + height);
        std::unique_ptr<CAOI> aoi = std::move(ellipse);
        ASSERT_EQ(Areas().AddAOI(aoi), 1);
    }

    CAOIDlg& OpenDialog()
    {
        Command(ID_VIEW_AOI_MODIFY);
        EXPECT_NE(m_view->m_pAOIDlg, nullptr);
        return *m_view->m_pAOIDlg;
    }

    void ClickAt(CPoint image)
    {
        if (m_view->m_bShrinkToFit)
            Command(ID_VIEW_DIRECT);
        const CPoint at = m_view->ImageToClient(image);
        m_view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        m_view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }

    BOOL Key(UINT key)
    {
        MSG msg{m_view->GetSafeHwnd(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        return m_view->PreTranslateMessage(&msg);
    }

    CString m_fileAnswer;
    std::vector<CString> m_fileTitles;
    kestrun::CommonDialogHandler m_previousFiles;
};

TEST_F(ViewAOITest, CommandsNeedAreasExceptLoadAndSave)
{
    for (UINT id : {ID_VIEW_AOI_DELETE, ID_VIEW_AOI_MODIFY, ID_VIEW_AOI_LIST})
        EXPECT_FALSE(IsEnabled(id)) << id;
    for (UINT id : {ID_VIEW_AOI_LOAD, ID_VIEW_AOI_SAVE})
        EXPECT_TRUE(IsEnabled(id)) << id;
    AddRectangle(10, 10, 20, 20);
    for (UINT id : {ID_VIEW_AOI_DELETE, ID_VIEW_AOI_MODIFY, ID_VIEW_AOI_LIST, ID_VIEW_AOI_LOAD, ID_VIEW_AOI_SAVE})
        EXPECT_TRUE(IsEnabled(id)) << id;
}

TEST_F(ViewAOITest, DeleteRemovesTheActiveAreaByCommandOrKey)
{
    AddRectangle(10, 10, 20, 20);
    AddRectangle(50, 50, 20, 20);
    AddRectangle(90, 90, 20, 20);
    Command(ID_VIEW_AOI_DELETE);
    ASSERT_EQ(Areas().GetAOICount(), 2);
    EXPECT_EQ(Areas().GetAOI(1)->GetLeft(), 50);
    EXPECT_EQ(m_services.m_nSettingsChanged, 1);
    Key(VK_DELETE);
    ASSERT_EQ(Areas().GetAOICount(), 1);
    EXPECT_EQ(Areas().GetAOI(0)->GetLeft(), 10);
    Key('A');
    EXPECT_EQ(Areas().GetAOICount(), 1);
}

TEST_F(ViewAOITest, TheAreaDialogOpensOnceAndGoesWithItsCloseReport)
{
    AddRectangle(10, 10, 20, 20);
    CAOIDlg& dialog = OpenDialog();
    Command(ID_VIEW_AOI_MODIFY);
    EXPECT_EQ(m_view->m_pAOIDlg.get(), &dialog);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    kestrun::PumpMessages();
    EXPECT_EQ(m_view->m_pAOIDlg, nullptr);
}

TEST_F(ViewAOITest, AClickWithAddOnPlacesACopy)
{
    AddRectangle(10, 10, 20, 20);
    CAOIDlg& dialog = OpenDialog();
    ClickAt(CPoint(100, 100));
    EXPECT_EQ(Areas().GetAOICount(), 1) << "Add is off";
    dialog.ToggleAdd();
    dialog.m_nWidth = 10;
    dialog.m_nHeight = 7;
    ClickAt(CPoint(100, 100));
    ASSERT_EQ(Areas().GetAOICount(), 2);
    EXPECT_EQ(Areas().GetAOI(1)->GetRect(), CRect(95, 97, 104, 103));
}

TEST_F(ViewAOITest, KeysReachTheAreaDialog)
{
    AddRectangle(10, 10, 20, 20);
    OpenDialog();
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(Areas().GetAOI(0)->GetRect().TopLeft(), CPoint(11, 11));
}

TEST_F(ViewAOITest, CopyAndPasteWorkOnTheDialogsEllipse)
{
    AddEllipse(60, 60, 30, 20);
    OpenDialog();
    EXPECT_FALSE(IsEnabled(ID_EDIT_PASTE));
    Command(ID_EDIT_COPY);
    EXPECT_TRUE(IsEnabled(ID_EDIT_PASTE));
    Command(ID_EDIT_PASTE);
    ASSERT_EQ(Areas().GetAOICount(), 2);
    EXPECT_EQ(Areas().GetAOI(1)->GetType(), CAOI::typeEllipse);
    EXPECT_EQ(Areas().GetAOI(1)->GetRect(), CRect(5, 5, 35, 25));
}

TEST_F(ViewAOITest, ClosingTheViewTakesTheDialogAlong)
{
    AddRectangle(10, 10, 20, 20);
    OpenDialog();
    m_doc->OnCloseDocument();
    m_doc = nullptr;
    m_view = nullptr;
    kestrun::PumpMessages();
    SUCCEED();
}

TEST_F(ViewAOITest, TheListShowsTheAreas)
{
    AddRectangle(10, 10, 20, 20);
    AddRectangle(50, 50, 20, 20);
    int rows = -1;
    QTimer::singleShot(0, [&] {
        auto* list = kestrun::WindowOf<CAOIListDlg>(QApplication::activeModalWidget());
        ASSERT_NE(list, nullptr);
        rows = list->m_List.GetItemCount();
        list->EndDialog(IDOK);
    });
    Command(ID_VIEW_AOI_LIST);
    EXPECT_EQ(rows, 2);
}

TEST_F(ViewAOITest, AreasAreSavedAndLoaded)
{
    AddRectangle(10, 10, 20, 20);
    AddEllipse(60, 60, 30, 20);
    const std::filesystem::path file = m_folder / "plate.aoi";
    m_fileAnswer = file.c_str();
    Command(ID_VIEW_AOI_SAVE);
    ASSERT_TRUE(std::filesystem::exists(file));
    Areas().ClearAOIs();
    Command(ID_VIEW_AOI_LOAD);
    ASSERT_EQ(Areas().GetAOICount(), 2);
    EXPECT_EQ(Areas().GetAOI(1)->GetType(), CAOI::typeEllipse);
    EXPECT_EQ(m_fileTitles, (std::vector<CString>{"Save as ...", "Open File"}));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ViewAOITest, ADamagedAreaFileKeepsTheAreas)
{
    AddRectangle(10, 10, 20, 20);
    const std::filesystem::path file = m_folder / "damaged.aoi";
    // a list whose record is damaged, an empty file, no archive at all
    const std::string contents[] = {std::string("\x0f\x00\x05\x00\xff\xff", 6), std::string(),
                                    "garbage that is no archive"};
    for (const std::string& content : contents) {
        SCOPED_TRACE(content);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
        m_boxes->Clear();
        m_fileAnswer = file.c_str();
        Command(ID_VIEW_AOI_LOAD);
        ASSERT_EQ(Areas().GetAOICount(), 1);
        EXPECT_EQ(Areas().GetAOI(0)->GetRect(), CRect(10, 10, 30, 30));
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find(file.c_str()), -1) << m_boxes->Texts()[0];
    }
}

} // namespace viewaoitest
