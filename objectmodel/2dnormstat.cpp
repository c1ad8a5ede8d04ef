#include "objectmodel/2dnormstat.h"

IMPLEMENT_DYNAMIC(C2DNormStat, CObject)
