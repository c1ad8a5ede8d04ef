// The table view: the rows and summary rows it shows, the selection it
// shares with the image views, the class edit, the column configuration,
// copying and printing.

#include "series/ui/gridframe.h"
#include "series/ui/gridtemplate.h"
#include "series/ui/gridview2.h"
#include "series/objdatadoc.h"
#include "series/tablecommands.h"
#include "series/tests/seriestesting.h"

#include "analysis/aoi.h"
#include "analysis/aoistat.h"
#include "analysis/objsegments.h"
#include "analysis/bv.h"
#include "analysis/classvector.h"
#include "analysis/segthres.h"
#include "analysis/track.h"
#include "platform/ui/mdi.h"
#include "objectmodel/dataarray.h"
#include "objectmodel/valueformat.h"
#include "outside/pixmere/dib.h"
#include "platform/core/profile.h"
#include "platform/core/recording_dc.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/printing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <opencv2/imgproc.hpp>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using kestrun::testing::CSeriesTest;
using kestrun::testing::CTestTrack;
using kestrun::testing::CTextRecord;
using Rows = std::vector<std::vector<std::string>>;

constexpr UINT kTableResource = 7300;
constexpr DWORD kColumns = CObjData::colPosX | CObjData::colPosY | CObjData::colArea | CObjData::colForm |
                           CObjData::colColors | CObjData::colClass;

class GridViewTest : public CSeriesTest
{
protected:
    void SetUp() override
    {
        CSeriesTest::SetUp();
        CMyListCtrl::ResetSortState();
        m_template = kestrun::MakeTableTemplate(kTableResource, RUNTIME_CLASS(CObjDataDoc),
                                                kestrun::ETableFrame::GridFrame);
    }

    void TearDown() override
    {
        m_template->CloseAllDocuments(FALSE);
        m_template.reset();
        CSeriesTest::TearDown();
    }

    // A key of the column configuration, as an earlier table left it.
    void Configure(const char* key, const char* value)
    {
        std::filesystem::create_directories(std::filesystem::path(ConfigPath().GetString()).parent_path());
        ASSERT_TRUE(WritePrivateProfileString("SegObj", key, value, ConfigPath()));
    }

    CObjDataDoc& OpenTable()
    {
        auto* doc = DYNAMIC_DOWNCAST(CObjDataDoc, m_template->OpenDocumentFile(nullptr));
        EXPECT_NE(doc, nullptr);
        return *doc;
    }

    static CGridView2& ViewOf(CDocument& doc)
    {
        POSITION position = doc.GetFirstViewPosition();
        return *DYNAMIC_DOWNCAST(CGridView2, doc.GetNextView(position));
    }

    // Objects with the areas given; class colours for the rows.
    static void AddObjects(CGridDoc2& doc, std::initializer_list<LONG> areas)
    {
        int i = 0;
        for (const LONG area : areas) {
            auto object = MakeObject(kColumns, {10 * i, 5 * i}, {0, 0, 4, 4}, area);
            object->m_FF = 0.5f + 0.125f * static_cast<float>(i);
            object->m_MeanColor = RGB(10 + i, 20, 30);
            object->m_strClassName = "Cell";
            doc.AddObject(object.release());
            ++i;
        }
    }

