#pragma once
// Color_Double: a colour as three doubles (means and spreads of colour
// statistics keep their fractions in it).

class CArchive;

struct Color_Double
{
    Color_Double() = default;
    Color_Double(double r, double g, double b) : red(r), green(g), blue(b) {}
    virtual ~Color_Double() = default;
    Color_Double(const Color_Double&) = default;
    Color_Double& operator=(const Color_Double&) = default;

    // Red, green, blue as three doubles.
    virtual void Serialize(CArchive& ar);

    // Luminance with the video weights.
    double GetGray() const { return 0.299 * red + 0.587 * green + 0.114 * blue; }

    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};
