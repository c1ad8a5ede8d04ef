// Time marks and the run clock: which marks fire on which pass, the next
// due time and smallest interval, marks added or removed from a callback,
// the clock on an injected time, and the archive form (a damaged list is
// refused whole).

#include "series/timemark.h"

#include "platform/core/archive.h"
#include "platform/core/arrays.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr DWORD kNever = CTimeMarkList::kNever;

struct MarkSpec
{
    const char* name;
    DWORD start;
    DWORD interval;
    DWORD fired;
    DWORD latenessLimit;
};

struct Pass
{
    DWORD elapsed;
    std::string fired; // names called back, in order, joined by ','
    DWORD nextDue;
};

struct ScheduleCase
{
    const char* title;
    std::vector<MarkSpec> marks;
    std::vector<Pass> passes;
    DWORD minIntervalAfter;
};

void Record(void* context, CTimeMark* mark)
{
    auto& names = *static_cast<std::string*>(context);
    if (!names.empty())
        names += ',';
    names += mark->m_strName.GetString();
}

void Fill(CTimeMarkList& list, const std::vector<MarkSpec>& marks)
{
    for (const MarkSpec& m : marks)
        ASSERT_EQ(list.AddMark(m.name, m.start, m.interval, m.fired, m.latenessLimit), 1);
}

class TimeMarkScheduleTest : public testing::TestWithParam<ScheduleCase>
{
};

TEST_P(TimeMarkScheduleTest, FiresTheDueMarksInListOrderAndKeepsTheNextDueTime)
{
    const ScheduleCase& c = GetParam();
    CTimeMarkList list;
    Fill(list, c.marks);
    for (const Pass& pass : c.passes) {
        std::string names;
        list.Dispatch(pass.elapsed, Record, &names);
        EXPECT_EQ(names, pass.fired) << "at " << pass.elapsed;
        EXPECT_EQ(list.GetNextDue(), pass.nextDue) << "at " << pass.elapsed;
    }
    EXPECT_EQ(list.GetMinInterval(), c.minIntervalAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeMarkScheduleTest,
    testing::Values(
        ScheduleCase{"one-shot fires once, then neither lowers the next due time nor the smallest interval",
                     {{"Once", 100, 0, 0, 0}, {"Tick", 0, 1000, 0, 0}},
                     {{50, "Tick", 100}, {100, "Once", 1000}, {5000, "Tick", 2000}, {5000, "Tick", 3000}},
                     1000},
        ScheduleCase{"repeating marks fire in list order at start + fired x interval",
                     {{"On1", 0, 500, 0, 0}, {"Measure", 200, 500, 0, 0}, {"Off", 300, 500, 0, 0}},
                     {{0, "On1", 200},
                      {199, "", 200},
                      {300, "Measure,Off", 500},
                      {500, "On1", 700},
                      {800, "Measure,Off", 1000}},
                     500},
        ScheduleCase{"an overdue mark past its lateness limit counts as fired without a call",
                     {{"Late", 0, 1000, 0, 100}},
                     {{100, "Late", 1000}, {1101, "", 2000}, {2050, "Late", 3000}},
                     1000},
        ScheduleCase{"a late repeating mark catches up one interval per pass",
                     {{"Save", 0, 100, 0, 0}},
                     {{350, "Save", 100}, {350, "Save", 200}, {350, "Save", 300}, {350, "Save", 400}, {350, "", 400}},
                     100},
        ScheduleCase{"a due time beyond the clock's range never comes round again",
                     {{"Far", 0xFFFFFF00u, 0x100, 0, 0}},
                     {{0xFFFFFF00u, "Far", kNever}, {0xFFFFFFFEu, "", kNever}},
                     0x100},
        ScheduleCase{"no marks: nothing is due and the smallest interval is all ones", {}, {{0, "", kNever}}, kNever},
        ScheduleCase{"only fired one-shots: the smallest interval is all ones",
                     {{"A", 0, 0, 0, 0}, {"B", 10, 0, 0, 0}},
                     {{10, "A,B", kNever}},
                     kNever}),
    [](const testing::TestParamInfo<ScheduleCase>& info) { return "Case" + std::to_string(info.index); });

TEST(TimeMarkListTest, SmallestIntervalCountsUnfiredOneShotsAndRepeatingMarksOnly)
{
    struct Case
    {
        std::vector<MarkSpec> marks;
        DWORD expected;
    };
    const Case cases[] = {
        {{}, kNever},
        {{{"A", 0, 2000, 0, 0}, {"B", 0, 500, 3, 0}}, 500},
        {{{"Fired", 0, 0, 1, 0}, {"B", 0, 2000, 0, 0}}, 2000},
        {{{"Pending", 100, 0, 0, 0}, {"B", 0, 2000, 0, 0}}, 0},
        {{{"Fired", 0, 0, 1, 0}}, kNever},
    };
    for (const Case& c : cases) {
        CTimeMarkList list;
        Fill(list, c.marks);
        EXPECT_EQ(list.GetMinInterval(), c.expected) << c.marks.size() << " marks";
    }
}

TEST(TimeMarkListTest, RemoveMarkTakesOnlyTheFirstOfANameAndFindByNameTheFirstLeft)
{
    CTimeMarkList list;
    Fill(list, {{"Scanner", 0, 2000, 3, 0}, {"Measure", 100, 1000, 0, 0}, {"Scanner", 50, 2000, 1, 0}});
    EXPECT_EQ(list.FindByName("Scanner"), 6000u);
    EXPECT_EQ(list.GetNextDue(), 100u);

    list.RemoveMark("Scanner");
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0)->m_strName, "Measure");
    EXPECT_EQ(list.FindByName("Scanner"), 2050u);
    EXPECT_EQ(list.FindByName("Save"), 0u);

    list.RemoveMark("Measure");
    list.RemoveMark("Measure");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetNextDue(), 2050u);
    EXPECT_EQ(list.GetAt(1), nullptr);
}

