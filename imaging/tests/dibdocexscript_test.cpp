// The image document as the script object "Bild": every member called
// through the member table, as the script engines call it.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoidoc.h"
#include "outside/grabwell/fgboard.h"
#include "platform/automation/dispatchmap.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"

#include <span>
#include <vector>

namespace {

using kestrun::testing::CCountingView;
using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;

class BildScriptObjectTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_templates.SetTemplate(CSRC::kGridTemplate,
                                new CMultiDocTemplate(kestrun::testing::IDR_TEST_TABLE, RUNTIME_CLASS(CResultListDoc),
                                                      RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CCountingView)));
        m_doc = NewDocument(120, 90);
        DrawDisc(*m_doc, {40, 40}, 15, RGB(30, 30, 30));
        DrawDisc(*m_doc, {90, 50}, 10, RGB(50, 20, 20));
        m_original = Pixels(*m_doc);
    }

    COleVariant Call(const char* member, std::vector<COleVariant> args = {})
    {
        return m_doc->Invoke(member, DISPATCH_METHOD, std::span<const COleVariant>(args));
    }

    CDIBDocEx* m_doc = nullptr;
    cv::Mat m_original;
};

TEST_F(BildScriptObjectTest, TheMembersInTheirOrder)
{
    const kestrun::CDispatchMap& map = m_doc->GetDispatchMap();
    EXPECT_EQ(map.GetTypeName(), "Bild");
    EXPECT_EQ(map.GetClassId(), "{DD591203-E395-11D2-998A-0080AD38027C}");
    const char* names[] = {"Bild", "Mirror", "Snapshot", "LoadImage", "Show",
                           "EdgeFilter", "Filter", "Measure", "MoveAOI"};
    ASSERT_EQ(map.GetCount(), static_cast<int>(std::size(names)));
    for (int i = 0; i < map.GetCount(); ++i) {
        EXPECT_EQ(map.GetMember(i).m_strName, names[i]);
        EXPECT_EQ(m_doc->GetIDOfName(names[i]), i + 1);
    }
}

TEST_F(BildScriptObjectTest, MeasureRunsTheSearchOfItsWordAndIsAlwaysTrue)
{
    struct sCase
    {
        const char* word;
        int rows; // -1: no table made
        int drawMode;
    };
    const sCase cases[] = {
        {"Count", 2, CDIBDoc::kDrawModeResult},
        {"count", -1, 0},
        {"Volume", -1, 0},
        {"", -1, 0},
        {"AOI", 1, CDIBDoc::kDrawModeResult},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.word);
        m_doc->SetResultDoc(nullptr);
        m_doc->m_nDrawMode = 0;
        const COleVariant result = Call("Measure", {COleVariant(c.word)});
        EXPECT_EQ(result.vt, VT_BOOL);
        EXPECT_EQ(result.boolVal, VARIANT_TRUE);
        if (c.rows < 0) {
            EXPECT_EQ(m_doc->GetResultDoc(), nullptr);
        } else {
            ASSERT_NE(m_doc->GetResultTable(), nullptr);
            EXPECT_EQ(m_doc->GetResultTable()->GetCount(), c.rows);
        }
        EXPECT_EQ(m_doc->m_nDrawMode, c.drawMode);
        EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
    }
}

TEST_F(BildScriptObjectTest, BlobLeavesTheFilteredPageAndFindsTheObjects)
{
    EXPECT_EQ(Call("Measure", {COleVariant("Blob")}).boolVal, VARIANT_TRUE);
    ASSERT_NE(m_doc->GetResultTable(), nullptr);
    EXPECT_EQ(m_doc->GetResultTable()->GetCount(), 2);
}

TEST_F(BildScriptObjectTest, FiltersChangeThePageWithoutAnUndoStepAndOnlyForTheirExactWord)
{
    struct sCase
    {
        const char* member;
        const char* word;
        bool changes;
    };
    const sCase cases[] = {
        {"Filter", "Smooth", true},      {"Filter", "Median", true},      {"Filter", "Laplace", true},
        {"Filter", "smooth", false},     {"Filter", "Erode", false},      {"EdgeFilter", "Erode", true},
        {"EdgeFilter", "Dilate", true},  {"EdgeFilter", "erode", false},  {"EdgeFilter", "Smooth", false},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + c.word);
        m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(kestrun::testing::kGround));
        DrawDisc(*m_doc, {40, 40}, 15, RGB(30, 30, 30));
        DrawDisc(*m_doc, {90, 50}, 10, RGB(50, 20, 20));
        const COleVariant result = Call(c.member, {COleVariant(c.word)});
        EXPECT_EQ(result.vt, VT_EMPTY);
        EXPECT_EQ(!Same(Pixels(*m_doc), m_original), c.changes);
        EXPECT_EQ(m_doc->GetUndoCount(), 0);
    }
    // The edge filters follow the objects: dark discs shrink when eroded.
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(kestrun::testing::kGround));
    DrawDisc(*m_doc, {40, 40}, 15, RGB(30, 30, 30));
    Call("EdgeFilter", {COleVariant("Erode")});
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(25, 40), RGB(240, 240, 240));
}

TEST_F(BildScriptObjectTest, MirrorFlipsThePageAndBildIsThePagesNumber)
{
    Call("Mirror");
    cv::Mat mirrored;
    cv::flip(m_original, mirrored, 1);
    EXPECT_TRUE(Same(Pixels(*m_doc), mirrored));

    EXPECT_EQ(m_doc->Invoke("Bild", DISPATCH_PROPERTYGET).lVal, 1);
    auto second = std::make_unique<CDIB>();
    ASSERT_TRUE(second->InitDIB(10, 10, 24));
    m_doc->AddPage(std::move(second));
    m_doc->SetActiveIndex(7);
    EXPECT_EQ(m_doc->Invoke("bild", DISPATCH_PROPERTYGET).lVal, 2);
    // Setting it changes nothing.
    const COleVariant value(static_cast<LONG>(1));
    m_doc->Invoke("Bild", DISPATCH_PROPERTYPUT, std::span<const COleVariant>(&value, 1));
    EXPECT_EQ(m_doc->GetActiveIndex(), 1);
}

