#include "objectmodel/ludecomp.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <cmath>
#include <utility>

IMPLEMENT_DYNAMIC(CLUDecomp, CObject)

namespace {

constexpr double kTiny = 1e-20;

bool AllFinite(const CMatrixD& a)
{
    for (int i = 0; i < a.GetRows(); ++i)
        for (int j = 0; j < a.GetCols(); ++j)
            if (!std::isfinite(a(i, j)))
                return false;
    return true;
}

// 1 / largest magnitude of each row, for the implicit scaling; empty when a
// row holds nothing but zeros.
std::vector<double> RowScales(const CMatrixD& a)
{
    const int n = a.GetRows();
    std::vector<double> scale(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j)
            big = std::max(big, std::fabs(a(i, j)));
        if (big == 0.0)
            return {};
        scale[static_cast<size_t>(i)] = 1.0 / big;
    }
    return scale;
}

} // namespace

bool CLUDecomp::Decompose(CMatrixD& a)
{
    const int n = a.GetRows();
    if (n == 0 || !a.IsSquare())
        AfxThrowInvalidArgException();
    // No permutation of an earlier matrix may outlive a failure.
    m_index.clear();
    m_dSign = 1.0;
    if (!AllFinite(a))
        return false;

    std::vector<double> vv = RowScales(a);
    if (vv.empty()) {
        Report("Singular matrix in routine LUDCMP");
        return false;
    }

    m_index.assign(static_cast<size_t>(n), 0);
    bool singular = false;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a(i, j);
            for (int k = 0; k < i; ++k)
                sum -= a(i, k) * a(k, j);
            a(i, j) = sum;
        }
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            double sum = a(i, j);
            for (int k = 0; k < j; ++k)
                sum -= a(i, k) * a(k, j);
            a(i, j) = sum;
            const double merit = vv[static_cast<size_t>(i)] * std::fabs(sum);
            if (merit >= big) {
                big = merit;
                imax = i;
            }
        }
        if (j != imax) {
            for (int k = 0; k < n; ++k)
                std::swap(a(imax, k), a(j, k));
            m_dSign = -m_dSign;
            vv[static_cast<size_t>(imax)] = vv[static_cast<size_t>(j)];
        }
        m_index[static_cast<size_t>(j)] = imax;
        if (a(j, j) == 0.0) {
            Report("SetAt(j,j) TINY");
            a(j, j) = kTiny;
            singular = true;
        }
        if (j != n - 1) {
            const double inverse = 1.0 / a(j, j);
            for (int i = j + 1; i < n; ++i)
                a(i, j) *= inverse;
        }
    }
    return !singular;
}

void CLUDecomp::Report(const char* text) const
{
    if (!m_bQuiet)
        AfxMessageBox(text);
}

bool CLUDecomp::BackSubstitute(const CMatrixD& lu, CVectorD& b) const
{
    const int n = lu.GetRows();
    if (n == 0 || !lu.IsSquare() || b.GetSize() != n || m_index.size() != static_cast<size_t>(n))
        AfxThrowInvalidArgException();

    CVectorD x = b;
    int first = -1; // first non-zero element of the right-hand side
    for (int i = 0; i < n; ++i) {
        const int ip = m_index[static_cast<size_t>(i)];
        double sum = x[ip];
        x[ip] = x[i];
        if (first >= 0) {
            for (int j = first; j < i; ++j)
                sum -= lu(i, j) * x[j];
        } else if (sum != 0.0) {
            first = i;
        }
        x[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = x[i];
        for (int j = i + 1; j < n; ++j)
            sum -= lu(i, j) * x[j];
        x[i] = sum / lu(i, i);
    }
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i]))
            return false;
    b = x;
    return true;
}

bool CLUDecomp::Solve(const CMatrixD& a, CVectorD& b)
{
    if (b.GetSize() != a.GetRows())
        AfxThrowInvalidArgException();
    CMatrixD lu = a;
    if (!Decompose(lu))
        return false;
    return BackSubstitute(lu, b);
}

namespace kestrun {

std::optional<int> TruncateToInt(double value)
{
    // Bounds one past the int range: truncation maps (-2^31 - 1, 2^31) into it.
    constexpr double kAbove = 2147483648.0;
    constexpr double kBelow = -2147483649.0;
    if (!std::isfinite(value) || value >= kAbove || value <= kBelow)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace kestrun
