// The area dialog and the area list over a test owner: copies placed by a
// click, moves by buttons and keys, fields by numbers with their ranges,
// the close report (1, 441); the list's rows, raster cells, deletion and
// its tab-separated export.

#include "dialogtesting.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"
#include "analysis/ui/aoidlg.h"
#include "analysis/ui/aoidlgresources.h"
#include "analysis/ui/aoilistdlg.h"
#include "analysis/ui/aoiowner.h"

#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace aoidlgtest {

using namespace kestrun::analysisui;
using kestrun::testing::Press;
using kestrun::testing::TextOf;
using kestrun::testing::Type;

using Report = std::pair<WPARAM, LPARAM>;

class CReportedWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CAOIDlg::kCloseReport)
            m_reports.emplace_back(wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<Report> m_reports;
};

class CTestOwner : public CAOIOwner
{
public:
    CWnd* GetOwnerWnd() override { return &m_wnd; }
    CAOIDoc* GetAOIDoc() override { return &m_doc; }
    CDIB* GetActivePage() override { return m_page.get(); }
    void RedrawView() override { ++m_nRedraws; }
    void UpdateViews() override { ++m_nUpdates; }

    CReportedWnd m_wnd;
    CAOIDoc m_doc;
    std::unique_ptr<CDIB> m_page;
    int m_nRedraws = 0;
    int m_nUpdates = 0;
};

std::unique_ptr<CAOI> Rectangle(int left, int top, int width, int height)
{
    auto aoi = std::make_unique<CAOI2>();
    aoi->SetRectFromCorners(left, top, left + width, top + height);
    return aoi;
}

std::unique_ptr<CAOI> Shape(int type, int left, int top, int width, int height)
{
    std::unique_ptr<CAOI> aoi;
    switch (type) {
    case CAOI::typeEllipse: {
        auto ellipse = std::make_unique<CAOIEllipse>();
        ellipse->SetFromCorners(left, top, left + width, top + height);
        aoi = std::move(ellipse);
        break;
    }
    case CAOI::typeRing: {
        auto ring = std::make_unique<CAOIRing>();
        ring->SetFromCorners(left, top, left + width, top + height);
        aoi = std::move(ring);
        break;
    }
    case CAOI::typeParallelogram: {
        auto parallelogram = std::make_unique<CAOI3>();
        parallelogram->SetRectFromCorners(left, top, left + width, top + height);
        aoi = std::move(parallelogram);
        break;
    }
    default:
        aoi = Rectangle(left, top, width, height);
    }
    return aoi;
}

class AOIDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.m_wnd.CreateEx(0, nullptr, "view", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
        m_owner.m_doc.SetImageSize(200, 150, true);
    }

    void Add(std::unique_ptr<CAOI> aoi) { ASSERT_EQ(m_owner.m_doc.AddAOI(aoi), 1); }

    std::unique_ptr<CAOIDlg> Open()
    {
        auto dialog = std::make_unique<CAOIDlg>(&m_owner);
        EXPECT_TRUE(dialog->Create(&m_owner.m_wnd));
        return dialog;
    }

    CAOI& Area(int i) { return *m_owner.m_doc.GetAOI(i); }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CTestOwner m_owner;
};

TEST_F(AOIDialogTest, FieldsShowTheActiveArea)
{
    Add(Rectangle(10, 20, 30, 40));
    Area(0).CreateRaster(3, 2, 4);
    Add(Shape(CAOI::typeRing, 50, 60, 30, 30));
    auto dialog = Open();
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_X), "50");
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_WIDTH), "30");
    EXPECT_TRUE(dialog->GetDlgItem(IDC_AOI_RING_WIDTH)->IsWindowEnabled());
    EXPECT_FALSE(dialog->GetDlgItem(IDC_AOI_ANGLE)->IsWindowEnabled());
    EXPECT_FALSE(dialog->GetDlgItem(IDC_AOI_BORDER)->IsWindowEnabled());
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_ADD), "Add off");

    m_owner.m_doc.SetActiveAOI(0);
    dialog->RefreshFromActiveAOI();
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_Y), "20");
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_RASTER_X), "3");
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_RASTER_Y), "2");
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_BORDER), "4");
    EXPECT_TRUE(dialog->GetDlgItem(IDC_AOI_BORDER)->IsWindowEnabled());
    EXPECT_FALSE(dialog->GetDlgItem(IDC_AOI_RING_WIDTH)->IsWindowEnabled());
}

