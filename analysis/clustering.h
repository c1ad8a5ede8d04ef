#pragma once
// CClustering: joins neighbouring object records of a list into cluster
// records (CObjCluster), so that objects lying close together, not too
// many and not too large together, count as one. A short-lived worker:
// set the limits, run it, drop it. The clusters pass to the list, the
// joined records to their cluster.

#include "platform/core/geometry.h"

class CObjCluster;
class CObjData;
class CResultObjectList;

class CClustering
{
public:
    // One object of Merge's working list: its index in the list and the
    // record.
    struct OBJECT_DESCRIPTOR
    {
        int nIndex = 0;
        CObjData* pObject = nullptr;
    };

    CClustering() = default;
    virtual ~CClustering() = default;
    CClustering(const CClustering&) = delete;
    CClustering& operator=(const CClustering&) = delete;

    // 1 when a and b may be joined: neither is marked rejected (link word
    // 1), the gap between their rectangles is
    // at most the distance, their members together at most the member
    // limit (0: none) and their pixel areas together at most the area
    // limit (0.0: none).
    virtual int ShouldMerge(const CObjData& a, const CObjData& b) const;

    // Joins greedily in list order: the first partner in the list wins,
    // and a grown cluster is tested again against all later objects.
    // Records that are no CObjData stay as they are. 0 without a list.
    int Cluster(CResultObjectList* list, int maxDistance, int maxMembers, double maxArea);
    // Joins every object (not marked rejected) whose centroid lies in the
    // rectangle into one cluster, as a chain of pairs; the limits are not
    // consulted. 0 when no object lies there or without a list.
    int Merge(CResultObjectList* list, const RECT& rect);
    // The cluster of a (at indexA) and b (at indexB) in place of the lower
    // index; the other index is removed. Areas in pixels. Invalid argument
    // when the records do not stand at their indices.
    CObjCluster* MergePair(CResultObjectList* list, CObjData* a, const RECT& rectA, double areaA, double formA,
                           int indexA, CObjData* b, const RECT& rectB, double areaB, double formB, int indexB);

    void SetMaxDistance(int distance) { m_nMaxDistance = distance; }
    void SetMaxMembers(int members) { m_nMaxMembers = members; }
    void SetMaxArea(double area) { m_dMaxArea = area; }
    // The largest calibrated area among the objects the last Merge joined.
    double GetLargestArea() const { return m_dLargestArea; }

    // The record's area in pixels (its calibrated area taken back).
    static double PixelArea(const CObjData& record);

private:
    CObjCluster* MergeAt(int indexA, int indexB);

    CResultObjectList* m_pList = nullptr;
    int m_nMaxDistance = 0;
    int m_nMaxMembers = 0;
    double m_dMaxArea = 0.0;
    double m_dLargestArea = 0.0;
};
