#pragma once
// CData: common base of the records that hold data over time (series,
// cell tracks). It adds nothing to CBaseObj but its run-time class, so that
// record lists can tell data records from measured objects.

#include "objectmodel/baseobj.h"

class CData : public CBaseObj
{
    DECLARE_DYNAMIC(CData)
};
