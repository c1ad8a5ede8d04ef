#include "series/timemark.h"

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <new>
#include <unordered_set>

IMPLEMENT_SERIAL(CTimeMark, CObject, 1)
IMPLEMENT_SERIAL(CTimeMarkList, CObject, 1)
IMPLEMENT_SERIAL(CTimeCtrlI, CTimeMarkList, 1)

// ---------------------------------------------------------------- CTimeMark

CTimeMark::CTimeMark(const CString &name, DWORD start, DWORD interval,
                     DWORD fired, DWORD latenessLimit)
    : m_strName(name), m_nStart(start), m_nInterval(interval), m_nFired(fired),
      m_nLatenessLimit(latenessLimit) {}

DWORD CTimeMark::GetScheduledTime() const {
  // In 64 bits: a long-running mark must not wrap round to an early time
  // and fire on every pass.
  const ULONGLONG due = ULONGLONG(m_nStart) + ULONGLONG(m_nFired) * m_nInterval;
  return due >= CTimeMarkList::kNever ? CTimeMarkList::kNever
                                      : static_cast<DWORD>(due);
}

DWORD CTimeMark::GetNextDue() const {
  return IsPending() ? GetScheduledTime() : CTimeMarkList::kNever;
}

void CTimeMark::Serialize(CArchive &ar) {
  if (ar.IsStoring())
    ar << m_strName << m_nStart << m_nInterval << m_nFired << m_nLatenessLimit;
  else
    ar >> m_strName >> m_nStart >> m_nInterval >> m_nFired >> m_nLatenessLimit;
}

// ------------------------------------------------------------ CTimeMarkList

CTimeMarkList::CTimeMarkList() { m_marks.reserve(10); }

CTimeMarkList::~CTimeMarkList() = default;

int CTimeMarkList::AddMark(const CString &name, DWORD start, DWORD interval,
                           DWORD fired, DWORD latenessLimit) {
  try {
    m_marks.push_back(std::make_unique<CTimeMark>(name, start, interval, fired,
                                                  latenessLimit));
  } catch (const std::bad_alloc &) {
    return 0;
  }
  m_nNextDue = std::min(m_nNextDue, m_marks.back()->GetNextDue());
  return 1;
}

void CTimeMarkList::RemoveMark(const CString &name) {
  const auto it =
      std::find_if(m_marks.begin(), m_marks.end(), [&](const auto &mark) {
        return mark && mark->m_strName == name;
      });
  if (it == m_marks.end())
    return;
  if (m_nDispatchDepth > 0)
    Retire(*it);
  else
    m_marks.erase(it);
  UpdateNextDue();
}

DWORD CTimeMarkList::FindByName(const CString &name) const {
  for (const auto &mark : m_marks) {
    if (mark && mark->m_strName == name)
      return mark->GetScheduledTime();
  }
  return 0;
}

DWORD CTimeMarkList::GetMinInterval() const {
  DWORD smallest = kNever;
  for (const auto &mark : m_marks) {
    if (mark && mark->IsPending())
      smallest = std::min(smallest, mark->m_nInterval);
  }
  return smallest;
}

void CTimeMarkList::ResetAll() {
  for (const auto &mark : m_marks) {
    if (mark)
      mark->m_nFired = 0;
  }
  UpdateNextDue();
}

void CTimeMarkList::Dispatch(DWORD elapsed, DispatchCallback callback,
                             void *context) {
  // Ends the pass also when a callback throws.
  struct CPass {
    explicit CPass(CTimeMarkList &list) : m_list(list) {
      ++m_list.m_nDispatchDepth;
    }
    ~CPass() { m_list.EndPass(); }
    CTimeMarkList &m_list;
  } pass(*this);

  // By index and re-reading the size: the callback may add marks.
  for (size_t i = 0; i < m_marks.size(); ++i) {
    CTimeMark *mark = m_marks[i].get();
    if (mark == nullptr)
      continue;
    const DWORD due = mark->GetNextDue();
    if (due == kNever || elapsed < due)
      continue;
    ++mark->m_nFired;
    const bool tooLate =
        mark->m_nLatenessLimit != 0 && elapsed - due > mark->m_nLatenessLimit;
    if (!tooLate && callback != nullptr)
      callback(context, mark);
  }
}

void CTimeMarkList::EndPass() noexcept {
  if (--m_nDispatchDepth == 0) {
    std::erase(m_marks, nullptr);
    m_retired.clear();
  }
  UpdateNextDue();
}

INT_PTR CTimeMarkList::GetCount() const {
  return static_cast<INT_PTR>(std::ranges::count_if(
      m_marks, [](const auto &mark) { return mark != nullptr; }));
}

CTimeMark *CTimeMarkList::GetAt(INT_PTR index) const {
  for (const auto &mark : m_marks) {
    if (mark && index-- == 0)
      return mark.get();
  }
  return nullptr;
}

