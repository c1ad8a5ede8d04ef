// The clustering step of the main run.

#include "analysis/bv.h"

#include "analysis/clustering.h"

void CBV::ClusterObjects(CResultObjectList& records, int maxDistance)
{
    CClustering clustering;
    clustering.Cluster(&records, maxDistance, 0, 0.0);
}
