#include "analysis/colordouble.h"

#include "platform/core/archive.h"

void Color_Double::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << red << green << blue;
    else
        ar >> red >> green >> blue;
}
