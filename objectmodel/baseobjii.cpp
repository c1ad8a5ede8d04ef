#include "objectmodel/baseobjii.h"

#include "platform/core/exceptions.h"

IMPLEMENT_SERIAL(CBaseObjII, CBaseObj, 3)

CStringArray CBaseObjII::SharedTitles;

CBaseObjII::CBaseObjII()
{
    m_ID = 16;
}

CBaseObjII::~CBaseObjII()
{
    SharedTitles.RemoveAll();
}

void CBaseObjII::Serialize(CArchive&)
{
}

void CBaseObjII::GetColumnTitles(CStringArray& titles, int)
{
    if (SharedTitles.IsEmpty())
        return;
    titles.Copy(SharedTitles);
}

CString CBaseObjII::GetColumnValues(int column)
{
    if (column < 0)
        AfxThrowInvalidArgException();
    if (column >= m_Values.GetSize())
        return "####";
    return m_Values[column];
}
