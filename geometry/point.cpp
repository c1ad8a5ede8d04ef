#include "geometry/point.h"

#include <cmath>

void point::set(double x, double y)
{
    m_x = x;
    m_y = y;
    m_valid = 1;
}

void point::setx(double x)
{
    m_x = x;
    m_valid = m_y == kNoCoordinate ? 0 : 1;
}

void point::sety(double y)
{
    m_y = y;
    m_valid = m_x == kNoCoordinate ? 0 : 1;
}

point& point::operator=(const CPoint& other)
{
    m_x = other.x;
    m_y = other.y;
    return *this;
}

point& point::operator+=(const point& other)
{
    m_x += other.m_x;
    m_y += other.m_y;
    m_valid = other.m_valid != 0 ? 1 : 0;
    return *this;
}

point& point::operator-=(const point& other)
{
    m_x -= other.m_x;
    m_y -= other.m_y;
    m_valid = other.m_valid != 0 ? 1 : 0;
    return *this;
}

point point::operator+(const point& other) const
{
    point sum(*this);
    return sum += other;
}

point point::operator-(const point& other) const
{
    point difference(*this);
    return difference -= other;
}

double point::Distance(const point* other) const
{
    return other ? std::hypot(m_x - other->m_x, m_y - other->m_y) : 0.0;
}

int kestrun::geometry::Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    if (value >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(value);
}

CPoint point::MFCPOINT() const
{
    return CPoint(kestrun::geometry::Truncate(m_x), kestrun::geometry::Truncate(m_y));
}

void Point::Set(double x, double y)
{
    m_x = x;
    m_y = y;
    m_valid = 1;
}

Point& Point::operator+=(const Point& other)
{
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

Point& Point::operator-=(const Point& other)
{
    m_x -= other.m_x;
    m_y -= other.m_y;
    return *this;
}

Point Point::operator+(const Point& other) const
{
    Point sum(*this);
    return sum += other;
}

Point Point::operator-(const Point& other) const
{
    Point difference(*this);
    return difference -= other;
}

double Point::GetDistance(const Point& other) const
{
    const double dx = m_x - other.m_x;
    const double dy = m_y - other.m_y;
    return std::sqrt(dx * dx + dy * dy);
}
