#include "objectmodel/fit.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

IMPLEMENT_DYNAMIC(CFit, CObject)

// The fit follows the classic straight-line fit with errors in both
// coordinates: after scaling y so that both axes spread alike, chi2 is
// minimised over the angle of the line, and the errors of the slope and the
// intercept are where chi2 has grown by 1 on either side of the minimum.

namespace {

// Pi as the rest of the program computes it; angles compared with stored
// directions must use the same value.
const double kPi = std::acos(0.5) * 3.0;
constexpr double kBig = 1e30;
// Half-width of the angles tried around the first guess: a quarter turn.
constexpr double kPotn = 1.571;
constexpr double kAccuracy = 1e-3;
// First step of the bracket search from the first guess, in radians.
constexpr double kFirstStep = 0.1;

void Report(const char* text)
{
    AfxMessageBox(text, MB_OK);
}

void MeanVariance(const std::vector<float>& data, int n, double& mean, double& variance)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += data[static_cast<size_t>(i)];
    mean = sum / n;
    double deviations = 0.0;
    double squares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double d = data[static_cast<size_t>(i)] - mean;
        deviations += d;
        squares += d * d;
    }
    variance = (squares - deviations * deviations / n) / (n - 1);
}

// ln(Gamma(x)) for x > 0.
double GammaLn(double x)
{
    static constexpr std::array<double, 6> kCoefficients = {76.18009173,    -86.50532033,  24.01409822,
                                                            -1.231739516,   0.00120858003, -5.36382e-06};
    double series = 1.000000000190015;
    for (size_t j = 0; j < kCoefficients.size(); ++j)
        series += kCoefficients[j] / (x + static_cast<double>(j + 1));
    return std::log(2.5066282746310007 * series / x) - ((x + 5.5) - (x + 0.5) * std::log(x + 5.5));
}

constexpr int kGammaIterations = 100;
constexpr double kGammaAccuracy = 3e-7;
constexpr double kSmallest = 1e-30;

// Incomplete gamma function P(a, x) by its series.
double GammaSeries(double a, double x)
{
    if (x <= 0.0) {
        if (x < 0.0)
            Report("x less than 0 in routine GSER");
        return 0.0;
    }
    const double gln = GammaLn(a);
    double ap = a;
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n <= kGammaIterations; ++n) {
        ap += 1.0;
        term *= x / ap;
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * kGammaAccuracy)
            return sum * std::exp(-x + a * std::log(x) - gln);
    }
    Report("a too large, ITMAX too small in routine GSER");
    return sum * std::exp(-x + a * std::log(x) - gln);
}

// Incomplete gamma function Q(a, x) by its continued fraction.
double GammaContinuedFraction(double a, double x)
{
    const double gln = GammaLn(a);
    double b = x + 1.0 - a;
    double c = 1.0 / kSmallest;
    double d = 1.0 / b;
    double h = d;
    int i = 1;
    for (; i <= kGammaIterations; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < kSmallest)
            d = kSmallest;
        c = b + an / c;
        if (std::fabs(c) < kSmallest)
            c = kSmallest;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < kGammaAccuracy)
            break;
    }
    if (i > kGammaIterations)
        Report("a too large, ITMAX too small in routine GCF");
    return std::exp(-x + a * std::log(x) - gln) * h;
}

// Q(a, x) = 1 - P(a, x): the chance of a chi2 above 2x with 2a degrees of freedom.
double GammaQ(double a, double x)
{
    if (std::isnan(x) || x < 0.0 || a <= 0.0) {
        Report("Invalid arguments in routine GAMMQ");
        return 0.0;
    }
    if (std::isinf(x))
        return 0.0;
    if (x < a + 1.0)
        return 1.0 - GammaSeries(a, x);
    return GammaContinuedFraction(a, x);
}

struct Bracket
{
    double a, b, c;
    double fa, fb, fc;
};

