#include "analysis/objdatabase.h"

IMPLEMENT_SERIAL(CObjDataBase, CBaseObj, 1)
