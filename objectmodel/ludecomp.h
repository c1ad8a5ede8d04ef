#pragma once
// CLUDecomp: LU decomposition of a small square matrix (Crout's method with
// partial pivoting and implicit row scaling) and back substitution of right
// hand sides, for areas of interest and line intersections.
//
// A singular matrix is a failure the caller sees: Decompose and Solve return
// false, and callers must not turn such a solution into pixel coordinates.

#include "objectmodel/matrixd.h"
#include "platform/core/object.h"

#include <optional>
#include <vector>

class CLUDecomp : public CObject
{
    DECLARE_DYNAMIC(CLUDecomp)
public:
    // Decomposes a square matrix in place and keeps the row permutation and
    // its sign. A row of zeros: message, false, the matrix unchanged. A zero
    // pivot: message, the pivot becomes 1e-20 so the decomposition completes,
    // but the result is false. Invalid argument for a matrix that is not
    // square or is empty.
    bool Decompose(CMatrixD& a);

    // Solves LU x = b in place for the matrix Decompose left behind. False,
    // with b unchanged, when a value of the solution is not finite. Invalid
    // argument when the sizes do not match the last decomposition.
    bool BackSubstitute(const CMatrixD& lu, CVectorD& b) const;

    // a x = b: decomposes a copy of a and replaces b by x. False, with b
    // unchanged, for a singular matrix or a solution that is not finite.
    bool Solve(const CMatrixD& a, CVectorD& b);

    // Row interchanged with row i during the decomposition.
    const std::vector<int>& GetPermutation() const { return m_index; }
    // +1 or -1: parity of the row interchanges (the determinant's sign).
    double GetSign() const { return m_dSign; }

    // A quiet solver reports a singular matrix only through its result:
    // for callers to whom a singular system is an ordinary answer (parallel
    // lines), not a numerical accident worth a message box.
    void SetQuiet(bool quiet) { m_bQuiet = quiet; }
    bool IsQuiet() const { return m_bQuiet; }

private:
    void Report(const char* text) const;

    std::vector<int> m_index;
    double m_dSign = 1.0;
    bool m_bQuiet = false;
};

namespace kestrun {

// The value truncated toward zero, or nothing when it is not finite or lies
// outside the range of int.
std::optional<int> TruncateToInt(double value);

} // namespace kestrun
