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
    m_arrNuclei.push_back(std::move(nucleus));
    ++m_nNuclei;
    ++m_nSubCount;
    double nucleiArea = 0.0;
    for (const auto& n : m_arrNuclei)
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
    for (const auto& n : source.m_arrNuclei) {
        auto copy = std::make_unique<CObjData>();
        copy->CopyFrom(*n);
        AddNucleus(std::move(copy));
    }
}

CObjData& CObjDataII::GetNucleus(int index) const
{
    if (index < 0 || index >= GetNucleusCount())
        AfxThrowInvalidArgException();
    return *m_arrNuclei[static_cast<size_t>(index)];
}

void CObjDataII::ClearNuclei()
{
    m_arrNuclei.clear();
    m_nNuclei = 0;
}

void CObjDataII::AppendNucleus(std::unique_ptr<CObjData> nucleus)
{
    if (nucleus)
        m_arrNuclei.push_back(std::move(nucleus));
}

void CObjDataII::DrawNucleusChains(CDC* pDC) const
{
    for (const auto& n : m_arrNuclei)
        n->m_Chain.Draw(pDC);
}
