#pragma once
// Named, repeating time marks and the run clock of a timed measurement.
// The run asks the list for its smallest interval, lets it fire the marks
// that are due and reads the next due time for the status bar.
//
// A mark's callback may add or remove marks (a mark "On1" adds "Scanner",
// "Scanner" removes itself): marks added during a pass are visited in the
// same pass, removed marks are never called again and stay alive until the
// pass is over.
//
// Archive form: the marks as a counted object list (name, start, interval,
// fired count, lateness limit each), then the next due time; the clock adds
// start tick, run time, waiting seconds, running flag and frozen tick. A
// damaged list is refused whole and the list keeps what it had.

#include "platform/core/clock.h"
#include "platform/core/cstring.h"
#include "platform/core/object.h"

#include <memory>
#include <vector>

class CTimeMark : public CObject {
  DECLARE_SERIAL(CTimeMark)

public:
  CTimeMark() = default;
  CTimeMark(const CString &name, DWORD start, DWORD interval, DWORD fired,
            DWORD latenessLimit);

  // start + fired × interval; all ones when that lies beyond the clock's
  // range.
  DWORD GetScheduledTime() const;
  // The scheduled time, or all ones for a one-shot that fired.
  DWORD GetNextDue() const;
  bool IsRepeating() const { return m_nInterval != 0; }
  // A repeating mark, or a one-shot that has not fired yet.
  bool IsPending() const { return IsRepeating() || m_nFired == 0; }

  void Serialize(CArchive &ar) override;

  CString m_strName;
  DWORD m_nStart = 0;
  DWORD m_nInterval = 0; // 0: fires once
  DWORD m_nFired = 0;
  DWORD m_nLatenessLimit = 0; // 0: none
};

class CTimeMarkList : public CObject {
  DECLARE_SERIAL(CTimeMarkList)

public:
  using DispatchCallback = void (*)(void *context, CTimeMark *mark);
  // The next due time and the smallest interval when nothing is due.
  static constexpr DWORD kNever = 0xFFFFFFFF;

  CTimeMarkList();
  ~CTimeMarkList() override;
  CTimeMarkList(const CTimeMarkList &) = delete;
  CTimeMarkList &operator=(const CTimeMarkList &) = delete;

  // 1, or 0 when out of memory.
  int AddMark(const CString &name, DWORD start, DWORD interval, DWORD fired = 0,
              DWORD latenessLimit = 0);
  // Removes the first mark of that name.
  void RemoveMark(const CString &name);
  // Next due time of the first mark of that name; 0 when there is none.
  DWORD FindByName(const CString &name) const;
  DWORD GetMinInterval() const;
  // Every mark back to not fired.
  void ResetAll();
  // Fires the marks due at elapsed (ms since the start) in list order.
  void Dispatch(DWORD elapsed, DispatchCallback callback, void *context);

  DWORD GetNextDue() const { return m_nNextDue; }
  INT_PTR GetCount() const;
  // The mark at index in list order; null outside.
  CTimeMark *GetAt(INT_PTR index) const;

  void Serialize(CArchive &ar) override;

protected:
  using Marks = std::vector<std::unique_ptr<CTimeMark>>;

  void DeleteAllMarks();
  void StoreMarks(CArchive &ar) const;
  // Reads the stored marks and next due time; throws on damage with
  // nothing read left behind.
  Marks LoadMarks(CArchive &ar) const;
  void AdoptMarks(Marks marks);

private:
  void Retire(std::unique_ptr<CTimeMark> &slot);
  // Drops the slots of marks removed during the outermost pass.
  void EndPass() noexcept;
  void UpdateNextDue() noexcept;

  // Slots are null only while a pass runs, for marks removed during it.
  Marks m_marks;
  Marks m_retired;
  int m_nDispatchDepth = 0;
  DWORD m_nNextDue = kNever;
};

class CTimeCtrlI : public CTimeMarkList {
  DECLARE_SERIAL(CTimeCtrlI)

public:
  explicit CTimeCtrlI(kestrun::IClock &clock = kestrun::DefaultClock());

  void SetClock(kestrun::IClock &clock) { m_pClock = &clock; }
  // The system tick counter of the injected clock.
  DWORD GetTick() const;
  // Counts reset, running, start tick now.
  void Start();
  void Stop();
  void SetRunTime(DWORD ms) { m_nRunTime = ms; }
  DWORD GetRunTime() const { return m_nRunTime; }
  // Clock fields 0 and every mark deleted.
  void Clear();
  // (frozen tick, or now) − start tick.
  DWORD GetElapsed() const;

  void Serialize(CArchive &ar) override;

  DWORD m_nStartTick = 0;
  DWORD m_nRunTime = 0; // 0: unlimited
  int m_nWaiting = 0;   // seconds until a clock start
  int m_bRunning = 0;
  int m_nFrozenTick = 0; // when non-zero it replaces the current tick

private:
  kestrun::IClock *m_pClock;
};