TEST(TimeMarkListTest, ResetAllStartsEveryMarkAgain)
{
    CTimeMarkList list;
    Fill(list, {{"Once", 10, 0, 1, 0}, {"Tick", 20, 100, 7, 0}});
    list.ResetAll();
    EXPECT_EQ(list.GetNextDue(), 10u);
    EXPECT_EQ(list.FindByName("Tick"), 20u);
    EXPECT_EQ(list.GetMinInterval(), 0u);
}

// What the run's callback does with the marks: "On1" adds "Scanner",
// "Scanner" removes itself, "Stop" clears the whole list.
struct CEditingRun
{
    CTimeCtrlI* list;
    std::string names;
};

void EditMarks(void* context, CTimeMark* mark)
{
    auto& run = *static_cast<CEditingRun*>(context);
    Record(&run.names, mark);
    if (mark->m_strName == "On1")
        run.list->AddMark("Scanner", 0, 2000);
    else if (mark->m_strName == "Scanner")
        run.list->RemoveMark("Scanner");
    else if (mark->m_strName == "Stop")
        run.list->Clear();
}

TEST(TimeMarkListTest, MarksAddedByACallbackFireInTheSamePassAndRemovedOnesNeverAgain)
{
    CTimeCtrlI list;
    Fill(list, {{"Scanner", 0, 2000, 0, 0}, {"On1", 0, 1000, 0, 0}, {"Measure", 0, 1000, 0, 0}});
    CEditingRun run{&list, {}};

    list.Dispatch(0, EditMarks, &run);
    EXPECT_EQ(run.names, "Scanner,On1,Measure,Scanner");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.FindByName("Scanner"), 0u);
    EXPECT_EQ(list.GetNextDue(), 1000u);

    run.names.clear();
    list.Dispatch(1000, EditMarks, &run);
    EXPECT_EQ(run.names, "On1,Measure,Scanner");
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(TimeMarkListTest, ACallbackMayClearTheListItIsCalledFrom)
{
    CTimeCtrlI list;
    Fill(list, {{"Stop", 0, 100, 0, 0}, {"After", 0, 100, 0, 0}});
    CEditingRun run{&list, {}};
    list.Dispatch(0, EditMarks, &run);
    EXPECT_EQ(run.names, "Stop");
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetNextDue(), kNever);
}

