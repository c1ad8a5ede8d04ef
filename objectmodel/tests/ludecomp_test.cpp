#include "objectmodel/ludecomp.h"

#include "platform/core/exceptions.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

using kestrun::testing::ScopedMessageBoxes;

CMatrixD Matrix(const std::vector<std::vector<double>>& rows)
{
    CMatrixD m(static_cast<int>(rows.size()), static_cast<int>(rows.front().size()));
    for (int i = 0; i < m.GetRows(); ++i)
        for (int j = 0; j < m.GetCols(); ++j)
            m(i, j) = rows[static_cast<size_t>(i)][static_cast<size_t>(j)];
    return m;
}

const CMatrixD kSystem = Matrix({{2, 1, 1}, {4, -6, 0}, {-2, 7, 2}});

TEST(LUDecompTest, SolvesSystems)
{
    ScopedMessageBoxes boxes;
    struct Case
    {
        CVectorD rhs;
        std::vector<double> solution;
    };
    // The second right-hand side starts with zeros after the row interchanges.
    const Case cases[] = {
        {{5, -2, 9}, {1, 1, 2}},
        {{0, 10, -11}, {1, -1, -1}},
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CLUDecomp lu;
        CVectorD b = c.rhs;
        ASSERT_TRUE(lu.Solve(kSystem, b));
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(b[i], c.solution[static_cast<size_t>(i)], 1e-12);
    }
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST(LUDecompTest, DecompositionReproducesPermutedMatrix)
{
    CMatrixD a = kSystem;
    CLUDecomp lu;
    ASSERT_TRUE(lu.Decompose(a));

    // Determinant from the diagonal and the sign of the interchanges.
    double det = lu.GetSign();
    for (int i = 0; i < 3; ++i)
        det *= a(i, i);
    EXPECT_NEAR(det, -16.0, 1e-12);

    // L * U equals the original with its rows interchanged in order.
    CMatrixD permuted = kSystem;
    for (int i = 0; i < 3; ++i) {
        const int p = lu.GetPermutation()[static_cast<size_t>(i)];
        for (int k = 0; k < 3; ++k)
            std::swap(permuted(i, k), permuted(p, k));
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k <= std::min(i, j); ++k)
                sum += (k == i ? 1.0 : a(i, k)) * a(k, j);
            EXPECT_NEAR(sum, permuted(i, j), 1e-12) << i << "," << j;
        }
    }
}

TEST(LUDecompTest, SingularMatrixFailsAndChangesNothing)
{
    struct Case
    {
        CMatrixD matrix;
        const char* message; // null: refused without a message
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {Matrix({{1, 2}, {0, 0}}), "Singular matrix in routine LUDCMP"},
        {Matrix({{1, 1}, {2, 2}}), "SetAt(j,j) TINY"},
        // Two parallel lines: -m x + y = c1, -m x + y = c2.
        {Matrix({{-0.5, 1}, {-0.5, 1}}), "SetAt(j,j) TINY"},
        {Matrix({{1, 0, 0}, {0, 1, 1}, {0, 2, 2}}), "SetAt(j,j) TINY"},
        {Matrix({{inf, 1}, {0, 1}}), nullptr},
        {Matrix({{std::nan(""), 1}, {0, 1}}), nullptr},
    };
    for (const Case& c : cases) {
        // A quiet solver fails the same way, without a message.
        for (const bool quiet : {false, true}) {
            ScopedMessageBoxes boxes;
            CLUDecomp lu;
            lu.SetQuiet(quiet);
            CVectorD b(c.matrix.GetRows());
            b[0] = 3;
            const CVectorD before = b;
            EXPECT_FALSE(lu.Solve(c.matrix, b));
            for (int i = 0; i < b.GetSize(); ++i)
                EXPECT_EQ(b[i], before[i]);
            if (c.message && !quiet)
                EXPECT_EQ(boxes->Texts(), std::vector<CString>{c.message});
            else
                EXPECT_TRUE(boxes->Texts().empty());
        }
    }
}

TEST(LUDecompTest, ZeroRowLeavesMatrixUnchanged)
{
    ScopedMessageBoxes boxes;
    CMatrixD a = Matrix({{0, 0}, {3, 4}});
    CLUDecomp lu;
    EXPECT_FALSE(lu.Decompose(a));
    EXPECT_EQ(a(0, 0), 0.0);
    EXPECT_EQ(a(1, 0), 3.0);
    EXPECT_EQ(a(1, 1), 4.0);
}

TEST(LUDecompTest, ShapesThatDoNotFitAreInvalidArguments)
{
    CLUDecomp lu;
    CMatrixD rectangular(2, 3);
    EXPECT_THROW(lu.Decompose(rectangular), CInvalidArgException);
    CMatrixD empty;
    EXPECT_THROW(lu.Decompose(empty), CInvalidArgException);

    CVectorD b(2);
    EXPECT_THROW(lu.BackSubstitute(kSystem, b), CInvalidArgException); // nothing decomposed yet
    CMatrixD a = kSystem;
    ASSERT_TRUE(lu.Decompose(a));
    EXPECT_THROW(lu.BackSubstitute(a, b), CInvalidArgException);
    EXPECT_THROW(lu.Solve(kSystem, b), CInvalidArgException);

    // A failed decomposition leaves nothing to substitute into.
    ScopedMessageBoxes boxes;
    CMatrixD zeroRow = Matrix({{0, 0, 0}, {1, 2, 3}, {4, 5, 6}});
    EXPECT_FALSE(lu.Decompose(zeroRow));
    CVectorD b3(3);
    EXPECT_THROW(lu.BackSubstitute(a, b3), CInvalidArgException);
}

TEST(MatrixDTest, IndicesAreChecked)
{
    CMatrixD m(2, 3);
    m(1, 2) = 4.5;
    EXPECT_EQ(m.GetAt(1, 2), 4.5);
    EXPECT_THROW(m.GetAt(2, 0), CInvalidArgException);
    EXPECT_THROW(m.SetAt(0, 3, 1.0), CInvalidArgException);
    EXPECT_THROW(m.GetAt(-1, 0), CInvalidArgException);
    CVectorD v(2);
    EXPECT_THROW(v.GetAt(2), CInvalidArgException);
    EXPECT_THROW(v.SetSize(-1), CInvalidArgException);
}

TEST(TruncateToIntTest, OnlyFiniteValuesInRangeBecomeInts)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double value;
        std::optional<int> expected;
    } cases[] = {
        {3.7, 3},
        {-3.7, -3},
        {0.0, 0},
        {2147483647.9, 2147483647},
        {-2147483648.9, -2147483647 - 1},
        {2147483648.0, std::nullopt},
        {-2147483649.0, std::nullopt},
        {1e300, std::nullopt},
        {inf, std::nullopt},
        {-inf, std::nullopt},
        {std::nan(""), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kestrun::TruncateToInt(c.value), c.expected) << c.value;
}

} // namespace
