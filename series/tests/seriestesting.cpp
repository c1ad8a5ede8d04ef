#include "series/tests/seriestesting.h"

#include "analysis/kontur8.h"
#include "objectmodel/rpolygon.h"
#include "platform/core/exceptions.h"
#include "platform/core/messages.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

namespace kestrun::testing {

namespace {

constexpr const char* kTableMessages[] = {"DataChanged", "GridSelected", "DELETE_DOCUMENT", "Message RunMacro "};

} // namespace

void CMessageLog::Record(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const char* name : kTableMessages) {
        if (message == RegisterWindowMessage(name))
            m_messages.push_back(CMessageRecord{name, wParam, lParam});
    }
}

std::vector<CMessageRecord> CMessageLog::Of(const char* name) const
{
    std::vector<CMessageRecord> found;
    for (const CMessageRecord& record : m_messages) {
        if (record.name == name)
            found.push_back(record);
    }
    return found;
}

LRESULT CRecordingFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_log.Record(message, wParam, lParam);
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT CRecordingChild::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_log.Record(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

CTestTrack::CTestTrack(int frames) : m_nFrames(frames)
{
    m_ID = 7;
}

void CTestTrack::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    titles.Add("Frame");
    titles.Add("X");
    titles.Add("Y");
}

CString CTestTrack::GetColumnValues(int column)
{
    return FormatString("track%d", column);
}

CString CTestTrack::GetColumnValuesAt(int row, int column)
{
    return column == 1 ? FormatString("%d", 10 * row) : FormatString("%d,5", row);
}

CTextRecord::CTextRecord(WORD type, std::vector<CString> titles, std::vector<CString> values)
    : m_titles(std::move(titles)), m_values(std::move(values))
{
    m_ID = type;
}

void CTextRecord::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    for (const CString& title : m_titles)
        titles.Add(title);
}

CString CTextRecord::GetColumnValues(int column)
{
    if (column < 0 || column >= static_cast<int>(m_values.size()))
        AfxThrowInvalidArgException();
    return m_values[static_cast<size_t>(column)];
}

void CSeriesTest::SetUp()
{
    const char* root = std::getenv("KESTRUN_DATA_ROOT");
    ASSERT_NE(root, nullptr);
    m_folder = std::filesystem::path(root) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    // Every test starts without a column configuration.
    std::filesystem::remove(ConfigPath().GetString());

    m_main = new CRecordingFrame;
    ASSERT_TRUE(m_main->Create(nullptr, "Series Test"));
    m_app.m_pMainWnd = m_main;
    ASSERT_TRUE(m_child.Create(nullptr, "Child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), m_main, 1));

    m_previousHandler = SetCommonDialogHandler([this](CCommonDialog& dialog) -> INT_PTR {
        auto* file = dynamic_cast<CFileDialog*>(&dialog);
        if (file == nullptr)
            return IDCANCEL;
        m_bDialogShown = true;
        m_strDialogFileName = file->InitialFileName();
        m_strDialogTitle = file->m_ofn.lpstrTitle ? file->m_ofn.lpstrTitle : "";
        m_strDialogFilter = file->Filter();
        if (m_strAnswer.IsEmpty())
            return IDCANCEL;
        file->SetResult({m_strAnswer});
        return IDOK;
    });
}

void CSeriesTest::TearDown()
{
    SetCommonDialogHandler(m_previousHandler);
    m_child.DestroyWindow();
    if (m_app.m_pMainWnd)
        m_app.m_pMainWnd->DestroyWindow();
    PumpMessages();
}

CString CSeriesTest::PathOf(const char* name) const
{
    return (m_folder / name).c_str();
}

std::string CSeriesTest::ReadFile(const char* name) const
{
    std::ifstream in(m_folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CSeriesTest::AnswerFileDialog(const CString& path)
{
    m_strAnswer = path;
    m_bDialogShown = false;
}

CString CSeriesTest::ConfigPath() const
{
    const std::filesystem::path root(std::getenv("KESTRUN_DATA_ROOT"));
    return CString((root / "Tarvex AV/Halvorn/GridConfig.ini").c_str());
}

std::unique_ptr<CObjData> CSeriesTest::MakeObject(DWORD columns, CPoint centroid, CRect rect, LONG area)
{
    auto object = std::make_unique<CObjData>();
    object->m_Type = columns;
    object->m_ptCentroid = centroid;
    object->m_Rect = rect;
    object->m_lArea = area;
    return object;
}

std::unique_ptr<CObjData> MakeOutlinedObject(std::initializer_list<POINT> vertices)
{
    CRPointArray corners;
    for (const POINT& p : vertices)
        corners.Add(p);
    CRPolygon outline;
    outline.SetFromVertices(corners);
    CKontur8 tracer(outline);
    tracer.CalcChainMeasures();
    auto object = std::make_unique<CObjData>();
    object->m_Type = CObjData::colPosX | CObjData::colPosY | CObjData::colArea;
    object->SetFromContour(tracer);
    return object;
}

} // namespace kestrun::testing
