#pragma once
// Floating-point points of the geometry library: the plain `point` of the
// ellipse code, and the polymorphic `Point` with its `Direction`.

#include "platform/core/geometry.h"
#include "platform/core/types.h"

namespace kestrun::geometry {
// Truncation toward zero that stays defined for values outside the integer
// range (clamped) and for NaN (0).
int Truncate(double value);
} // namespace kestrun::geometry

// A coordinate holding this marker has no value.
inline constexpr double kNoCoordinate = -1.7976931348623157e308;

class point
{
public:
    point() = default;
    point(double x, double y) : m_x(x), m_y(y), m_valid(1) {}
    point(const point& other) = default;

    double getx() const { return m_x; }
    double gety() const { return m_y; }
    void set(double x, double y);
    void setx(double x);
    void sety(double y);

    point& operator=(const point& other) = default;
    // The integer point's coordinates; the valid flag stays as it is.
    point& operator=(const CPoint& other);
    point& operator+=(const point& other);
    point& operator-=(const point& other);
    point operator+(const point& other) const;
    point operator-(const point& other) const;

    double Distance(const point* other) const;
    // Both coordinates truncated toward zero.
    CPoint MFCPOINT() const;

    WORD SetValid(WORD valid) { return m_valid = valid; }
    WORD IsValid() const { return m_valid; }

private:
    double m_x = kNoCoordinate;
    double m_y = kNoCoordinate;
    WORD m_valid = 0;
};

class Point
{
public:
    // Coordinates are left at 0 rather than undefined.
    Point() = default;
    Point(double x, double y) : m_x(x), m_y(y) {}
    Point(const Point& other) = default;
    virtual ~Point() = default;

    double GetX() const { return m_x; }
    double GetY() const { return m_y; }
    WORD IsValid() const { return m_valid; }
    void SetX(double x) { m_x = x; }
    void SetY(double y) { m_y = y; }
    void Set(double x, double y);
    void Set(const Point& other) { Set(other.m_x, other.m_y); }
    void SetValid(WORD valid) { m_valid = valid; }

    Point& operator=(const Point& other) = default;
    Point& operator+=(const Point& other);
    Point& operator-=(const Point& other);
    Point operator+(const Point& other) const;
    Point operator-(const Point& other) const;

    double GetDistance(const Point& other) const;

protected:
    double m_x = 0.0;
    double m_y = 0.0;
    WORD m_valid = 1;
};

// A direction vector; copies of a Point or Direction are valid.
class Direction : public Point
{
public:
    Direction() = default;
    Direction(double x, double y) : Point(x, y) {}
    Direction(const Point& other) : Point(other.GetX(), other.GetY()) {}
    Direction(const Direction& other) : Point(other.GetX(), other.GetY()) {}
    ~Direction() override = default;
    Direction& operator=(const Direction& other) = default;
};
