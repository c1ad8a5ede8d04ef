// Array variants keep their lower bounds and copy their elements; by-
// reference variants reach the caller's variable.

#include "platform/core/variant.h"

#include <gtest/gtest.h>

namespace {

TEST(VariantArray, RedimPreserveKeepsLowerBoundAndElements)
{
    CVariantArray array({{1, 10}});
    array.At(std::vector<LONG>{10}) = COleVariant("last");
    array.Redim({{1, 16}}, true);
    EXPECT_EQ(array.GetLBound(1), 1);
    EXPECT_EQ(array.GetUBound(1), 16);
    EXPECT_EQ(array.At(std::vector<LONG>{10}), COleVariant("last"));
    EXPECT_EQ(array.At(std::vector<LONG>{16}).vt, VT_EMPTY);
    EXPECT_THROW(array.At(std::vector<LONG>{0}), COleException);
    EXPECT_THROW(array.At(std::vector<LONG>{17}), COleException);
    EXPECT_THROW(array.At(std::vector<LONG>{1, 1}), COleException);

    CVariantArray grid({{0, 2}, {0, 3}});
    EXPECT_THROW(grid.Redim({{0, 3}, {0, 3}}, true), COleException); // only the last dimension may change
    grid.At(std::vector<LONG>{1, 2}) = COleVariant(short(5));
    grid.Redim({{0, 2}, {0, 4}}, true);
    EXPECT_EQ(grid.At(std::vector<LONG>{1, 2}), COleVariant(short(5)));
}

TEST(VariantArray, SizeFromOutsideIsBounded)
{
    EXPECT_THROW(CVariantArray({{0, 1 << 20}, {0, 1 << 20}}), CMemoryException);
    EXPECT_THROW(CVariantArray({{0, -1}}), CInvalidArgException);
    EXPECT_THROW(CVariantArray({{0x7FFFFFFF, 2}}), CInvalidArgException);
    EXPECT_EQ(CVariantArray({{0, 0}}).GetCount(), 0U);
}

TEST(VariantArray, CopyCopiesTheElements)
{
    COleVariant a = COleVariant::Array(CVariantArray({{0, 2}}));
    COleVariant b = a;
    b.GetArray().Elements()[0] = COleVariant("b");
    EXPECT_EQ(a.GetArray().Elements()[0].vt, VT_EMPTY);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a.IsArray());
    EXPECT_THROW(a.ChangeType(VT_I4), COleException);
}

TEST(VariantByRef, ReachesTheCallersVariable)
{
    COleVariant variable(short(3));
    const COleVariant ref = COleVariant::ByRef(variable);
    const COleVariant refToRef = COleVariant::ByRef(const_cast<COleVariant&>(ref));
    EXPECT_EQ(refToRef.pvarVal, &variable);
    const_cast<COleVariant&>(ref).Deref() = COleVariant("changed");
    EXPECT_EQ(variable, COleVariant("changed"));
    COleVariant converted = ref;
    converted.ChangeType(VT_BSTR);
    EXPECT_EQ(converted, COleVariant("changed"));

    COleVariant array = COleVariant::Array(CVariantArray({{0, 1}}));
    COleVariant arrayRef = COleVariant::ByRef(array);
    arrayRef.GetArray().Redim({{0, 5}}, true);
    EXPECT_EQ(array.GetArray().GetCount(), 5U);
}

TEST(VariantDispatch, NothingIsAnObjectWithoutTarget)
{
    const COleVariant nothing = COleVariant::Dispatch(nullptr);
    EXPECT_EQ(nothing.vt, VT_DISPATCH);
    EXPECT_EQ(nothing, COleVariant::Dispatch(nullptr));
    COleVariant copy = nothing;
    EXPECT_THROW(copy.ChangeType(VT_BSTR), COleException);
}

} // namespace
