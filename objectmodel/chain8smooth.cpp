// Smoothing of a closed 8-direction chain. The turn from code a to the
// next remaining code b is t = b - a - 4 when a < b, else b - a + 4:
// 4 straight, 0 reversal, |t| 1 a 135-degree, 2 a right-angle and 3 a
// 45-degree turn. Every change below keeps the sum of the steps, so the
// chain stays closed and the points around the change stay where they were.

#include "objectmodel/chain8.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr INT kRemoved = -1;

int TurnOf(int a, int b)
{
    return a < b ? b - a - 4 : b - a + 4;
}

int Rotated(int code, int steps)
{
    return ((code + steps) % 8 + 8) % 8;
}

CPoint StepOf(int code)
{
    return CChain8::StepPoint(code, 0, 0);
}

class CChainSmoothing
{
public:
    CChainSmoothing(std::vector<INT>& codes, int tolerance, CPoint& start)
        : m_codes(codes), m_tolerance(tolerance), m_start(start), m_remaining(static_cast<int>(codes.size()))
    {
    }

    int Remaining() const { return m_remaining; }

    // One scan over the chain. A 45-degree turn opens a run: when the same
    // turn follows after fewer than tolerance - 2 straight steps, the
    // staircase becomes straight by changing the run's first code. Any
    // other turn closes the run, and an open run ends the pass at the wrap.
    void Pass()
    {
        bool runOpen = false;
        int runFirst = 0;
        int runTurn = 0;
        int straightSteps = 0;
        const int n = static_cast<int>(m_codes.size());
        for (int i = 0; i < n && m_remaining >= 2; ++i) {
            if (m_codes[static_cast<size_t>(i)] == kRemoved)
                continue;
            const int j = NextAfter(i);
            const bool wrapped = j < i;
            if (wrapped && runOpen)
                break;
            const int t = TurnOf(At(i), At(j));
            if (t == 4) {
                straightSteps += runOpen ? 1 : 0;
                continue;
            }
            if (std::abs(t) > m_tolerance) {
                runOpen = false;
                continue;
            }
            if (std::abs(t) == 3) {
                if (runOpen && t == runTurn && straightSteps < m_tolerance - 2) {
                    Change(runFirst, j, t, false);
                    // The run's first code is straight now: a further
                    // change there would move the outline.
                    runOpen = false;
                } else {
                    runOpen = true;
                    runFirst = i;
                    runTurn = t;
                    straightSteps = 0;
                }
                continue;
            }
            runOpen = false;
            Change(i, j, t, wrapped);
        }
    }

private:
    INT& At(int index) { return m_codes[static_cast<size_t>(index)]; }

    // The next code that is not removed, past the end back to the start.
    int NextAfter(int i) const
    {
        const int n = static_cast<int>(m_codes.size());
        for (int k = 1; k < n; ++k) {
            const int j = (i + k) % n;
            if (m_codes[static_cast<size_t>(j)] != kRemoved)
                return j;
        }
        return i;
    }

    // Treats the turn t from code a (at ia) to code b (at ib). When the
    // search wrapped, b is the first code of the chain and the start point
    // follows the change.
    void Change(int ia, int ib, int t, bool wrapped)
    {
        const int a = At(ia);
        const int b = At(ib);
        // Rotating toward b adds -sigma per step.
        const int toward = t > 0 ? -1 : 1;
        if (t == 0) {
            At(ia) = kRemoved;
            At(ib) = kRemoved;
            m_remaining -= 2;
            if (wrapped)
                m_start += StepOf(b);
        } else if (b % 2 == 0 || std::abs(t) == 1) {
            At(ia) = Rotated(a, b % 2 == 0 ? toward : 2 * toward);
            At(ib) = kRemoved;
            --m_remaining;
            if (wrapped)
                m_start += StepOf(b);
        } else {
            const int rotated = Rotated(a, toward);
            At(ia) = rotated;
            At(ib) = rotated;
            if (wrapped)
                m_start += StepOf(rotated) - StepOf(a);
        }
    }

    std::vector<INT>& m_codes;
    const int m_tolerance;
    CPoint& m_start;
    int m_remaining;
};

} // namespace

int CChain8::Smooth(int passes, int tolerance, int length)
{
    if (length < 0 || length > GetSize())
        AfxThrowInvalidArgException();

    // A code that is no direction walks as 0 (StepPoint), so it smooths as 0.
    std::vector<INT> codes(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const BYTE code = GetAt(i);
        codes[static_cast<size_t>(i)] = code <= 7 ? code : 0;
    }
    CPoint start = GetStartPoint();
    CChainSmoothing smoothing(codes, tolerance, start);

    const int passCount = std::min(passes, 99) + 1;
    const long long minimumLength = 8LL * tolerance - 15;
    int unchangedPasses = 0;
    for (int pass = 0; pass < passCount; ++pass) {
        const int before = smoothing.Remaining();
        smoothing.Pass();
        const int after = smoothing.Remaining();
        if (after < 7 || after < minimumLength)
            break;
        unchangedPasses = after == before ? unchangedPasses + 1 : 0;
        if (unchangedPasses >= 2)
            break;
    }

    const int count = Compact(codes);
    SetStartPoint(start.x, start.y);
    return count;
}
