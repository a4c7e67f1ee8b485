// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Narrowing a bracket [Low, High] around the point where a function crosses
// from above zero to zero or below (f(Low) > 0 >= f(High)) until it is at
// most RelativeWidth x High wide, to the crossing plain bisection finds.
// The function is smooth on pieces that f labels (the pressure margin jumps
// where the end of melting moves by a grid point) and may cross zero once
// in each: while the ends lie on different pieces the trial is the
// midpoint, exactly as bisection takes it, since which crossing bisection
// finds depends on those midpoints. Within one piece Brent's method picks
// each trial (inverse quadratic or secant interpolation), taking a bisection
// step whenever interpolation would leave the bracket, would not shrink the
// steps, or three trials have not halved the bracket. Every trial replaces
// the end on its own side, so the bracket always holds a crossing in the
// same direction, across a jump too, where it closes on the jump.

#include <cstdint>
#include <functional>

struct RootBracket {
  double Low = 0, High = 0;            // Low < High
  double LowValue = 0, HighValue = 0;  // f(Low) > 0 >= f(High)
  int64_t LowPiece = 0, HighPiece = 0; // the smooth pieces they lie on
};

struct BracketTrial {
  double Value = 0;
  int64_t Piece = 0;
};

struct BracketNarrowing {
  RootBracket Bracket;   // the last bracket, narrow enough unless Stopped or out of trials
  int32_t Trials = 0;    // calls of f
  bool Stopped = false;  // f asked to stop
};

// f(x, trial) stores f at x and its piece and returns false to stop the
// search there.
// Stops after `maxTrials` trials with the bracket as far as it got.
BracketNarrowing NarrowBracket(RootBracket bracket, long double relativeWidth, int32_t maxTrials,
                               const std::function<bool(double, BracketTrial&)>& f);