TEST_F(AOIDialogTest, WithoutAreasTheFieldsAreZeroAndTheButtonsChangeNothing)
{
    auto dialog = Open();
    for (UINT id : {IDC_AOI_X, IDC_AOI_Y, IDC_AOI_WIDTH, IDC_AOI_HEIGHT})
        EXPECT_EQ(TextOf(*dialog, id), "0") << id;
    for (UINT id : {IDC_AOI_MODIFY, IDC_AOI_UP, IDC_AOI_LEFT})
        Press(*dialog, id);
    dialog->ToggleAdd();
    dialog->CopyActiveAOITo(50, 50);
    EXPECT_EQ(m_owner.m_doc.GetAOICount(), 0);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

// A click with "Add on" centres a copy of the dialog's size on the point.
TEST_F(AOIDialogTest, CopyActiveAOIToCentresACopyOnTheClick)
{
    struct Case
    {
        int type;
        int width;
        int height;
        CRect expected;
    };
    const Case cases[] = {
        {CAOI::typeRectangle, 10, 7, CRect(95, 97, 104, 103)},
        {CAOI::typeRectangle, 9, 8, CRect(96, 96, 104, 103)},
        {CAOI::typeEllipse, 10, 7, CRect(95, 97, 104, 103)},
        {CAOI::typeRing, 10, 7, CRect(95, 97, 104, 103)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " " << c.width << "x" << c.height);
        m_owner.m_doc.ClearAOIs();
        Add(Shape(c.type, 10, 10, 20, 20));
        auto dialog = Open();
        dialog->m_nWidth = c.width;
        dialog->m_nHeight = c.height;
        dialog->CopyActiveAOITo(100, 100);
        EXPECT_EQ(m_owner.m_doc.GetAOICount(), 1) << "Add is off";
        Press(*dialog, IDC_AOI_ADD);
        EXPECT_TRUE(dialog->IsAddOn());
        dialog->m_nWidth = c.width;
        dialog->m_nHeight = c.height;
        dialog->CopyActiveAOITo(100, 100);
        ASSERT_EQ(m_owner.m_doc.GetAOICount(), 2);
        EXPECT_EQ(Area(1).GetType(), c.type);
        EXPECT_EQ(Area(1).GetRect(), c.expected);
        EXPECT_EQ(m_owner.m_doc.GetActiveIndex(), 1);
    }
}

TEST_F(AOIDialogTest, ACopyOfAParallelogramIsRefused)
{
    Add(Shape(CAOI::typeParallelogram, 10, 10, 20, 20));
    auto dialog = Open();
    dialog->ToggleAdd();
    dialog->CopyActiveAOITo(100, 100);
    EXPECT_EQ(m_owner.m_doc.GetAOICount(), 1);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Copy of this AOI Type not possible"});
}

TEST_F(AOIDialogTest, AddReadsOnAndOff)
{
    auto dialog = Open();
    const char* expected[] = {"Add on", "Add off", "Add on"};
    for (const char* text : expected) {
        Press(*dialog, IDC_AOI_ADD);
        EXPECT_EQ(TextOf(*dialog, IDC_AOI_ADD), text);
    }
}

TEST_F(AOIDialogTest, ArrowsMoveTheActiveAreaOrAllAreas)
{
    Add(Rectangle(10, 10, 20, 20));
    Add(Rectangle(50, 50, 20, 20));
    auto dialog = Open();
    Press(*dialog, IDC_AOI_UP);
    Press(*dialog, IDC_AOI_RIGHT);
    EXPECT_EQ(Area(0).GetRect().TopLeft(), CPoint(10, 10));
    EXPECT_EQ(Area(1).GetRect().TopLeft(), CPoint(51, 49));
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_X), "51");

    dialog->CheckRadioButton(IDC_AOI_SELECT_ACTIVE, IDC_AOI_SELECT_ALL, IDC_AOI_SELECT_ALL);
    Press(*dialog, IDC_AOI_SELECT_ALL);
    Press(*dialog, IDC_AOI_LEFT);
    Press(*dialog, IDC_AOI_DOWN);
    EXPECT_EQ(Area(0).GetRect().TopLeft(), CPoint(9, 11));
    EXPECT_EQ(Area(1).GetRect().TopLeft(), CPoint(50, 50));
    EXPECT_GE(m_owner.m_nRedraws, 4);
}

