#pragma once
// The parametric straight line start + lambda * direction of the geometry
// library, bounded by lambda max or unbounded (-1.0).

#include "geometry/point.h"

#include <iosfwd>

class Line
{
public:
    Line() = default;
    Line(const Point& start, const Direction& direction, double lambdaMax);
    Line(const Line& other);
    virtual ~Line() = default;
    Line& operator=(const Line& other);

    Point& GetStart() { return m_start; }
    const Point& GetStart() const { return m_start; }
    Direction& GetDirection() { return m_direction; }
    const Direction& GetDirection() const { return m_direction; }
    double GetLambdaMax() const { return m_dLambdaMax; }
    WORD IsValid() const { return m_valid; }
    WORD SetValid(WORD valid) { return m_valid = valid; }

    void SetStart(const Point& start) { m_start = start; }
    void SetStart(double x, double y) { m_start.Set(x, y); }
    void SetDirection(const Direction& direction);
    void SetDirection(double x, double y);
    void SetDirection(const Point& direction);
    void SetLambdaMax(double lambdaMax) { m_dLambdaMax = lambdaMax; }

    // Grows the line by d at both ends.
    void Lengthen(double d);
    // Makes the direction a unit vector; with scaleLambda, lambda max keeps
    // the line's length. A zero direction stays.
    void NormDirection(int scaleLambda);
    void SetEnd(double x, double y);
    Point GetEnd();

    double GetAtan2Direction();
    double GetAngleDirection() const;
    void SetAngleDirection(double angle);

    // The crossing of the two lines; its valid flag tells the result:
    // 0 none (parallel, not unit directions, or beyond a bound), 1 ahead on
    // both lines, 2 behind the start of at least one.
    Point IntersectionPointWithLine(const Line& other, int bounded) const;
    // This line's angle minus the other's, in (-pi, pi]; normalises both
    // directions.
    double IntersectionAngleWithLine(Line& other);

    // Start, direction and lambda max as text; 0 when the stream has failed.
    int Save(std::ostream& out) const;
    // Reads what Save wrote; on a short or broken text answers 0 and the
    // line stays as it was.
    int Load(std::istream& in);

private:
    Point m_start;
    Direction m_direction;
    double m_dLambdaMax = -1.0;
    WORD m_valid = 0;
    double m_dAngle = kNoCoordinate; // cached direction angle
};