// Walks downhill from a and b until b lies below both a and c.
template <class F>
Bracket BracketMinimum(double a, double b, F& f)
{
    constexpr double kGold = 1.618034;
    constexpr double kLimit = 100.0;
    constexpr double kTiny = 1e-20;
    // The function is periodic, so the walk ends soon; this only guards
    // against values that keep creeping down.
    constexpr int kMaxSteps = 200;

    Bracket r{a, b, 0.0, f(a), f(b), 0.0};
    if (r.fb > r.fa) {
        std::swap(r.a, r.b);
        std::swap(r.fa, r.fb);
    }
    r.c = r.b + kGold * (r.b - r.a);
    r.fc = f(r.c);
    for (int step = 0; step < kMaxSteps && r.fb > r.fc; ++step) {
        const double p = (r.b - r.a) * (r.fb - r.fc);
        const double q = (r.b - r.c) * (r.fb - r.fa);
        const double denominator = 2.0 * std::copysign(std::max(std::fabs(q - p), kTiny), q - p);
        double u = r.b - ((r.b - r.c) * q - (r.b - r.a) * p) / denominator;
        const double uLimit = r.b + kLimit * (r.c - r.b);
        double fu;
        if ((r.b - u) * (u - r.c) > 0.0) {
            fu = f(u);
            if (fu < r.fc) {
                r.a = r.b;
                r.fa = r.fb;
                r.b = u;
                r.fb = fu;
                return r;
            }
            if (fu > r.fb) {
                r.c = u;
                r.fc = fu;
                return r;
            }
            u = r.c + kGold * (r.c - r.b);
            fu = f(u);
        } else if ((r.c - u) * (u - uLimit) > 0.0) {
            fu = f(u);
            if (fu < r.fc) {
                r.b = r.c;
                r.fb = r.fc;
                r.c = u;
                r.fc = fu;
                u = r.c + kGold * (r.c - r.b);
                fu = f(u);
            }
        } else if ((u - uLimit) * (uLimit - r.c) >= 0.0) {
            u = uLimit;
            fu = f(u);
        } else {
            u = r.c + kGold * (r.c - r.b);
            fu = f(u);
        }
        r.a = r.b;
        r.fa = r.fb;
        r.b = r.c;
        r.fb = r.fc;
        r.c = u;
        r.fc = fu;
    }
    return r;
}

// Brent's minimisation inside a bracket; returns the smallest value found
// and its place in xmin.
template <class F>
double MinimiseBrent(const Bracket& bracket, F& f, double tolerance, double& xmin)
{
    constexpr int kIterations = 100;
    constexpr double kGoldenSection = 0.381966;
    constexpr double kZeps = 1e-10;

    double a = std::min(bracket.a, bracket.c);
    double b = std::max(bracket.a, bracket.c);
    double x = bracket.b;
    double w = x;
    double v = x;
    double fx = f(x);
    double fw = fx;
    double fv = fx;
    double d = 0.0;
    double e = 0.0;
    for (int iteration = 0; iteration < kIterations; ++iteration) {
        const double xm = 0.5 * (a + b);
        const double tol1 = tolerance * std::fabs(x) + kZeps;
        const double tol2 = 2.0 * tol1;
        if (std::fabs(x - xm) <= tol2 - 0.5 * (b - a)) {
            xmin = x;
            return fx;
        }
        bool golden = true;
        if (std::fabs(e) > tol1) {
            // Try a parabola through x, w and v.
            const double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2.0 * (q - r);
            if (q > 0.0)
                p = -p;
            q = std::fabs(q);
            const double previous = e;
            e = d;
            if (!(std::fabs(p) >= std::fabs(0.5 * q * previous) || p <= q * (a - x) || p >= q * (b - x))) {
                d = p / q;
                const double u = x + d;
                if (u - a < tol2 || b - u < tol2)
                    d = std::copysign(tol1, xm - x);
                golden = false;
            }
        }
        if (golden) {
            e = x >= xm ? a - x : b - x;
            d = kGoldenSection * e;
        }
        const double u = std::fabs(d) >= tol1 ? x + d : x + std::copysign(tol1, d);
        const double fu = f(u);
        if (fu <= fx) {
            if (u >= x)
                a = x;
            else
                b = x;
            v = w;
            fv = fw;
            w = x;
            fw = fx;
            x = u;
            fx = fu;
        } else {
            if (u < x)
                a = u;
            else
                b = u;
            if (fu <= fw || w == x) {
                v = w;
                fv = fw;
                w = u;
                fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u;
                fv = fu;
            }
        }
    }
    Report("Too many iterations in BRENT");
    xmin = x;
    return fx;
}