    static Rows Cells(CGridView2& view)
    {
        CMyListCtrl& list = view.GetList();
        Rows rows;
        for (int r = 0; r < list.GetRowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < list.GetColumnCount(); ++c)
                row.emplace_back(list.GetCellText(r, c).GetString());
            rows.push_back(row);
        }
        return rows;
    }

    static std::vector<std::string> Column(CGridView2& view, const char* title)
    {
        std::vector<std::string> cells;
        const int column = ColumnOf(view, title);
        for (const auto& row : Cells(view))
            cells.push_back(column >= 0 ? row[static_cast<size_t>(column)] : "");
        return cells;
    }

    static int ColumnOf(CGridView2& view, const char* title)
    {
        const CGridDoc2& doc = *view.GetGridDoc();
        const std::vector<int>& shown = view.GetShownColumns();
        for (size_t k = 0; k < shown.size(); ++k) {
            if (doc.m_Titles[shown[k]] == title)
                return static_cast<int>(k);
        }
        return -1;
    }

    static std::vector<std::string> Headings(CGridView2& view)
    {
        std::vector<std::string> titles;
        for (const int column : view.GetShownColumns())
            titles.emplace_back(view.GetGridDoc()->m_Titles[column].GetString());
        return titles;
    }

    LPARAM DocParam(CDocument& doc) const { return reinterpret_cast<LPARAM>(&doc); }

    std::vector<WPARAM> GridSelections() const
    {
        std::vector<WPARAM> selections;
        for (const auto& record : m_child.m_log.Of("GridSelected"))
            selections.push_back(record.wParam);
        return selections;
    }

    std::unique_ptr<CMultiDocTemplate> m_template;
};

// ---- rows ---------------------------------------------------------------------------------------

TEST_F(GridViewTest, AfterACountEveryObjectHasARowAndTheTableEndsWithTheirSums)
{
    CObjDataDoc& doc = OpenTable();
    CDIB page;
    page.InitDIB(240, 120, 24);
    page.GetMat().setTo(cv::Scalar::all(200));
    const int radii[] = {6, 10, 15};
    const cv::Point centres[] = {{30, 30}, {120, 50}, {190, 80}};
    for (int i = 0; i < 3; ++i)
        cv::circle(page.GetMat(), centres[i], radii[i], cv::Scalar(50, 40, 30 + i), cv::FILLED, cv::LINE_8);
    CBV engine;
    engine.GetSettings().m_SegThres = CSegThres(RGB(80, 80, 80), RGB(240, 240, 240), CSegThres::modeDark);
    engine.GetSettings().m_FormThres.m_Type |= featureColors;
    CAOI2 aoi(CRect(0, 0, 240, 120));
    ASSERT_EQ(engine.Analyse(&page, &aoi, &doc, 0), 3);
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    const Rows rows = Cells(view);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(Column(view, "Index"), (std::vector<std::string>{"1", "2", "3", "Sum"}));
    // The objects' rows are the document's cells.
    for (int r = 0; r < 3; ++r) {
        for (size_t c = 0; c < rows[static_cast<size_t>(r)].size(); ++c)
            EXPECT_EQ(rows[static_cast<size_t>(r)][c], doc.GetCellText(r, static_cast<int>(c)).GetString()) << r << c;
    }
    double area = 0.0;
    double form = 0.0;
    for (int i = 0; i < 3; ++i) {
        const auto& object = dynamic_cast<const CObjData&>(*doc.GetAt(i));
        area += object.GetArea();
        form += object.GetFormFactor();
    }
    const std::vector<std::string>& sum = rows[3];
    EXPECT_EQ(sum[static_cast<size_t>(ColumnOf(view, "Area[Units]"))], FormatColumnValue(area).GetString());
    EXPECT_EQ(sum[static_cast<size_t>(ColumnOf(view, "Form"))], FormatColumnValue(form).GetString());
    EXPECT_EQ(sum[static_cast<size_t>(ColumnOf(view, "Red"))], "93.00"); // 30 + 31 + 32
    EXPECT_EQ(sum[static_cast<size_t>(ColumnOf(view, "Blue"))], "150.00");
    EXPECT_EQ(sum[static_cast<size_t>(ColumnOf(view, "PosX"))], "");
    EXPECT_EQ(doc.GetTitle(), "Count Result: 3");
    EXPECT_EQ(view.GetSummaryMode(), CGridView2::kSumRow);
}

