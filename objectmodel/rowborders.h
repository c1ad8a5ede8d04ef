#pragma once
// What the polygon's border walks need of an area of interest: its rows
// and the first and last x of each row. Areas of interest answer it.

namespace kestrun {

class CRowBorders
{
public:
    virtual ~CRowBorders() = default;

    virtual int GetTop() const = 0;
    virtual int GetHeight() const = 0;
    // First and last x of row y (both inside the area).
    virtual int GetRowLeft(int y) const = 0;
    virtual int GetRowRight(int y) const = 0;

    // On the top or bottom row, or at (or beyond) the first or last x of its row.
    bool IsOnBorder(int x, int y) const
    {
        const int top = GetTop();
        const int bottom = top + GetHeight() - 1;
        return y <= top || y >= bottom || x <= GetRowLeft(y) || x >= GetRowRight(y);
    }
};

} // namespace kestrun