// Brent's root search between x1 and x2, where f changes sign.
template <class F>
double FindRoot(F& f, double x1, double x2, double tolerance)
{
    constexpr int kIterations = 100;
    constexpr double kEps = 3e-8;

    double a = x1;
    double b = x2;
    double c = x2;
    double fa = f(a);
    double fb = f(b);
    // Callers pass an end where chi2 has grown beyond the level sought; should
    // rounding say otherwise, the far end is the best answer at hand.
    if ((fa > 0.0 && fb > 0.0) || (fa < 0.0 && fb < 0.0))
        return x2;
    double fc = fb;
    double d = 0.0;
    double e = 0.0;
    for (int iteration = 0; iteration < kIterations; ++iteration) {
        if ((fb > 0.0 && fc > 0.0) || (fb < 0.0 && fc < 0.0)) {
            c = a;
            fc = fa;
            e = d = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 2.0 * kEps * std::fabs(b) + 0.5 * tolerance;
        const double xm = 0.5 * (c - b);
        if (std::fabs(xm) <= tol1 || fb == 0.0)
            return b;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            // Inverse quadratic interpolation, or the secant when a == c.
            const double s = fb / fa;
            double p;
            double q;
            if (a == c) {
                p = 2.0 * xm * s;
                q = 1.0 - s;
            } else {
                const double qa = fa / fc;
                const double r = fb / fc;
                p = s * (2.0 * xm * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0)
                q = -q;
            p = std::fabs(p);
            const double min1 = 3.0 * xm * q - std::fabs(tol1 * q);
            const double min2 = std::fabs(e * q);
            if (2.0 * p < std::min(min1, min2)) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol1 ? d : std::copysign(tol1, xm);
        fb = f(b);
    }
    Report("Maximum number of iterations exceeded in ZBRENT");
    return 0.0;
}

} // namespace

void CFit::SetSize(int n)
{
    if (n < 0)
        AfxThrowInvalidArgException();
    if (n > m_nCapacity) {
        const auto size = static_cast<size_t>(n);
        for (auto* array : {&m_x, &m_y, &m_xError, &m_yError, &m_workX, &m_workY, &m_workXError, &m_workYError,
                            &m_workWeight})
            array->assign(size, 0.0f);
        m_nCapacity = n;
    }
    m_nPoints = n;
    m_bFitValid = 0;
}

void CFit::SetPoint(int i, int x, int y, float xError, float yError)
{
    if (i < 0 || i >= m_nPoints || !std::isfinite(xError) || !std::isfinite(yError))
        AfxThrowInvalidArgException();
    const auto k = static_cast<size_t>(i);
    m_x[k] = static_cast<float>(x);
    m_y[k] = static_cast<float>(y);
    m_xError[k] = xError;
    m_yError[k] = yError;
    m_bFitValid = 0;
}

void CFit::PushPoint(int x, int y, float xError, float yError)
{
    if (m_nPoints == 0 || !std::isfinite(xError) || !std::isfinite(yError))
        AfxThrowInvalidArgException();
    for (auto* array : {&m_x, &m_y, &m_xError, &m_yError})
        std::shift_left(array->begin(), array->begin() + m_nPoints, 1);
    SetPoint(m_nPoints - 1, x, y, xError, yError);
}

double CFit::ChiXY(double angle)
{
    const double b = std::tan(angle);
    double sumW = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int i = 0; i < m_nPoints; ++i) {
        const auto k = static_cast<size_t>(i);
        const double bx = b * m_workXError[k];
        const double sy = m_workYError[k];
        const double variance = bx * bx + sy * sy;
        const double w = variance < 1.0 / kBig ? kBig : 1.0 / variance;
        sumW += w;
        sumX += w * m_workX[k];
        sumY += w * m_workY[k];
    }
    if (!(sumW > 0.0) || !std::isfinite(sumW))
        return kBig;
    m_dWorkIntercept = (sumY - b * sumX) / sumW;
    double chi2 = -m_dOffset;
    for (int i = 0; i < m_nPoints; ++i) {
        const auto k = static_cast<size_t>(i);
        const double bx = b * m_workXError[k];
        const double sy = m_workYError[k];
        const double variance = bx * bx + sy * sy;
        const double w = variance < 1.0 / kBig ? kBig : 1.0 / variance;
        const double residual = m_workY[k] - m_dWorkIntercept - b * m_workX[k];
        chi2 += w * residual * residual;
    }
    return chi2;
}

