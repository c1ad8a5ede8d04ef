#pragma once
// CObjDataII: an object record with nuclei - sub-objects inside a cell,
// each a record of its own, owned by the cell. The nucleus-to-cell area
// ratio follows every nucleus added.

#include "analysis/objdata.h"

class CObjDataII : public CObjData
{
    DECLARE_SERIAL(CObjDataII)

public:
    CObjDataII() = default;
    ~CObjDataII() override = default;

    // Element "CObjDataII" around the CObjData element; nuclei are not
    // stored.
    void Serialize(CArchive& ar) override;
    // Counts the nucleus and updates the N/C ratio (left as it is while the
    // cell has no area). A null nucleus changes nothing.
    void AddNucleus(std::unique_ptr<CObjData> nucleus) override;
    // CopyFrom, then copies of the source's nuclei in place of this
    // record's own.
    virtual void CopyWithNuclei(const CObjDataII& source);

    int GetNucleusCount() const { return GetExtras() ? static_cast<int>(GetExtras()->nuclei.size()) : 0; }
    // Invalid argument outside the list.
    CObjData& GetNucleus(int index) const;
    // Deletes every nucleus; the count becomes 0.
    void ClearNuclei();
    // Appends without counting (records joined by clustering).
    void AppendNucleus(std::unique_ptr<CObjData> nucleus);

protected:
    void DrawNucleusChains(CDC* pDC) const override;
    bool HasNuclei() const override { return GetNucleusCount() > 0; }
};