TEST_F(GridViewTest, TrackTablesEndWithTheMeanSpeeds)
{
    CObjDataDoc& doc = OpenTable();
    const std::vector<CString> titles = {"Index", "Speed (VCL)", "Speed (VSL)", "Speed (VAP)"};
    doc.AddObject(new CTextRecord(CGridDoc2::kTypeTrack, titles, {"0", "2.5", "1", "4"}));
    doc.AddObject(new CTextRecord(CGridDoc2::kTypeTrack, titles, {"0", "3.5", "2", "0.5"}));
    auto* hidden = new CTextRecord(CGridDoc2::kTypeTrack, titles, {"0", "100", "100", "100"});
    hidden->m_ClassColor = RGB(0, 0, 255);
    doc.AddObject(hidden);
    doc.SelectObject(2);
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    EXPECT_EQ(Cells(view), (Rows{{"1", "2.5", "1", "4"}, {"2", "3.5", "2", "0.5"}, {"Mean", "3.00", "1.50", "2.25"}}));
    EXPECT_EQ(view.GetSummaryMode(), CGridView2::kMeanRow);
    // Track rows show their class colour in the "Class" column, when there is one.
    EXPECT_EQ(view.GetList().GetRowData(0), 255u);
}

TEST_F(GridViewTest, HiddenRecordsAndColumnsLeaveNoRowsAndNoCells)
{
    Configure("Form", "0");
    Configure("Index", "0");
    Configure("PosYWidth", "77");
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {100, 200, 300, 400});
    doc.SelectObject(1);
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    // "Index" stays: the rows find their records by their numbers.
    EXPECT_EQ(Headings(view),
              (std::vector<std::string>{"Index", "PosX", "PosY", "Area[Units]", "Red", "Green", "Blue", "Class"}));
    EXPECT_EQ(Column(view, "PosX"), (std::vector<std::string>{"0", "20", "30", ""}));
    EXPECT_EQ(Column(view, "Area[Units]"), (std::vector<std::string>{"100.00", "300.00", "400.00", "800.00"}));
    EXPECT_EQ(view.GetList().GetColumnWidth(ColumnOf(view, "PosY")), 77);
    EXPECT_EQ(doc.GetTitle(), "Count Result: 3");

    // Without records the list has no columns; records again bring them back.
    doc.DeleteContents();
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(view.GetList().GetColumnCount(), 0);
    EXPECT_EQ(view.GetList().GetRowCount(), 0);
    AddObjects(doc, {5});
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(view.GetList().GetColumnCount(), 8);
    EXPECT_EQ(Cells(view).size(), 2u);
}

TEST_F(GridViewTest, ColumnsOfNumbersFitTheirValuesUnlessTheConfigurationGaveAWidth)
{
    // Narrower than its numbers, wider than the narrowest section.
    Configure("GreenWidth", "27");
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {123456, 200});
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    const CMyListCtrl& list = view.GetList();
    const QFontMetrics metrics(view.GetList().GetWidget()->font());
    for (const char* title : {"Index", "PosX", "PosY", "Area[Units]", "Red", "Blue"}) {
        const int column = ColumnOf(view, title);
        int widest = 0;
        for (const std::string& cell : Column(view, title))
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(cell)));
        EXPECT_GE(list.GetColumnWidth(column), widest + (column == 0 ? 2 * 2 : 2 * 6)) << title;
    }
    EXPECT_EQ(list.GetColumnWidth(ColumnOf(view, "Green")), 27);
}

TEST_F(GridViewTest, ASingleTrackShowsExactlyItsFrames)
{
    CObjDataDoc& doc = OpenTable();
    doc.m_bSingleTrack = 1;
    doc.AddObject(new CTestTrack(3));
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    EXPECT_EQ(Cells(view), (Rows{{"1", "0", "0,5"}, {"2", "10", "1,5"}, {"3", "20", "2,5"}}));

    // A series shows the values written, not the rest of its array.
    doc.DeleteContents();
    auto* series = new CDataArray(CDataArray::typeDouble);
    series->SetSize(10);
    series->SetX0(100.0);
    series->SetDX(2.5);
    for (const double value : {1.5, -2.0, 0.125})
        series->AddDouble(value);
    doc.AddObject(series);
    doc.m_Titles.Add("Index");
    doc.m_Titles.Add("X");
    doc.m_Titles.Add("Value");
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(Cells(view), (Rows{{"1", "100", "1.500"}, {"2", "102", "-2.000"}, {"3", "105", "0.125"}}));
}