// Weighted least squares of the working data with the combined errors as
// weights: the first guess of the slope.
void CFit::FitWorkingLine(double& slope) const
{
    const auto n = static_cast<size_t>(m_nPoints);
    // Points without any error would get infinite weight: weigh all alike then.
    const bool unweighted =
        std::any_of(m_workWeight.begin(), m_workWeight.begin() + m_nPoints, [](float s) { return !(s > 0.0f); });
    auto sigma = [&](size_t k) { return unweighted ? 1.0 : static_cast<double>(m_workWeight[k]); };

    double ss = 0.0;
    double sx = 0.0;
    for (size_t k = 0; k < n; ++k) {
        const double w = 1.0 / (sigma(k) * sigma(k));
        ss += w;
        sx += m_workX[k] * w;
    }
    const double meanX = sx / ss;
    double st2 = 0.0;
    double b = 0.0;
    for (size_t k = 0; k < n; ++k) {
        const double t = (m_workX[k] - meanX) / sigma(k);
        st2 += t * t;
        b += t * m_workY[k] / sigma(k);
    }
    slope = st2 > 0.0 ? b / st2 : 0.0;
}

void CFit::FitDegenerate(double varX, double varY)
{
    if (varX == 0.0 && varY == 0.0)
        return; // a single place: no line
    if (varX == 0.0) {
        m_dB = kVerticalSlope;
        m_dQ = 1.0;
        return;
    }
    // A horizontal line keeps its height.
    m_dA = m_dMeanY;
    m_dQ = 1.0;
}