void CTimeMarkList::DeleteAllMarks() {
  if (m_nDispatchDepth > 0) {
    for (auto &slot : m_marks)
      Retire(slot);
  } else {
    m_marks.clear();
  }
  m_nNextDue = kNever;
}

void CTimeMarkList::Retire(std::unique_ptr<CTimeMark> &slot) {
  if (slot)
    m_retired.push_back(std::move(slot));
}

void CTimeMarkList::UpdateNextDue() noexcept {
  m_nNextDue = kNever;
  for (const auto &mark : m_marks) {
    if (mark)
      m_nNextDue = std::min(m_nNextDue, mark->GetNextDue());
  }
}

void CTimeMarkList::StoreMarks(CArchive &ar) const {
  ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
  for (const auto &mark : m_marks) {
    if (mark)
      ar.WriteObject(mark.get());
  }
  ar << m_nNextDue;
}

CTimeMarkList::Marks CTimeMarkList::LoadMarks(CArchive &ar) const {
  const size_t loadMark = ar.GetLoadCount();
  Marks marks;
  try {
    const DWORD_PTR count = ar.ReadCount();
    // An entry takes at least its two-byte tag.
    if (count > ar.BytesLeft() / 2)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    std::vector<CTimeMark *> read;
    read.reserve(count);
    for (DWORD_PTR i = 0; i < count; ++i)
      read.push_back(
          static_cast<CTimeMark *>(ar.ReadObject(RUNTIME_CLASS(CTimeMark))));
    // The list owns its marks: each entry must be a mark of its own,
    // read here, never a gap or a second reference to another entry.
    std::unordered_set<const CTimeMark *> seen;
    for (CTimeMark *mark : read) {
      if (mark == nullptr || !seen.insert(mark).second ||
          ar.ForgetObject(mark, loadMark) == 0)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
      marks.emplace_back(mark);
    }
    // The next due time follows from the marks; the stored one is
    // read past, not trusted.
    DWORD storedNextDue = 0;
    ar >> storedNextDue;
  } catch (...) {
    ar.DeleteObjectsSince(loadMark);
    throw;
  }
  return marks;
}

void CTimeMarkList::AdoptMarks(Marks marks) {
  DeleteAllMarks();
  for (auto &mark : marks)
    m_marks.push_back(std::move(mark));
  UpdateNextDue();
}

void CTimeMarkList::Serialize(CArchive &ar) {
  if (ar.IsStoring())
    StoreMarks(ar);
  else
    AdoptMarks(LoadMarks(ar));
}

// --------------------------------------------------------------- CTimeCtrlI

CTimeCtrlI::CTimeCtrlI(kestrun::IClock &clock) : m_pClock(&clock) {}

DWORD CTimeCtrlI::GetTick() const {
  return static_cast<DWORD>(m_pClock->NowMs());
}

void CTimeCtrlI::Start() {
  ResetAll();
  m_bRunning = 1;
  m_nWaiting = 0;
  m_nStartTick = GetTick();
}

void CTimeCtrlI::Stop() {
  m_nStartTick = 0;
  m_nWaiting = 0;
  m_bRunning = 0;
}

void CTimeCtrlI::Clear() {
  m_nStartTick = 0;
  m_nRunTime = 0;
  m_nWaiting = 0;
  m_bRunning = 0;
  m_nFrozenTick = 0;
  DeleteAllMarks();
}

DWORD CTimeCtrlI::GetElapsed() const {
  const DWORD now =
      m_nFrozenTick != 0 ? static_cast<DWORD>(m_nFrozenTick) : GetTick();
  // Unsigned: right across the tick counter's wrap.
  return now - m_nStartTick;
}

void CTimeCtrlI::Serialize(CArchive &ar) {
  if (ar.IsStoring()) {
    StoreMarks(ar);
    ar << m_nStartTick << m_nRunTime << std::int32_t(m_nWaiting)
       << std::int32_t(m_bRunning) << std::int32_t(m_nFrozenTick);
    return;
  }
  // Everything is read before anything changes.
  Marks marks = LoadMarks(ar);
  DWORD startTick = 0;
  DWORD runTime = 0;
  std::int32_t waiting = 0;
  std::int32_t running = 0;
  std::int32_t frozenTick = 0;
  ar >> startTick >> runTime >> waiting >> running >> frozenTick;
  if (running != 0 && running != 1)
    AfxThrowArchiveException(CArchiveException::genericException,
                             ar.m_strFileName);
  AdoptMarks(std::move(marks));
  m_nStartTick = startTick;
  m_nRunTime = runTime;
  m_nWaiting = waiting;
  m_bRunning = running;
  m_nFrozenTick = frozenTick;
}
