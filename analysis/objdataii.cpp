#include "analysis/objdataii.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"

IMPLEMENT_SERIAL(CObjDataII, CObjData, 1)

void CObjDataII::Serialize(CArchive& ar)
{
    auto* xml = dynamic_cast<CXMLArchive*>(&ar);
    if (xml == nullptr || xml->GetChildNode("CObjDataII") == nullptr)
        return;
    SerializeObjData(ar);
    xml->GetCurrentNode()->EndNode();
}

void CObjDataII::AddNucleus(std::unique_ptr<CObjData> nucleus)
{
    if (!nucleus)
        return;
    std::vector<std::unique_ptr<CObjData>>& nuclei = EditExtras().nuclei;
    nuclei.push_back(std::move(nucleus));
    ++m_nNuclei;
    ++m_nSubCount;
    double nucleiArea = 0.0;
    for (const auto& n : nuclei)
        nucleiArea += n->GetArea();
    const double ownArea = GetArea();
    if (ownArea != 0.0)
        m_fNC = static_cast<float>(nucleiArea / ownArea);
}

void CObjDataII::CopyWithNuclei(const CObjDataII& source)
{
    if (&source == this)
        return;
    CopyFrom(source);
    ClearNuclei();
    m_nSubCount = 0;
    if (!source.GetExtras())
        return;
    for (const auto& n : source.GetExtras()->nuclei) {
        auto copy = std::make_unique<CObjData>();
        copy->CopyFrom(*n);
        AddNucleus(std::move(copy));
    }
}

CObjData& CObjDataII::GetNucleus(int index) const
{
    if (index < 0 || index >= GetNucleusCount())
        AfxThrowInvalidArgException();
    return *GetExtras()->nuclei[static_cast<size_t>(index)];
}

void CObjDataII::ClearNuclei()
{
    if (GetExtras())
        EditExtras().nuclei.clear();
    m_nNuclei = 0;
}

void CObjDataII::AppendNucleus(std::unique_ptr<CObjData> nucleus)
{
    if (nucleus)
        EditExtras().nuclei.push_back(std::move(nucleus));
}

void CObjDataII::DrawNucleusChains(CDC* pDC) const
{
    if (GetExtras())
        for (const auto& n : GetExtras()->nuclei)
            n->m_Chain.Draw(pDC);
}
