#pragma once
// What cutting keeps from one outline to the next on one thread: the
// watershed's mask and flooding, the quick defect depth and a tracer that
// measures the cut parts. Storage only grows, so a run allocates per
// thread, not per outline.

#include "analysis/contourdams.h"
#include "analysis/defectdepth.h"
#include "analysis/kontur8.h"

class CCutScratch
{
public:
    CContourDams m_Dams;
    CDefectDepth m_Quick;
    CKontur8 m_Tracer;
};