// ---- the selection shared with the image views --------------------------------------------------

TEST_F(GridViewTest, APickedObjectSelectsTheRowOfItsNumber)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20, 30, 40, 50, 60, 70});
    doc.SelectObject(1);
    doc.SelectObject(3);
    doc.SelectObject(6);
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    CMyListCtrl& list = view.GetList();
    const UINT hitObject = RegisterWindowMessage("HIT_OBJECT");

    // Records 0, 2 and 4 are shown before record 5: its row is number 4.
    m_main->SendMessageToDescendants(hitObject, 5, reinterpret_cast<LPARAM>(&m_child));
    ASSERT_EQ(list.GetSelectedRow(), 3);
    EXPECT_EQ(list.GetCellText(3, 0), "4");
    // The image views know the object already: nothing comes back.
    EXPECT_TRUE(GridSelections().empty());

    struct Ignored
    {
        WPARAM wParam;
        LPARAM lParam;
    };
    const Ignored ignored[] = {
        {static_cast<WPARAM>(-1), 0},                     // no object
        {0, reinterpret_cast<LPARAM>(&view)},              // from the view itself
        {6, 0},                                            // hidden, after the last shown record
        {99, 0},                                           // no such record
    };
    for (const Ignored& message : ignored) {
        view.SendMessage(hitObject, message.wParam, message.lParam);
        EXPECT_EQ(list.GetSelectedRow(), 3) << message.wParam;
    }
    // The hidden record 3 finds the next shown one.
    view.SendMessage(hitObject, 3, 0);
    EXPECT_EQ(list.GetCellText(list.GetSelectedRow(), 0), "3");
}

TEST_F(GridViewTest, ASelectedRowPostsGridSelectedWithItsRecord)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {40, 10, 30, 20});
    doc.SelectObject(2);
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    CMyListCtrl& list = view.GetList();
    // Sorted by area, descending: rows 40, 20, 10, then the sum.
    const int area = ColumnOf(view, "Area[Units]");
    list.SortByColumn(area);
    list.SortByColumn(area);
    ASSERT_EQ(Column(view, "Area[Units]"), (std::vector<std::string>{"40.00", "20.00", "10.00", "70.00"}));

    list.SelectItem(1);
    ASSERT_EQ(GridSelections().size(), 1u);
    const auto selected = static_cast<int>(GridSelections().back());
    // The row-th shown record is the one the row shows.
    EXPECT_EQ(doc.GetUnselectedAt(selected), doc.GetAt(3));
    EXPECT_EQ(m_child.m_log.Of("GridSelected").back().lParam, DocParam(doc));

    // Closing the table tells the image views that no row is selected.
    view.GetParentFrame()->DestroyWindow();
    EXPECT_EQ(GridSelections().back(), static_cast<WPARAM>(-1));
}

TEST_F(GridViewTest, AfterASortTheSelectedRowStillShowsTheSameObject)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {40, 10, 30, 20});
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    CMyListCtrl& list = view.GetList();
    // The object with the area 30, picked in the image.
    m_main->SendMessageToDescendants(RegisterWindowMessage("HIT_OBJECT"), 2, reinterpret_cast<LPARAM>(&m_child));
    const int area = ColumnOf(view, "Area[Units]");
    ASSERT_EQ(list.GetCellText(list.GetSelectedRow(), area), "30.00");

    // Ascending, then descending: the row moves, the selection with it.
    for (const int row : {2, 1}) {
        list.SortByColumn(area);
        ASSERT_EQ(list.GetSelectedRow(), row);
        EXPECT_EQ(list.GetCellText(row, 0), "3");
        EXPECT_EQ(list.GetCellText(row, area), "30.00");
    }
    // The image shows that object already.
    EXPECT_TRUE(GridSelections().empty());
}