TEST_F(BildScriptObjectTest, SnapshotGrabsOneFrameIntoAVideoDocumentOnly)
{
    FGBoard* board = GetFG();
    ASSERT_NE(board, nullptr);
    board->StopLive();
    board->DisconnectDisplay();
    kestrun::ManualClock clock;
    ASSERT_TRUE(board->SetClock(&clock));
    ASSERT_TRUE(board->SetVideoSource(0));
    const int frames = board->GetFrameCount();

    // A plain image document grabs nothing and keeps its page.
    Call("Snapshot");
    EXPECT_EQ(board->GetFrameCount(), frames);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));

    ASSERT_TRUE(m_doc->InitVideoPages());
    Call("Snapshot");
    EXPECT_EQ(board->GetFrameCount(), frames + 1);
    EXPECT_TRUE(Same(m_doc->GetActiveDIB()->GetMat(), board->GetDIB()->GetMat()));
    board->DisconnectDisplay();
    board->SetClock(nullptr);
}

TEST_F(BildScriptObjectTest, LoadImageReadsTheFileAndAMissingOneKeepsThePage)
{
    const CString path = WriteImage("grey.bmp", 30, 20, RGB(90, 90, 90));
    Call("LoadImage", {COleVariant(path)});
    EXPECT_EQ(m_doc->GetActiveDIB()->GetWidth(), 30);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(3, 3), RGB(90, 90, 90));

    Call("LoadImage", {COleVariant(PathOf("missing.bmp"))});
    EXPECT_EQ(m_doc->GetActiveDIB()->GetWidth(), 30);
    EXPECT_EQ(m_boxes->Texts().size(), 1U);
}

TEST_F(BildScriptObjectTest, MoveAOIMovesTheActiveAreaWithinTheImage)
{
    // No area: TRUE and nothing redrawn.
    CCountingView* view = FirstView(m_doc);
    ASSERT_NE(view, nullptr);
    const int updates = view->m_nUpdates;
    EXPECT_EQ(Call("MoveAOI", {COleVariant(short(5)), COleVariant(short(5))}).boolVal, VARIANT_TRUE);
    EXPECT_EQ(view->m_nUpdates, updates);

    m_engine.m_AOIDoc.SetImageSize(120, 90, true);
    std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(10, 10, 40, 30));
    ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    CAOI* aoi = m_engine.m_AOIDoc.GetAOI(0);
    struct sCase
    {
        short dx, dy;
        int left, top; // where it is afterwards
    };
    const sCase cases[] = {{5, 7, 15, 17}, {-3, 0, 12, 17}, {500, 500, -1, -1}, {-500, -500, -1, -1}};
    for (const sCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        EXPECT_EQ(Call("MoveAOI", {COleVariant(c.dx), COleVariant(c.dy)}).boolVal, VARIANT_TRUE);
        EXPECT_EQ(aoi->GetWidth(), 30);
        EXPECT_EQ(aoi->GetHeight(), 20);
        if (c.left >= 0) {
            EXPECT_EQ(aoi->GetLeft(), c.left);
            EXPECT_EQ(aoi->GetTop(), c.top);
        }
        EXPECT_GE(aoi->GetLeft(), 0);
        EXPECT_GE(aoi->GetTop(), 0);
        EXPECT_LE(aoi->GetLeft() + aoi->GetWidth(), 120);
        EXPECT_LE(aoi->GetTop() + aoi->GetHeight(), 90);
    }
    EXPECT_GT(view->m_nUpdates, updates);
}

TEST_F(BildScriptObjectTest, WrongCallsAreErrorsNamingTheMember)
{
    struct sCase
    {
        const char* member;
        std::vector<COleVariant> args;
        const char* text; // part of the description
    };
    const sCase cases[] = {
        {"Show", {COleVariant(static_cast<LONG>(1234))}, "Bild.Show"},
        {"Measure", {}, "Measure"},
        {"MoveAOI", {COleVariant("left"), COleVariant(short(1))}, "MoveAOI"},
        {"MoveAOI", {COleVariant(static_cast<LONG>(100000)), COleVariant(short(1))}, "MoveAOI"},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.member);
        try {
            Call(c.member, c.args);
            ADD_FAILURE() << "no error";
        } catch (const COleDispatchException& e) {
            EXPECT_NE(e.m_strDescription.Find(c.text), -1) << e.m_strDescription.GetString();
        }
    }
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

// A window whose every message posts the next one.
class CRepostingTarget : public CMessageTarget
{
public:
    LRESULT OnWindowMessage(UINT message, WPARAM, LPARAM) override
    {
        ++m_nHandled;
        PostMessage(m_hwnd, message);
        return 0;
    }
    HWND m_hwnd = nullptr;
    int m_nHandled = 0;
};

TEST_F(BildScriptObjectTest, AWindowThatAlwaysPostsAgainDoesNotHoldTheScript)
{
    CRepostingTarget target;
    target.m_hwnd = kestrun::CreateWindowHandle(&target);
    PostMessage(target.m_hwnd, WM_USER + 7);
    Call("Mirror");
    // The messages waiting were dispatched, a bounded number of rounds.
    EXPECT_GT(target.m_nHandled, 0);
    EXPECT_LE(target.m_nHandled, 64);
    kestrun::DestroyWindowHandle(target.m_hwnd);
}

} // namespace
