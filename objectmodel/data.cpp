#include "objectmodel/data.h"

IMPLEMENT_DYNAMIC(CData, CBaseObj)
