#pragma once
// What the table tests share: a main window whose child records the
// registered messages the tables broadcast, answered file dialogs, a
// scratch folder, and records made to measure.

#include "analysis/objdata.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"
#include "series/griddoc2.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kestrun::testing {

struct CMessageRecord
{
    CString name; // the registered message's name
    WPARAM wParam;
    LPARAM lParam;
};

// A window that keeps the registered messages of the tables.
class CMessageLog
{
public:
    void Record(UINT message, WPARAM wParam, LPARAM lParam);
    // The messages of one name, in order.
    std::vector<CMessageRecord> Of(const char* name) const;

    std::vector<CMessageRecord> m_messages;
};

class CRecordingFrame : public CFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CMessageLog m_log;
};

class CRecordingChild : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CMessageLog m_log;
};

// A cell track: frames of (x, y) positions, record type 7.
class CTestTrack : public CBaseObj
{
public:
    explicit CTestTrack(int frames);
    int GetRowCount() const override { return m_nFrames; }
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    CString GetColumnValuesAt(int row, int column) override;

    int m_nFrames;
};

// A record of ready texts under its own titles.
class CTextRecord : public CBaseObj
{
public:
    CTextRecord(WORD type, std::vector<CString> titles, std::vector<CString> values);
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;

    std::vector<CString> m_titles;
    std::vector<CString> m_values;
};

// A record that counts its destruction.
class CCountedRecord : public CBaseObj
{
public:
    explicit CCountedRecord(int& destroyed) : m_destroyed(destroyed) {}
    ~CCountedRecord() override { ++m_destroyed; }

    int& m_destroyed;
};

class CSeriesTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    CString PathOf(const char* name) const;
    std::string ReadFile(const char* name) const;
    // The next file dialog is answered with this path (or cancelled with an
    // empty one); the dialog is kept for the test to look at.
    void AnswerFileDialog(const CString& path);

    // An object record with the given column flags and measures.
    static std::unique_ptr<CObjData> MakeObject(DWORD columns, CPoint centroid, CRect rect, LONG area);
    CString ConfigPath() const;

    ScopedMessageBoxes m_boxes;
    CWinApp m_app{"SeriesTest"};
    CRecordingFrame* m_main = nullptr;
    CRecordingChild m_child;
    std::filesystem::path m_folder;

    CString m_strAnswer;
    bool m_bDialogShown = false;
    CString m_strDialogFileName;
    CString m_strDialogTitle;
    CString m_strDialogFilter;
    CommonDialogHandler m_previousHandler;
};

// An object traced around the closed outline through the vertices.
std::unique_ptr<CObjData> MakeOutlinedObject(std::initializer_list<POINT> vertices);

} // namespace kestrun::testing