TEST_F(GridViewTest, TheKeysMoveTheRowAndTheImageFollows)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {40, 10, 30, 20});
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    CMyListCtrl& list = view.GetList();
    m_main->SendMessageToDescendants(RegisterWindowMessage("HIT_OBJECT"), 1, reinterpret_cast<LPARAM>(&m_child));
    ASSERT_EQ(list.GetSelectedRow(), 1);

    // The focus the table's window gives its view goes on to the list.
    QWidget* keys = list.GetWidget();
    QApplication::setActiveWindow(keys->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(keys->window()));
    view.SetFocus();
    ASSERT_EQ(QApplication::focusWidget(), keys);

    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        WPARAM selected; // the record the image views are told of
    };
    const Key presses[] = {
        {Qt::Key_Down, {}, 2},
        {Qt::Key_Up, {}, 1},
        {Qt::Key_Home, {}, 0},
        {Qt::Key_End, Qt::ControlModifier, static_cast<WPARAM>(-1)}, // the sum row is no object
        {Qt::Key_Up, {}, 3},
    };
    for (const Key& press : presses) {
        QTest::keyClick(keys, press.key, press.modifiers);
        ASSERT_FALSE(GridSelections().empty());
        EXPECT_EQ(GridSelections().back(), press.selected) << press.key;
    }
    EXPECT_EQ(GridSelections().size(), std::size(presses));
}

// ---- the class edit -----------------------------------------------------------------------------

TEST_F(GridViewTest, AClassEditReachesTheRecordTheRowShows)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20, 30, 40});
    doc.SelectObject(0);
    doc.SelectObject(1);
    doc.UpdateAllViews(nullptr);
    doc.SetModifiedFlag(FALSE);
    CGridView2& view = ViewOf(doc);
    CMyListCtrl& list = view.GetList();
    const UINT gridDataChanged = RegisterWindowMessage("GridDataChanged");
    const auto classOf = [&](int i) { return doc.GetAt(i)->m_dClass; };

    // Row 2 shows record 3, not record 1.
    list.SetCursor(1, ColumnOf(view, "Class"));
    list.SetCursorText("4.7");
    view.SendMessage(gridDataChanged);
    EXPECT_EQ(classOf(3), 4);
    EXPECT_EQ(classOf(1), 0);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(m_child.m_log.Of("DataChanged").size(), 1u);
    EXPECT_EQ(m_child.m_log.Of("DataChanged")[0].lParam, DocParam(doc));
    EXPECT_TRUE(m_boxes->Beeps().empty());

    // Another column beeps; the summary row names no record.
    list.SetCursor(0, ColumnOf(view, "PosX"));
    view.SendMessage(gridDataChanged);
    EXPECT_EQ(m_boxes->Beeps().size(), 1u);
    list.SetCursor(2, ColumnOf(view, "Class"));
    list.SetCursorText("9");
    view.SendMessage(gridDataChanged);
    EXPECT_EQ(m_boxes->Beeps().size(), 1u);
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 1u);
    EXPECT_EQ(classOf(2), 0);
    EXPECT_EQ(classOf(3), 4);
}

TEST_F(GridViewTest, ACellEditedInPlaceChangesTheClass)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20, 30});
    doc.SelectObject(0);
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);

    EXPECT_FALSE(view.EditCell(0, ColumnOf(view, "PosX")));
    EXPECT_FALSE(view.EditCell(2, ColumnOf(view, "Class"))); // the summary row
    ASSERT_TRUE(view.EditCell(1, ColumnOf(view, "Class")));
    auto* editor = view.GetList().GetWidget()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Cell");
    editor->selectAll();
    QTest::keyClicks(editor, "3");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();

    EXPECT_EQ(doc.GetAt(2)->m_dClass, 3);
    EXPECT_EQ(doc.GetAt(1)->m_dClass, 0);
    EXPECT_EQ(view.GetList().GetCellText(1, ColumnOf(view, "Class")), "3");
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 1u);
    EXPECT_EQ(view.GetList().GetWidget()->findChild<QLineEdit*>(), nullptr);
}

// ---- configuration ------------------------------------------------------------------------------