TEST(TimeCtrlTest, TheRunClockCountsOnTheInjectedClock)
{
    kestrun::ManualClock clock(5000);
    CTimeCtrlI marks(clock);
    marks.AddMark("Measure", 100, 1000, 4);
    marks.SetRunTime(60000);

    marks.Start();
    EXPECT_EQ(marks.m_bRunning, 1);
    EXPECT_EQ(marks.m_nStartTick, 5000u);
    EXPECT_EQ(marks.GetNextDue(), 100u);
    clock.Advance(1234);
    EXPECT_EQ(marks.GetElapsed(), 1234u);
    marks.m_nFrozenTick = 5100;
    EXPECT_EQ(marks.GetElapsed(), 100u);

    marks.m_nWaiting = 12;
    marks.Stop();
    EXPECT_EQ(marks.m_nStartTick, 0u);
    EXPECT_EQ(marks.m_nWaiting, 0);
    EXPECT_EQ(marks.m_bRunning, 0);
    EXPECT_EQ(marks.GetRunTime(), 60000u);
    EXPECT_EQ(marks.GetCount(), 1);

    marks.Clear();
    EXPECT_EQ(marks.GetRunTime(), 0u);
    EXPECT_EQ(marks.m_nFrozenTick, 0);
    EXPECT_EQ(marks.GetCount(), 0);
    EXPECT_EQ(marks.GetNextDue(), kNever);
}

TEST(TimeCtrlTest, ElapsedTimeIsRightAcrossTheTickCounterWrap)
{
    kestrun::ManualClock clock(0xFFFFFF00u);
    CTimeCtrlI marks(clock);
    marks.Start();
    clock.Advance(0x200);
    EXPECT_EQ(marks.GetElapsed(), 0x200u);
}

// ------------------------------------------------------------------ archive

std::vector<BYTE> Store(CObject& object)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    object.Serialize(ar);
    ar.Close();
    return file.Data();
}

void Load(CObject& object, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    object.Serialize(ar);
}

void FillClock(CTimeCtrlI& marks)
{
    marks.AddMark("On1", 0, 1000);
    marks.AddMark("Measure", 250, 1000, 2, 50);
    marks.AddMark("Save", 0, 1800000);
    marks.m_nStartTick = 0x01020304;
    marks.m_nRunTime = 3600000;
    marks.m_nWaiting = -7;
    marks.m_bRunning = 1;
    marks.m_nFrozenTick = 99;
}

TEST(TimeMarkArchiveTest, StoresEachMarksFieldsThenTheNextDueThenTheClockInOrder)
{
    CTimeCtrlI marks;
    marks.AddMark("On1", 0x11, 0x22, 0x33, 0x44);
    marks.m_nStartTick = 0x55;
    marks.m_nRunTime = 0x66;
    marks.m_nWaiting = 0x77;
    marks.m_bRunning = 1;
    marks.m_nFrozenTick = 0x88;
    const std::vector<BYTE> expected = {
        0x01, 0x00,                                        // count
        0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C', 'T', 'i', // new class "CTimeMark", schema 1
        'm', 'e', 'M', 'a', 'r', 'k',                      //
        0x03, 'O', 'n', '1',                               // name
        0x11, 0, 0, 0, 0x22, 0, 0, 0, 0x33, 0, 0, 0,       // start, interval, fired
        0x44, 0, 0, 0,                                     // lateness limit
        0xD7, 0x06, 0x00, 0x00,                            // next due: 0x11 + 0x33 x 0x22
        0x55, 0, 0, 0, 0x66, 0, 0, 0, 0x77, 0, 0, 0,       // start tick, run time, waiting
        0x01, 0, 0, 0, 0x88, 0, 0, 0,                      // running, frozen tick
    };
    EXPECT_EQ(Store(marks), expected);
}

