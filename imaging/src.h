#pragma once
// CSRC: the application's templates of result documents - tables, object
// tables (in an ordinary child frame and in a grid frame), line data,
// charts and texts - by slot. The application makes them at start-up and
// hands the holder out through CAppServices::GetTemplates; image documents
// open their result tables through it. A template whose owned flag is set
// is deleted with the holder; the one the application registers as its
// own has the flag cleared, because the application deletes it.

#include "platform/core/object.h"

#include <array>

class CMultiDocTemplate;

class CSRC : public CObject
{
    DECLARE_DYNAMIC(CSRC)

public:
    enum Slot : int
    {
        kGridTemplate = 1,    // CGridDoc2 tables
        kObjTemplate = 2,     // CObjDataDoc in an ordinary child frame
        kObjGridTemplate = 3, // CObjDataDoc in a grid frame
        kLineDataTemplate = 4,
        kChartTemplate = 5,
        kTextTemplate = 7,
        kSlotCount = 7,
    };

    CSRC();
    ~CSRC() override;
    CSRC(const CSRC&) = delete;
    CSRC& operator=(const CSRC&) = delete;

    // Null for an empty slot or a number outside 1..kSlotCount.
    CMultiDocTemplate* GetTemplate(int nSlot) const;
    // Puts a template into a slot with its owned flag; an owned template
    // that was there is deleted. CInvalidArgException for a bad slot.
    void SetTemplate(int nSlot, CMultiDocTemplate* pTemplate, BOOL bOwned = TRUE);
    BOOL IsOwned(int nSlot) const;
    void SetOwned(int nSlot, BOOL bOwned);

private:
    static size_t IndexOf(int nSlot);

    std::array<CMultiDocTemplate*, kSlotCount> m_templates{};
    std::array<BOOL, kSlotCount> m_owned;
};
