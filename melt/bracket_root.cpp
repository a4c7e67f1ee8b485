// SPDX-License-Identifier: GPL-3.0-or-later
#include "melt/bracket_root.h"

#include <cmath>

namespace {

// A zero counts with the high side, as in the bracket's definition.
bool Above(long double value) { return value > 0; }

}  // namespace

BracketNarrowing NarrowBracket(RootBracket bracket, long double relativeWidth, int32_t maxTrials,
                               const std::function<bool(double, BracketTrial&)>& f) {
  BracketNarrowing result;
  auto keep = [&](double x, const BracketTrial& trial) {
    if (Above(trial.Value)) {
      bracket.Low = x;
      bracket.LowValue = trial.Value;
      bracket.LowPiece = trial.Piece;
    } else {
      bracket.High = x;
      bracket.HighValue = trial.Value;
      bracket.HighPiece = trial.Piece;
    }
  };
  auto wide = [&] {
    return (long double)bracket.High - bracket.Low > relativeWidth * bracket.High && result.Trials < maxTrials;
  };
  while (bracket.LowPiece != bracket.HighPiece && wide()) {
    const double middle = static_cast<double>(((long double)bracket.Low + bracket.High) / 2);
    BracketTrial trial;
    ++result.Trials;
    if (!f(middle, trial)) {
      result.Stopped = true;
      result.Bracket = bracket;
      return result;
    }
    keep(middle, trial);
  }
  // Brent's names: b the latest trial (the best estimate), c the end across
  // the crossing from b, a the trial before b.
  long double a = bracket.Low, fa = bracket.LowValue;
  long double b = bracket.High, fb = bracket.HighValue;
  long double c = a, fc = fa;
  long double d = b - a, e = d;
  long double widthThreeBack = b - a;
  int sinceHalving = 0;
  while (wide()) {
    if (Above(fb) == Above(fc)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    // Just under half the width asked for: the smallest step, so that a step
    // past the crossing closes the bracket.
    const long double smallest = 0.49L * relativeWidth * bracket.High;
    const long double half = (c - b) / 2;
    bool bisect = sinceHalving >= 3 || std::fabs(e) < smallest || !(std::fabs(fa) > std::fabs(fb));
    if (!bisect) {
      const long double s = fb / fa;
      long double p, q;
      if (a == c) {
        p = 2 * half * s;
        q = 1 - s;
      } else {
        const long double qa = fa / fc, r = fb / fc;
        p = s * (2 * half * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      p = std::fabs(p);
      bisect = !(2 * p < std::fmin(std::fabs(3 * half * q) - std::fabs(smallest * q), std::fabs(e * q)));
      if (!bisect) {
        e = d;
        d = p / q;
      }
    }
    if (bisect) {
      d = half;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > smallest ? d : std::copysign(smallest, half);
    const double trial = static_cast<double>(b);
    if (!(trial > bracket.Low && trial < bracket.High)) break;  // no double lies between the ends
    BracketTrial value;
    ++result.Trials;
    if (!f(trial, value)) {
      result.Stopped = true;
      break;
    }
    b = trial;
    fb = value.Value;
    keep(trial, value);
    const long double width = (long double)bracket.High - bracket.Low;
    if (bisect || width <= widthThreeBack / 2) {
      sinceHalving = 0;
      widthThreeBack = width;
    } else {
      ++sinceHalving;
    }
  }
  result.Bracket = bracket;
  return result;
}