class ConfigurationSheet
{
public:
    // Runs the steps on the sheet once it is shown, then presses the button.
    ConfigurationSheet(std::function<void(QWidget&)> steps, const char* button)
    {
        QTimer::singleShot(0, [steps = std::move(steps), button] {
            QWidget* sheet = QApplication::activeModalWidget();
            ASSERT_NE(sheet, nullptr);
            steps(*sheet);
            for (auto* push : sheet->findChildren<QPushButton*>()) {
                if (push->text() == button) {
                    push->click();
                    return;
                }
            }
            ADD_FAILURE() << "no button " << button;
        });
    }

    static void Deselect(QWidget& sheet, int page, const char* entry)
    {
        sheet.findChild<QTabBar*>()->setCurrentIndex(page);
        for (auto* list : sheet.findChildren<QListWidget*>()) {
            if (!list->isVisible())
                continue;
            for (auto* item : list->findItems(entry, Qt::MatchExactly))
                item->setSelected(false);
        }
    }
};

TEST_F(GridViewTest, TheColumnConfigurationRoundTrips)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20});
    doc.m_nWhatToDraw = 0x100 | 0x43;
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);

    // Cancelled: nothing changes.
    ConfigurationSheet cancelled([](QWidget& sheet) { ConfigurationSheet::Deselect(sheet, 0, "Form"); }, "Cancel");
    view.SendMessage(WM_COMMAND, ID_TABLE_CONFIGURATION);
    EXPECT_NE(ColumnOf(view, "Form"), -1);

    ConfigurationSheet accepted(
        [](QWidget& sheet) {
            ConfigurationSheet::Deselect(sheet, 0, "Form");
            ConfigurationSheet::Deselect(sheet, 1, "Contour");
        },
        "OK");
    view.SendMessage(WM_COMMAND, ID_TABLE_CONFIGURATION);
    EXPECT_EQ(ColumnOf(view, "Form"), -1);
    EXPECT_EQ(Column(view, "Area[Units]"), (std::vector<std::string>{"10.00", "20.00", "30.00"}));
    // The options the page does not show stay.
    EXPECT_EQ(doc.m_nWhatToDraw, 0x100 | 0x41);
    // The next count reads the configuration again and keeps the choice.
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(ColumnOf(view, "Form"), -1);

    view.GetList().SetColumnWidth(ColumnOf(view, "Area[Units]"), 123);
    view.GetParentFrame()->DestroyWindow();
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "Form", 1, ConfigPath()), 0u);
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "Area[Units]Width", 0, ConfigPath()), 123u);

    CObjDataDoc& again = OpenTable();
    AddObjects(again, {10, 20});
    again.UpdateAllViews(nullptr);
    CGridView2& next = ViewOf(again);
    EXPECT_EQ(ColumnOf(next, "Form"), -1);
    EXPECT_EQ(next.GetList().GetColumnWidth(ColumnOf(next, "Area[Units]")), 123);
}

// ---- copy and print -----------------------------------------------------------------------------

TEST_F(GridViewTest, CopyPutsTheShownTableOnTheClipboardTabSeparated)
{
    Configure("Form", "0");
    Configure("Red", "0");
    Configure("Green", "0");
    Configure("Blue", "0");
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20});
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);

    view.SendMessage(WM_COMMAND, ID_EDIT_COPY);
    CString heading = "Area[Units]";
    ReplaceUnitsTag(heading);
    EXPECT_EQ(kestrun::GetClipboardText(), "Index\tPosX\tPosY\t" + heading +
                                               "\tClass\n"
                                               "1\t0\t0\t10.00\tCell\n"
                                               "2\t10\t5\t20.00\tCell\n"
                                               "Sum\t\t\t30.00\t\n");
}