TEST_F(AOIDialogTest, AMoveKeepsTheAreaInsideTheImage)
{
    // The engine keeps a margin of one pixel at the image's edges.
    Add(Rectangle(1, 1, 20, 20));
    auto dialog = Open();
    Press(*dialog, IDC_AOI_LEFT);
    Press(*dialog, IDC_AOI_UP);
    EXPECT_EQ(Area(0).GetRect(), CRect(1, 1, 21, 21));
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_X), "1");
}

TEST_F(AOIDialogTest, KeysMoveAndTabSelectsTheNextArea)
{
    Add(Rectangle(10, 10, 20, 20));
    Add(Rectangle(50, 50, 20, 20));
    auto dialog = Open();
    dialog->SendMessage(WM_KEYDOWN, VK_LEFT);
    dialog->SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Area(1).GetRect().TopLeft(), CPoint(49, 51));
    // Tab steps to the next area, after the last to the first.
    dialog->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(m_owner.m_doc.GetActiveIndex(), 0);
    EXPECT_EQ(TextOf(*dialog, IDC_AOI_X), "10");
    dialog->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(m_owner.m_doc.GetActiveIndex(), 1);
    dialog->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(m_owner.m_doc.GetActiveIndex(), 0);
    EXPECT_TRUE(dialog->HandleKey(VK_RIGHT, false));
    EXPECT_FALSE(dialog->HandleKey(VK_TAB, false));
    EXPECT_EQ(Area(0).GetRect().TopLeft(), CPoint(11, 10));
}

TEST_F(AOIDialogTest, ModifySetsPositionSizeRasterAndRingWidth)
{
    Add(Shape(CAOI::typeRing, 100, 100, 30, 30));
    Add(Rectangle(10, 10, 20, 20));
    auto dialog = Open();
    Type(*dialog, IDC_AOI_X, "5");
    Type(*dialog, IDC_AOI_Y, "6");
    Type(*dialog, IDC_AOI_WIDTH, "40");
    Type(*dialog, IDC_AOI_HEIGHT, "30");
    Type(*dialog, IDC_AOI_RASTER_X, "2");
    Type(*dialog, IDC_AOI_RASTER_Y, "2");
    Press(*dialog, IDC_AOI_MODIFY);
    EXPECT_EQ(Area(1).GetRect(), CRect(5, 6, 45, 36));
    ASSERT_NE(Area(1).GetRaster(), nullptr);
    EXPECT_EQ(Area(1).GetRaster()->GetSize(), 4);

    m_owner.m_doc.SetActiveAOI(0);
    dialog->RefreshFromActiveAOI();
    Type(*dialog, IDC_AOI_RING_WIDTH, "8");
    Type(*dialog, IDC_AOI_WIDTH, "300");
    Press(*dialog, IDC_AOI_MODIFY);
    const auto& ring = static_cast<const CAOIRing&>(Area(0));
    EXPECT_EQ(ring.GetRingWidth(), 8);
    EXPECT_LE(ring.GetRect().right, 200) << "kept inside the image";
    EXPECT_EQ(ring.GetRaster(), nullptr);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(AOIDialogTest, FieldsOutsideTheirRangesAreRefused)
{
    struct Case
    {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {IDC_AOI_WIDTH, "0"},      {IDC_AOI_HEIGHT, "-3"},   {IDC_AOI_RING_WIDTH, "1"},
        {IDC_AOI_RING_WIDTH, "101"}, {IDC_AOI_RASTER_X, "101"}, {IDC_AOI_RASTER_Y, "-1"},
        {IDC_AOI_BORDER, "51"},    {IDC_AOI_X, "abc"},
    };
    Add(Rectangle(10, 10, 20, 20));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " = " << c.text);
        auto dialog = Open();
        Type(*dialog, IDC_AOI_X, "60");
        Type(*dialog, c.id, c.text);
        m_boxes->Clear();
        Press(*dialog, IDC_AOI_MODIFY);
        EXPECT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_EQ(Area(0).GetRect(), CRect(10, 10, 30, 30));
        EXPECT_EQ(Area(0).GetRaster(), nullptr);
    }
}