TEST(TimeMarkArchiveTest, AStoredClockLoadsWithTheSameMarksAndFields)
{
    CTimeCtrlI stored;
    FillClock(stored);
    CTimeCtrlI loaded;
    loaded.AddMark("Old", 5, 5);
    Load(loaded, Store(stored));

    ASSERT_EQ(loaded.GetCount(), 3);
    for (INT_PTR i = 0; i < 3; ++i) {
        const CTimeMark* a = stored.GetAt(i);
        const CTimeMark* b = loaded.GetAt(i);
        EXPECT_EQ(b->m_strName, a->m_strName);
        EXPECT_EQ(b->m_nStart, a->m_nStart);
        EXPECT_EQ(b->m_nInterval, a->m_nInterval);
        EXPECT_EQ(b->m_nFired, a->m_nFired);
        EXPECT_EQ(b->m_nLatenessLimit, a->m_nLatenessLimit);
    }
    EXPECT_EQ(loaded.GetNextDue(), 0u);
    EXPECT_EQ(loaded.m_nStartTick, 0x01020304u);
    EXPECT_EQ(loaded.GetRunTime(), 3600000u);
    EXPECT_EQ(loaded.m_nWaiting, -7);
    EXPECT_EQ(loaded.m_bRunning, 1);
    EXPECT_EQ(loaded.m_nFrozenTick, 99);
}

// Hand-made lists: what a damaged file can hold where a mark belongs.
std::vector<BYTE> ListBytes(const std::vector<const CObject*>& entries, DWORD_PTR count)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar.WriteCount(count);
    for (const CObject* entry : entries)
        ar.WriteObject(entry);
    ar << DWORD(0);
    ar.Close();
    return file.Data();
}

TEST(TimeMarkArchiveTest, ADamagedListIsRefusedWholeAndTheOldMarksStay)
{
    CTimeMark mark("Measure", 0, 1000, 0, 0);
    CObArray stranger;
    CTimeCtrlI valid;
    FillClock(valid);
    std::vector<BYTE> badRunning = Store(valid);
    badRunning[badRunning.size() - 8] = 2;

    struct Case
    {
        const char* title;
        std::vector<BYTE> bytes;
    };
    std::vector<Case> cases = {
        {"a gap in the list", ListBytes({&mark, nullptr}, 2)},
        {"one mark listed twice", ListBytes({&mark, &mark}, 2)},
        {"an object of another class", ListBytes({&mark, &stranger}, 2)},
        {"more entries than bytes", ListBytes({&mark}, 0x10000)},
        {"a running flag other than 0 or 1", badRunning},
    };
    const std::vector<BYTE> whole = Store(valid);
    for (size_t size = 0; size < whole.size(); ++size)
        cases.push_back({"cut short", std::vector<BYTE>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))});

    for (const Case& c : cases) {
        CTimeCtrlI marks;
        marks.AddMark("Keep", 10, 20);
        marks.SetRunTime(777);
        EXPECT_THROW(Load(marks, c.bytes), CArchiveException) << c.title << " (" << c.bytes.size() << " bytes)";
        ASSERT_EQ(marks.GetCount(), 1) << c.title;
        EXPECT_EQ(marks.GetAt(0)->m_strName, "Keep") << c.title;
        EXPECT_EQ(marks.GetNextDue(), 10u) << c.title;
        EXPECT_EQ(marks.GetRunTime(), 777u) << c.title;
    }
}

TEST(TimeMarkArchiveTest, TheNextDueTimeFollowsTheLoadedMarksNotTheStoredValue)
{
    CTimeMark first("A", 300, 100, 0, 0);
    CTimeMark second("B", 40, 0, 1, 0);
    CTimeMarkList list;
    Load(list, ListBytes({&first, &second}, 2));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetNextDue(), 300u);
}

} // namespace
