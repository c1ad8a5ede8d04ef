#include "geometry/line.h"
#include "geometry/textnumber.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <istream>
#include <numbers>
#include <ostream>
#include <string>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// One white-space separated word of at most 64 characters; false at the end
// of the stream or for a longer word.
bool ReadWord(std::istream& in, std::string& word)
{
    word.clear();
    in >> std::ws;
    while (in) {
        const int c = in.peek();
        if (c == std::char_traits<char>::eof() || std::isspace(static_cast<unsigned char>(c)))
            break;
        if (word.size() == 64)
            return false;
        word.push_back(static_cast<char>(in.get()));
    }
    return !word.empty();
}


} // namespace

Line::Line(const Point& start, const Direction& direction, double lambdaMax)
    : m_start(start), m_direction(direction), m_dLambdaMax(lambdaMax), m_valid(1)
{
}

Line::Line(const Line& other)
    : m_start(other.m_start), m_direction(other.m_direction), m_dLambdaMax(other.m_dLambdaMax), m_valid(1),
      m_dAngle(other.m_dAngle)
{
}

Line& Line::operator=(const Line& other)
{
    m_start = other.m_start;
    m_direction = other.m_direction;
    m_dLambdaMax = other.m_dLambdaMax;
    m_valid = other.m_valid;
    m_dAngle = other.m_dAngle;
    return *this;
}

void Line::SetDirection(const Direction& direction)
{
    m_direction = direction;
    m_dAngle = kNoCoordinate;
}

void Line::SetDirection(double x, double y)
{
    m_direction.Set(x, y);
    m_dAngle = kNoCoordinate;
}

void Line::SetDirection(const Point& direction)
{
    m_direction.Set(direction.GetX(), direction.GetY());
    m_dAngle = kNoCoordinate;
}

void Line::Lengthen(double d)
{
    m_dLambdaMax += 2.0 * d;
    m_start.Set(m_start.GetX() - d * m_direction.GetX(), m_start.GetY() - d * m_direction.GetY());
}

void Line::NormDirection(int scaleLambda)
{
    const double length = std::hypot(m_direction.GetX(), m_direction.GetY());
    if (length == 0.0)
        return;
    m_direction.Set(m_direction.GetX() / length, m_direction.GetY() / length);
    if (scaleLambda)
        m_dLambdaMax *= length;
    m_dAngle = kNoCoordinate;
}

void Line::SetEnd(double x, double y)
{
    m_direction.Set(x - m_start.GetX(), y - m_start.GetY());
    m_dLambdaMax = std::hypot(m_direction.GetX(), m_direction.GetY());
    NormDirection(0);
    m_dAngle = kNoCoordinate;
}

Point Line::GetEnd()
{
    // An unbounded line ends one direction length from its start.
    const double length = m_dLambdaMax == -1.0 ? 1.0 : m_dLambdaMax;
    if (m_direction.GetX() == 0.0 && m_direction.GetY() > 0.0)
        return Point(m_start.GetX(), m_start.GetY() + length);
    if (m_direction.GetX() == 0.0 && m_direction.GetY() < 0.0)
        return Point(m_start.GetX(), m_start.GetY() - length);
    const double angle = GetAtan2Direction();
    return Point(m_start.GetX() + length * std::cos(angle), m_start.GetY() + length * std::sin(angle));
}

double Line::GetAtan2Direction()
{
    if (m_dAngle == kNoCoordinate)
        m_dAngle = GetAngleDirection();
    return m_dAngle;
}

double Line::GetAngleDirection() const
{
    const double x = m_direction.GetX();
    const double y = m_direction.GetY();
    if (std::fabs(x) < 1e-11) {
        if (y > 0.0)
            return 1.570796326795;
        if (y < 0.0)
            return -1.570796326795;
        return 0.0;
    }
    return std::atan2(y, x);
}

void Line::SetAngleDirection(double angle)
{
    m_direction.Set(std::cos(angle), std::sin(angle));
    NormDirection(0);
    m_dAngle = kNoCoordinate;
}

Point Line::IntersectionPointWithLine(const Line& other, int bounded) const
{
    Point result(0.0, 0.0);
    result.SetValid(0);
    const double a = m_direction.GetX();
    const double b = m_direction.GetY();
    const double c = other.m_direction.GetX();
    const double d = other.m_direction.GetY();
    if (std::fabs(a * a + b * b - 1.0) > 0.001 || std::fabs(c * c + d * d - 1.0) > 0.001)
        return result;
    const double dx = other.m_start.GetX() - m_start.GetX();
    const double dy = other.m_start.GetY() - m_start.GetY();
    double mu = 0.0;
    double lambda = 0.0;
    if (std::fabs(a) >= 0.5) {
        const double k = (b / a) * c - d;
        if (std::fabs(k) < 0.00001)
            return result;
        mu = (dy - (b / a) * dx) / k;
        lambda = (dx + c * mu) / a;
    } else {
        const double k = (a / b) * d - c;
        if (std::fabs(k) < 0.00001)
            return result;
        mu = (dx - (a / b) * dy) / k;
        lambda = (d * mu + dy) / b;
    }
    if (bounded && ((other.m_dLambdaMax != -1.0 && mu > other.m_dLambdaMax) ||
                    (m_dLambdaMax != -1.0 && lambda > m_dLambdaMax)))
        return result;
    result.Set(other.m_start.GetX() + mu * c, other.m_start.GetY() + mu * d);
    result.SetValid(lambda >= 0.0 && mu >= 0.0 ? 1 : 2);
    return result;
}

namespace {

// The direction's angle in [0, 2 pi) from its cosine and the sign of its
// sine.
double FullAngle(const Direction& direction)
{
    const double angle = std::acos(std::clamp(direction.GetX(), -1.0, 1.0));
    return std::asin(std::clamp(direction.GetY(), -1.0, 1.0)) < 0.0 ? kTwoPi - angle : angle;
}

} // namespace

double Line::IntersectionAngleWithLine(Line& other)
{
    NormDirection(0);
    other.NormDirection(0);
    double difference = FullAngle(m_direction) - FullAngle(other.m_direction);
    while (difference > std::numbers::pi)
        difference -= kTwoPi;
    while (difference <= -std::numbers::pi)
        difference += kTwoPi;
    return difference;
}

int Line::Save(std::ostream& out) const
{
    if (!out)
        return 0;
    const std::array<double, 5> values{m_start.GetX(), m_start.GetY(), m_direction.GetX(), m_direction.GetY(),
                                       m_dLambdaMax};
    std::string text;
    for (const double value : values) {
        // Shortest text that reads back to the same double, in any locale.
        std::array<char, 32> buffer{};
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        if (ec != std::errc())
            return 0;
        if (!text.empty())
            text.push_back(' ');
        text.append(buffer.data(), end);
    }
    text.push_back('\n');
    out << text;
    return out ? 1 : 0;
}

int Line::Load(std::istream& in)
{
    if (!in)
        return 0;
    std::array<double, 5> values{};
    std::string word;
    for (double& value : values) {
        if (!ReadWord(in, word) || !kestrun::geometry::ParseFinite(word, value))
            return 0;
    }
    m_start.Set(values[0], values[1]);
    m_direction.Set(values[2], values[3]);
    m_dLambdaMax = values[4];
    m_dAngle = kNoCoordinate;
    return 1;
}
