#include "platform/core/arrays.h"
#include "platform/core/geometry.h"
#include "platform/core/maps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> toVector(const CArray<int>& a)
{
    return std::vector<int>(a.begin(), a.end());
}

template <class Map, class Key, class Value>
std::vector<std::pair<Key, Value>> walk(const Map& map)
{
    std::vector<std::pair<Key, Value>> items;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        Key key;
        Value value;
        map.GetNextAssoc(pos, key, value);
        items.emplace_back(key, value);
    }
    return items;
}

} // namespace

TEST(CArrayTest, GrowInsertRemove)
{
    CArray<int> a;
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.Add(1), 0);
    EXPECT_EQ(a.Add(2), 1);
    a.SetAtGrow(4, 5);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 2, 0, 0, 5}));

    a.InsertAt(1, 9, 2);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 9, 9, 2, 0, 0, 5}));
    a.InsertAt(9, 7);
    EXPECT_EQ(a.GetSize(), 10) << "inserting past the end grows the array first";
    a.RemoveAt(1, 2);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 2, 0, 0, 5, 0, 0, 7}));

    CArray<int> b;
    b.Add(8);
    EXPECT_EQ(a.Append(b), 8);
    EXPECT_EQ(a.GetUpperBound(), 8);
    a.SetSize(2);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 2}));
    b.Copy(a);
    EXPECT_EQ(toVector(b), (std::vector<int>{1, 2}));
    b.InsertAt(1, &a);
    EXPECT_EQ(toVector(b), (std::vector<int>{1, 1, 2, 2}));
}

TEST(CArrayTest, AddOfOwnElementSurvivesGrowth)
{
    CArray<CString> a;
    a.Add("first");
    for (int i = 0; i < 100; ++i)
        a.Add(a[0]);
    EXPECT_EQ(a[100], "first");
}

TEST(CArrayTest, BadIndicesRaiseInvalidArgument)
{
    CArray<CPoint, CPoint> a;
    a.Add(CPoint(1, 2));
    EXPECT_THROW(a[1], CInvalidArgException);
    EXPECT_THROW(a.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(a.SetAt(1, CPoint()), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(0, 2), CInvalidArgException);
    EXPECT_THROW(a.SetSize(-1), CInvalidArgException);
    EXPECT_THROW(a.Append(a), CInvalidArgException);
    EXPECT_EQ(a.GetSize(), 1);
}

TEST(CMapTest, IteratesBucketsInOrderNewestFirstWithinABucket)
{
    // Hashes: "a" 97 and "r" 114 share bucket 12 of 17; "ab" lies in bucket 1,
    // "b" in 13, "c" in 14.
    CMap<CString, const char*, int, int> map;
    map["a"] = 1;
    map["b"] = 2;
    map["ab"] = 3;
    map["c"] = 4;
    map["r"] = 5;
    using Items = std::vector<std::pair<CString, int>>;
    EXPECT_EQ((walk<decltype(map), CString, int>(map)), (Items{{"ab", 3}, {"r", 5}, {"a", 1}, {"b", 2}, {"c", 4}}));

    map.SetAt("a", 10); // keeps its place
    EXPECT_TRUE(map.RemoveKey("r"));
    EXPECT_FALSE(map.RemoveKey("r"));
    EXPECT_EQ((walk<decltype(map), CString, int>(map)), (Items{{"ab", 3}, {"a", 10}, {"b", 2}, {"c", 4}}));

    int value = 0;
    EXPECT_TRUE(map.Lookup("ab", value));
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(map.Lookup("AB", value)) << "keys compare case-sensitively";
}

TEST(CMapTest, BucketCountIsTheCallersChoice)
{
    CMap<int, int, int, int> map;
    map.InitHashTable(3);
    // Integer keys hash to key >> 4: 0, 16, 32, 48 -> buckets 0, 1, 2, 0.
    for (int key : {0, 16, 32, 48})
        map[key] = key / 16;
    using Items = std::vector<std::pair<int, int>>;
    EXPECT_EQ((walk<decltype(map), int, int>(map)), (Items{{48, 3}, {0, 0}, {16, 1}, {32, 2}}));
    EXPECT_THROW(map.InitHashTable(5), CInvalidArgException) << "only an empty map changes its buckets";

    const CMap<int, int, int, int> copy(map);
    EXPECT_EQ((walk<decltype(copy), int, int>(copy)), (walk<decltype(map), int, int>(map)));
}

TEST(CMapTest, NonAsciiKeysHashTheirSingleByteForm)
{
    // "µ" is the single byte 0xB5, taken as the signed char -75.
    EXPECT_EQ(kestrun::HashString("µ"), static_cast<UINT>(-75));
    EXPECT_EQ(kestrun::HashString("ab"), 97u * 33u + 98u);
}

TEST(CMapTest, NamedStringMaps)
{
    CMapStringToString names;
    names.SetAt("key", "value");
    CString value;
    EXPECT_TRUE(names.Lookup("key", value));
    EXPECT_EQ(value, "value");
    EXPECT_EQ(names.GetRuntimeClass(), RUNTIME_CLASS(CMapStringToString));

    CMapStringToPtr pointers;
    int target = 0;
    pointers["p"] = &target;
    void* found = nullptr;
    EXPECT_TRUE(pointers.Lookup("p", found));
    EXPECT_EQ(found, &target);
    pointers.RemoveAll();
    EXPECT_TRUE(pointers.IsEmpty());
    EXPECT_EQ(pointers.GetStartPosition(), nullptr);
}

TEST(CRectTest, Geometry)
{
    CRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.CenterPoint(), CPoint(20, 40));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 20))) << "right and bottom edges lie outside";

    CRect i;
    EXPECT_TRUE(i.IntersectRect(r, CRect(25, 0, 50, 30)));
    EXPECT_EQ(i, CRect(25, 20, 30, 30));
    EXPECT_FALSE(i.IntersectRect(r, CRect(40, 0, 50, 10)));
    EXPECT_TRUE(i.IsRectNull());
    EXPECT_EQ(r | CRect(0, 0, 5, 5), CRect(0, 0, 30, 60));

    CRect n(5, 5, 1, 1);
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(1, 1, 5, 5));
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    static_assert(sizeof(RECT) == 16 && sizeof(POINT) == 8, "stored files write these raw");
}