TEST_F(GridViewTest, PrintingScalesTheRowsToThePrinter)
{
    CObjDataDoc& doc = OpenTable();
    AddObjects(doc, {10, 20});
    doc.UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(doc);
    CFrameWnd* frame = view.GetParentFrame();
    frame->MoveWindow(0, 0, 600, 300);
    QCoreApplication::processEvents();

    CRecordingDC printer;
    const int screenDpi = view.GetList().GetWidget()->logicalDpiX();
    printer.SetResolution(4 * screenDpi, 4 * screenDpi);
    CPrintInfo info;
    view.OnPrint(&printer, &info);
    const CDCRecord* sum = nullptr;
    for (const CDCRecord& record : printer.Records()) {
        if (record.op == "DrawText" && record.text == "Sum")
            sum = &record;
    }
    ASSERT_NE(sum, nullptr);
    // The list's rows, four times as large on the printer.
    CRect row;
    view.GetList().GetItemRect(2, &row, 0);
    EXPECT_NEAR(sum->points[0].y, 4 * row.top, 4);
    EXPECT_NEAR(sum->points[1].y, 4 * row.bottom, 4);

    const std::filesystem::path file = m_folder / "table.pdf";
    ASSERT_TRUE(kestrun::PrintViewToPdf(view, CString(file.c_str())));
    std::ifstream in(file, std::ios::binary);
    const std::string pdf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
}

TEST_F(GridViewTest, AreaRowsShowAClassRowPerLearnedClassThenTheirOwnInRed)
{
    CGridDoc2* doc = &OpenTable();
    for (const int pixels : {10, 20}) {
        auto area = std::make_unique<CAOIStat>();
        area->AddClass(RGB(0, 200, 0), "Leaf");
        area->AddClass(RGB(0, 0, 200), "Sky");
        area->ResetTotals();
        for (int k = 0; k < pixels / 5; ++k)
            area->AddPixel(k, 0, RGB(0, 100, 0), 1);
        area->AddPixel(0, 1, RGB(9, 9, 9), 0);
        area->SetTotals(static_cast<DWORD>(pixels), RGB(1, 2, 3), 3, 30);
        area->FinishStatistics();
        doc->AddObject(area.release());
    }
    doc->UpdateAllViews(nullptr);
    CGridView2& view = ViewOf(*doc);
    EXPECT_EQ(Column(view, "Index"), (std::vector<std::string>{"1", "", "", "", "2", "", "", ""}));
    EXPECT_EQ(Column(view, "Class"),
              (std::vector<std::string>{"---", "Leaf", "Sky", "Normal", "---", "Leaf", "Sky", "Normal"}));
    EXPECT_EQ(Column(view, "ROI Area[Units]"),
              (std::vector<std::string>{"10.00", "2.00", "0.00", "1.00", "20.00", "4.00", "0.00", "1.00"}));
    EXPECT_EQ(Column(view, "Object"), (std::vector<std::string>{"30%", "20%", "0%", "10%", "30%", "20%", "0%", "5%"}));
    EXPECT_EQ(Column(view, "Homogenity")[1], "---");
    std::vector<DWORD_PTR> colours;
    for (int r = 0; r < 4; ++r)
        colours.push_back(view.GetList().GetRowData(r));
    EXPECT_EQ(colours, (std::vector<DWORD_PTR>{255, RGB(0, 200, 0), RGB(0, 0, 200), 255}));

    // A defect row: the table writes its cells.
    doc->DeleteContents();
    auto defect = std::make_unique<CDefect>();
    defect->SetDefect(12, 34, 5.678);
    doc->AddObject(defect.release());
    doc->UpdateAllViews(nullptr);
    EXPECT_EQ(Cells(view), (Rows{{"1", "12", "34", "5.68"}}));
}

// ---- templates ----------------------------------------------------------------------------------

TEST_F(GridViewTest, TemplatesShowTableDocumentsOnly)
{
    const auto objects = kestrun::MakeTableTemplate(kTableResource, RUNTIME_CLASS(CGridDoc2),
                                                    kestrun::ETableFrame::MdiChild);
    EXPECT_EQ(objects->m_pViewClass, RUNTIME_CLASS(CGridView2));
    EXPECT_EQ(objects->m_pFrameClass, RUNTIME_CLASS(CMDIChildWnd));
    EXPECT_EQ(m_template->m_pFrameClass, RUNTIME_CLASS(CGridFrame));
    EXPECT_THROW(kestrun::MakeTableTemplate(kTableResource, RUNTIME_CLASS(CDocument), kestrun::ETableFrame::MdiChild),
                 CInvalidArgException);
}