bool CFit::FitLine(double& errorA, double& errorB, double& chi2)
{
    const int n = m_nPoints;
    if (n < 3)
        return false;
    errorA = errorB = chi2 = 0.0;
    m_dA = m_dB = m_dQ = 0.0;
    m_bFitValid = 1;

    MeanVariance(m_x, n, m_dMeanX, m_dVarX);
    MeanVariance(m_y, n, m_dMeanY, m_dVarY);
    if (m_dVarX == 0.0 || m_dVarY == 0.0) {
        FitDegenerate(m_dVarX, m_dVarY);
        return true;
    }

    // Work on the axis pair where the points spread less across than along,
    // with the second axis scaled to the spread of the first.
    const bool swapped = m_dVarY > m_dVarX;
    const double scale = swapped ? std::sqrt(m_dVarY / m_dVarX) : std::sqrt(m_dVarX / m_dVarY);
    const auto& u = swapped ? m_y : m_x;
    const auto& v = swapped ? m_x : m_y;
    const auto& uError = swapped ? m_yError : m_xError;
    const auto& vError = swapped ? m_xError : m_yError;
    for (size_t k = 0; k < static_cast<size_t>(n); ++k) {
        m_workX[k] = u[k];
        m_workY[k] = static_cast<float>(v[k] * scale);
        m_workXError[k] = uError[k];
        m_workYError[k] = static_cast<float>(vError[k] * scale);
        m_workWeight[k] = std::hypot(m_workXError[k], m_workYError[k]);
    }

    double slope = 0.0;
    FitWorkingLine(slope);
    m_dOffset = 0.0;
    auto chi = [this](double angle) { return ChiXY(angle); };

    const double guess = std::atan(slope);
    std::array<double, 6> angles{};
    std::array<double, 6> chis{};
    angles[3] = guess - kPotn;
    angles[4] = guess;
    angles[5] = guess + kPotn;
    for (size_t j = 3; j < 6; ++j)
        chis[j] = chi(angles[j]);
    const Bracket bracket = BracketMinimum(guess, guess + kFirstStep, chi);
    angles[0] = bracket.a;
    angles[1] = bracket.b;
    angles[2] = bracket.c;
    chis[0] = bracket.fa;
    chis[1] = bracket.fb;
    chis[2] = bracket.fc;

    double best = guess;
    MinimiseBrent(bracket, chi, kAccuracy, best);
    chi2 = chi(best);
    const double intercept = m_dWorkIntercept;
    m_dQ = GammaQ(0.5 * (n - 2), 0.5 * chi2);

    // The errors: the angles on either side where chi2 has grown by 1.
    m_dOffset = chi2 + 1.0;
    double bmx = kBig;
    double bmn = kBig;
    for (size_t j = 0; j < angles.size(); ++j) {
        if (!(chis[j] > m_dOffset))
            continue;
        double d1 = std::fabs(angles[j] - best);
        while (d1 >= kPi)
            d1 -= kPi;
        double d2 = kPi - d1;
        if (angles[j] < best)
            std::swap(d1, d2);
        bmx = std::min(bmx, d1);
        bmn = std::min(bmn, d2);
    }
    if (bmx < kBig) {
        bmx = FindRoot(chi, best, best + bmx, kAccuracy) - best;
        const double amx = m_dWorkIntercept - intercept;
        bmn = FindRoot(chi, best, best - bmn, kAccuracy) - best;
        const double amn = m_dWorkIntercept - intercept;
        const double cosBest = std::cos(best);
        errorB = std::sqrt(0.5 * (bmx * bmx + bmn * bmn)) / (scale * cosBest * cosBest);
        errorA = std::sqrt(0.5 * (amx * amx + amn * amn)) / scale;
    } else {
        errorA = errorB = kBig;
    }
    m_dOffset = 0.0;

    const double a = intercept / scale;
    const double b = std::tan(best) / scale;
    if (!swapped) {
        m_dA = a;
        m_dB = b;
        return true;
    }
    // The working line is x = a + b*y: turn it into y = a + b*x.
    if (b == 0.0) {
        m_dA = 0.0;
        m_dB = kVerticalSlope;
        errorA = errorB = kBig;
        return true;
    }
    m_dA = -a / b;
    m_dB = 1.0 / b;
    if (errorB < kBig) {
        // First order, the covariance of a and b neglected.
        errorA = std::hypot(errorA, a * errorB / b) / std::fabs(b);
        errorB = errorB / (b * b);
    }
    return true;
}

double CFit::GetDirection() const
{
    if (m_nPoints < 2)
        return kPi / 2.0;
    int sx = 0;
    int sy = 0;
    for (size_t k = 0; k + 1 < static_cast<size_t>(m_nPoints); ++k) {
        sx += static_cast<int>(m_x[k + 1] - m_x[k]);
        sy += static_cast<int>(m_y[k + 1] - m_y[k]);
    }
    if (sx == 0)
        return sy > 0 ? 3.0 * kPi / 2.0 : kPi / 2.0;

    const double t = std::atan(m_dB);
    if (std::abs(sy) < std::abs(sx)) {
        if (t < 0.0)
            return sx > 0 ? -t : kPi - t;
        return sx >= 0 ? 2.0 * kPi - t : kPi - t;
    }
    if (t < 0.0)
        return sy > 0 ? kPi - t : -t;
    return sy >= 0 ? 2.0 * kPi - t : kPi - t;
}
