// The owned record list: ownership, selection flags and index checks.

#include "series/datadoc.h"
#include "series/griddoc2.h"
#include "series/tests/seriestesting.h"

#include <functional>

namespace {

using kestrun::testing::CCountedRecord;
using kestrun::testing::CTextRecord;

// Five records, named "0" to "4".
class DataDocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 5; ++i) {
            auto* record = new CCountedRecord(m_destroyed);
            record->m_strClassName = FormatString("%d", i);
            m_doc.AddObject(record);
        }
    }

    std::vector<CString> Names() const
    {
        std::vector<CString> names;
        for (int i = 0; i < m_doc.GetCount(); ++i)
            names.push_back(m_doc.GetAt(i)->m_strClassName);
        return names;
    }

    int m_destroyed = 0;
    CDataDoc m_doc;
};

TEST_F(DataDocTest, SelectedRecordsLeaveTheUnselectedOnes)
{
    EXPECT_EQ(m_doc.SelectObject(1), 1);
    EXPECT_EQ(m_doc.SelectObject(3), 3);
    EXPECT_TRUE(m_doc.IsSelected(1));
    EXPECT_EQ(m_doc.CountUnselected(), 3);
    EXPECT_EQ(m_doc.GetUnselectedAt(0)->m_strClassName, "0");
    EXPECT_EQ(m_doc.GetUnselectedAt(1)->m_strClassName, "2");
    EXPECT_EQ(m_doc.GetUnselectedAt(2)->m_strClassName, "4");
    EXPECT_THROW(m_doc.GetUnselectedAt(3), CInvalidArgException);
    EXPECT_EQ(m_doc.FindNthUnselected(1), 2);
    EXPECT_EQ(m_doc.FindNthUnselected(5), 0);

    // Records 0, 2 and 4 are shown before index 5.
    EXPECT_EQ(m_doc.CountUnselectedBefore(5), 3);
    EXPECT_EQ(m_doc.CountUnselectedBefore(2), 1);
    EXPECT_EQ(m_doc.CountUnselectedBefore(0), 0);
    EXPECT_EQ(m_doc.CountUnselectedBefore(-3), 0);
    EXPECT_THROW(m_doc.CountUnselectedBefore(6), CInvalidArgException);

    EXPECT_EQ(m_doc.DeselectObject(3), 3);
    EXPECT_EQ(m_doc.CountUnselected(), 4);
    // The flag goes with its record when an earlier one is deleted.
    m_doc.DeleteObject(0);
    EXPECT_TRUE(m_doc.IsSelected(0));
    EXPECT_EQ(m_doc.GetUnselectedAt(0)->m_strClassName, "2");
}

TEST_F(DataDocTest, RemovedAndReplacedRecordsGoBackToTheCallerDeletedOnesAreGone)
{
    std::unique_ptr<CBaseObj> removed(m_doc.RemoveObject(1));
    EXPECT_EQ(removed->m_strClassName, "1");
    EXPECT_EQ(m_destroyed, 0);

    m_doc.SelectObject(0);
    auto* replacement = new CCountedRecord(m_destroyed);
    std::unique_ptr<CBaseObj> replaced(m_doc.SetAt(0, replacement));
    EXPECT_EQ(replaced->m_strClassName, "0");
    EXPECT_EQ(m_doc.GetAt(0), replacement);
    // A new record comes in shown.
    EXPECT_FALSE(m_doc.IsSelected(0));
    EXPECT_EQ(m_destroyed, 0);

    m_doc.DeleteObject(1);
    EXPECT_EQ(m_destroyed, 1);
    EXPECT_EQ(Names(), (std::vector<CString>{"", "3", "4"}));
    m_doc.DeleteContents();
    EXPECT_EQ(m_doc.GetCount(), 0);
    EXPECT_EQ(m_destroyed, 4);
}

TEST_F(DataDocTest, TheCurrentIndexIsLoweredToTheLastRecord)
{
    EXPECT_EQ(m_doc.GetCurrentIndex(), -1);
    m_doc.SetCurrentIndex(3);
    EXPECT_EQ(m_doc.GetCurrentIndex(), 3);
    m_doc.SetCurrentIndex(9);
    EXPECT_EQ(m_doc.GetCurrentIndex(), 4);
    m_doc.DeleteContents();
    EXPECT_EQ(m_doc.GetCurrentIndex(), -1);
}

TEST(DataDocEngineTest, TheEnginesRecordsGoThroughTheTablesOwnAdd)
{
    CGridDoc2 table;
    IResultDocument& results = table;
    results.AddObject(std::make_unique<CTextRecord>(7, std::vector<CString>{"Frame"}, std::vector<CString>{"1"}));
    results.AddObject(std::make_unique<CTextRecord>(5, std::vector<CString>{"Index"}, std::vector<CString>{"2"}));
    EXPECT_EQ(results.GetObjectCount(), 2);
    EXPECT_EQ(results.GetObjectAt(1), table.GetAt(1));
    EXPECT_EQ(table.m_nFirstType, 7);
    EXPECT_THROW(results.GetObjectAt(2), CInvalidArgException);
    EXPECT_THROW(results.AddObject(nullptr), CInvalidArgException);
    EXPECT_EQ(table.GetCount(), 2);
}

struct IndexCall
{
    const char* name;
    std::function<void(CDataDoc&, int)> call;
};

TEST_F(DataDocTest, EveryIndexOutsideTheListIsAnInvalidArgumentAndChangesNothing)
{
    const std::vector<IndexCall> calls = {
        {"GetAt", [](CDataDoc& d, int i) { d.GetAt(i); }},
        {"DeleteObject", [](CDataDoc& d, int i) { d.DeleteObject(i); }},
        {"SelectObject", [](CDataDoc& d, int i) { d.SelectObject(i); }},
        {"DeselectObject", [](CDataDoc& d, int i) { d.DeselectObject(i); }},
        {"RemoveObject", [](CDataDoc& d, int i) { d.RemoveObject(i); }},
        {"IsSelected", [](CDataDoc& d, int i) { d.IsSelected(i); }},
        {"SetAt", [this](CDataDoc& d, int i) {
             auto record = std::make_unique<CCountedRecord>(m_destroyed);
             d.SetAt(i, record.get());
             record.release();
         }},
    };
    for (const IndexCall& call : calls) {
        for (const int index : {-1, 5}) {
            EXPECT_THROW(call.call(m_doc, index), CInvalidArgException) << call.name << " " << index;
            EXPECT_EQ(m_doc.GetCount(), 5) << call.name;
            EXPECT_EQ(m_doc.CountUnselected(), 5) << call.name;
        }
    }
    // Only the records the failed SetAt calls did not take are gone.
    EXPECT_EQ(m_destroyed, 2);
    EXPECT_THROW(m_doc.AddObject(nullptr), CInvalidArgException);
    EXPECT_THROW(m_doc.SetAt(0, nullptr), CInvalidArgException);
    EXPECT_EQ(m_doc.GetCount(), 5);
}

} // namespace