// ---- cell tracks ----

// A track of three frames with the speeds and WHO class given.
CTrack* NewTrack(double vcl, double vsl, double vap, int who)
{
    auto* track = new CTrack;
    track->SetSize(3);
    const WORD xs[3] = {10, 13, 13};
    const WORD ys[3] = {20, 24, 24};
    for (int k = 0; k < 3; ++k) {
        C3DTrackElement2009 e;
        e.m_dwTime = static_cast<DWORD>(1000 + 40 * k);
        e.m_wX = xs[k];
        e.m_wY = ys[k];
        e.m_dwArea = 50;
        e.m_wPerimeter = 30;
        track->AddPoint(e, static_cast<WORD>(k), 1);
    }
    track->m_dVCL = vcl;
    track->m_dVSL = vsl;
    track->m_dVAP = vap;
    track->m_nWHOClass = who;
    track->m_dDistance = 7.0;
    track->m_dRadius = 2.5;
    return track;
}

TEST_F(GridViewTest, OneRowPerTrackThenTheMeanSpeeds)
{
    CObjDataDoc& doc = OpenTable();
    doc.AddObject(NewTrack(10.0, 5.0, 8.0, 5));
    doc.AddObject(NewTrack(20.0, 4.0, 6.0, 3));
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    EXPECT_EQ(Headings(view),
              (std::vector<std::string>{"Index", "Frames", "Distance [Units]", "Speed (VCL)", "Speed (VSL)",
                                        "Speed (VAP)", "Linearity", "Radius", "WHO Class", "Hyperact./Trans.",
                                        "BCF (1/s)", "Wobble", "ALH   ", "Short Stop", "Long Stop"}));
    const Rows rows = Cells(view);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "2", "7.00", "10.00", "5.00", "8.00", "50.0%", "2.50", "a", "",
                                                  "0.00", "0.80", "0.00", "0", "0"}));
    EXPECT_EQ(rows[1][0], "2");
    EXPECT_EQ(rows[1][6], "20.0%");
    EXPECT_EQ(rows[1][8], "c");
    EXPECT_EQ(rows[2][0], "Mean");
    EXPECT_EQ(rows[2][3], "15.00");
    EXPECT_EQ(rows[2][4], "4.50");
    EXPECT_EQ(rows[2][5], "7.00");
    EXPECT_EQ(view.GetSummaryMode(), CGridView2::kMeanRow);
}

TEST_F(GridViewTest, SingleTrackModeShowsOneRowPerFrame)
{
    CObjDataDoc& doc = OpenTable();
    doc.m_bSingleTrack = 1;
    doc.AddObject(NewTrack(10.0, 5.0, 8.0, 5));
    doc.AddObject(NewTrack(20.0, 4.0, 6.0, 3));
    doc.SetCurrentIndex(1);
    doc.UpdateAllViews(nullptr);

    CGridView2& view = ViewOf(doc);
    EXPECT_EQ(Headings(view),
              (std::vector<std::string>{"Index", "Frame", "Time[ms]", "PosX", "PosY", "PosZ", "Area[Units]", "Form",
                                        "Distance [Pixel]", "Distance [Units]", "Angle", "MainAxis", "GreenEven",
                                        "GreenOdd"}));
    const Rows rows = Cells(view);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "0", "1000", "10", "20", "0", "50", "1.43", "0.00", "0.00", "0",
                                                  "0", "0", "0"}));
    EXPECT_EQ(rows[1][1], "1");
    EXPECT_EQ(rows[1][2], "1040");
    EXPECT_EQ(rows[1][8], "5.00");
    EXPECT_EQ(rows[2][8], "0.00");
}

} // namespace