TEST_F(AOIDialogTest, OKLaysTheRasterAndReportsTheClose)
{
    Add(Rectangle(10, 10, 20, 20));
    auto dialog = Open();
    Type(*dialog, IDC_AOI_RASTER_X, "2");
    Type(*dialog, IDC_AOI_RASTER_Y, "3");
    Press(*dialog, IDOK);
    ASSERT_NE(Area(0).GetRaster(), nullptr);
    EXPECT_EQ(Area(0).GetRaster()->GetSize(), 6);
    EXPECT_TRUE(Area(0).m_bModified);
    kestrun::PumpMessages();
    EXPECT_EQ(m_owner.m_wnd.m_reports, (std::vector<Report>{{1, 441}}));

    auto cancelled = Open();
    cancelled->DestroyWindow();
    kestrun::PumpMessages();
    EXPECT_EQ(m_owner.m_wnd.m_reports.back(), Report(1, 441));
}

TEST_F(AOIDialogTest, AStoredEllipseIsAddedAgainAtFiveFive)
{
    Add(Shape(CAOI::typeEllipse, 60, 70, 30, 20));
    auto dialog = Open();
    dialog->AddStoredEllipseCopy();
    EXPECT_EQ(m_owner.m_doc.GetAOICount(), 1) << "nothing stored yet";
    dialog->BackupActiveEllipse();
    ASSERT_TRUE(dialog->HasStoredEllipse());
    dialog->AddStoredEllipseCopy();
    ASSERT_EQ(m_owner.m_doc.GetAOICount(), 2);
    EXPECT_EQ(Area(1).GetType(), CAOI::typeEllipse);
    EXPECT_EQ(Area(1).GetRect(), CRect(5, 5, 35, 25));

    Add(Rectangle(10, 10, 5, 5));
    dialog->BackupActiveEllipse();
    EXPECT_FALSE(dialog->HasStoredEllipse()) << "only an ellipse is kept";
}

// ---- the list -------------------------------------------------------------------------

class AOIListTest : public AOIDialogTest
{
protected:
    std::unique_ptr<CAOIListDlg> OpenList()
    {
        auto dialog = std::make_unique<CAOIListDlg>(&m_owner, &m_owner.m_wnd);
        EXPECT_TRUE(dialog->Create(IDD_AOI_LIST, &m_owner.m_wnd));
        return dialog;
    }

