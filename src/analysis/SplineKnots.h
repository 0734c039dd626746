#pragma once

#include <vector>

// Makes knots usable by CubicSpline::SetPoints: drops pairs with a non-finite coordinate, orders
// the rest by abscissa (stable) and merges knots sharing one abscissa - several samples on one
// device column - into a single knot at the mean of their ordinates. x and y are cut to the
// shorter of the two first. Afterwards x is strictly ascending.
void MergeCoincidentKnots(std::vector<double>& x, std::vector<double>& y);
