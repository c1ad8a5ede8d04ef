#pragma once
// Direction from one pixel to another in radians, [0, 2*pi), counted
// counter-clockwise on screen (y pointing down). Equal points give pi/2.
// The engine's image operations and the polygon's angular sampling share it.

double GetLineAngle(int x0, int y0, int x1, int y1);