    std::filesystem::path Folder()
    {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("aoilist_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        return folder;
    }

    static std::string Read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(AOIListTest, ARasterListsItsCells)
{
    Add(Rectangle(10, 10, 40, 40));
    Area(0).CreateRaster(2, 2, 0);
    auto dialog = OpenList();
    ASSERT_EQ(dialog->m_List.GetItemCount(), 4);
    for (int row = 0; row < 4; ++row) {
        CString pos;
        pos.Format("%d", row + 1);
        EXPECT_EQ(dialog->m_List.GetItemText(row, 0), pos);
        EXPECT_EQ(dialog->m_List.GetItemText(row, 10), "0");
        EXPECT_EQ(dialog->m_List.GetItemText(row, 11), "-1");
        EXPECT_EQ(dialog->m_List.GetItemText(row, 12), "Included");
    }
}

TEST_F(AOIListTest, RowsShowStatisticsOfTheIncludedAreas)
{
    m_owner.m_page = std::make_unique<CDIB>();
    m_owner.m_page->InitDIB(200, 150, 24);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            m_owner.m_page->SetPixel(x, y, RGB(10, 80, 30));
    Add(Rectangle(10, 10, 10, 10));
    Add(Rectangle(50, 20, 5, 4));
    Area(1).m_bExcluded = TRUE;
    auto dialog = OpenList();
    ASSERT_EQ(dialog->m_List.GetItemCount(), 2);
    EXPECT_EQ(dialog->m_List.GetItemText(0, 4), "80.00");
    EXPECT_EQ(dialog->m_List.GetItemText(0, 5), "0.00");
    EXPECT_EQ(dialog->m_List.GetItemText(0, 12), "Included");
    EXPECT_EQ(dialog->m_List.GetItemText(1, 1), "50");
    EXPECT_EQ(dialog->m_List.GetItemText(1, 2), "20");
    EXPECT_EQ(dialog->m_List.GetItemText(1, 4), "0.00");
    EXPECT_EQ(dialog->m_List.GetItemText(1, 12), "Excluded");
}

TEST_F(AOIListTest, DeleteRemovesTheSelectedArea)
{
    Add(Rectangle(10, 10, 10, 10));
    Add(Rectangle(50, 20, 5, 4));
    auto dialog = OpenList();
    Press(*dialog, IDC_AOI_LIST_DELETE);
    EXPECT_EQ(m_owner.m_doc.GetAOICount(), 2) << "nothing selected";
    dialog->m_List.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Press(*dialog, IDC_AOI_LIST_DELETE);
    ASSERT_EQ(m_owner.m_doc.GetAOICount(), 1);
    EXPECT_EQ(Area(0).GetLeft(), 50);
    EXPECT_EQ(dialog->m_List.GetItemCount(), 1);
    EXPECT_GE(m_owner.m_nUpdates, 1);
}

TEST_F(AOIListTest, ExportWritesTheGoldenText)
{
    Add(Rectangle(10, 20, 5, 4));
    Add(Rectangle(30, 40, 3, 3));
    Area(1).m_nChannel = 2;
    auto dialog = OpenList();
    const auto path = Folder() / "areas.txt";
    kestrun::testing::CFileAnswers files;
    files.m_answer = path.string().c_str();
    Press(*dialog, IDC_AOI_LIST_EXPORT);
    EXPECT_EQ(Read(path), "Pos\tX\tY\tArea\tCol Avg\tCol Var\tEnergy\tKontrast\tEntropy\tHomogenity\tChannel\t"
                          "Function\tStatus\n"
                          "1\t10\t20\t20\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0\t-1\tIncluded\n"
                          "2\t30\t40\t9\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t2\t-1\tIncluded");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(AOIListTest, AFailedExportKeepsTheOldFile)
{
    Add(Rectangle(10, 20, 5, 4));
    auto dialog = OpenList();
    // The temporary file beside a name this long cannot be made.
    const auto path = Folder() / std::string(250, 'a');
    std::ofstream(path) << "old";
    EXPECT_FALSE(dialog->ExportTo(path.string().c_str()));
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Cannot open file!!"});

    m_boxes->Clear();
    const auto folder = Folder() / "folder";
    std::filesystem::create_directories(folder);
    EXPECT_FALSE(dialog->ExportTo(folder.string().c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Cannot open file!!"});
}

} // namespace aoidlgtest
