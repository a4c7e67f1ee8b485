// SPDX-License-Identifier: GPL-3.0-or-later
// The bracket narrowing against plain bisection on the same bracket and
// tolerance: the same crossing, to 1e-10, fewer trials on smooth pieces, and
// bisection's own choice where a sawtooth crosses zero more than once.
#include "melt/bracket_root.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using Function = std::function<double(double)>;
using Pieces = std::function<int64_t(double)>;

const Pieces OnePiece = [](double) { return int64_t{0}; };

constexpr long double Tolerance = 1e-12L;

RootBracket Bracket(const Function& f, double low, double high, const Pieces& piece = OnePiece) {
  return {low, high, f(low), f(high), piece(low), piece(high)};
}

// The reference: halve until narrow enough.
BracketNarrowing Bisect(RootBracket b, const Function& f) {
  BracketNarrowing result;
  while ((long double)b.High - b.Low > Tolerance * b.High) {
    const double mid = static_cast<double>(((long double)b.Low + b.High) / 2);
    const double value = f(mid);
    ++result.Trials;
    if (value > 0) {
      b.Low = mid;
      b.LowValue = value;
    } else {
      b.High = mid;
      b.HighValue = value;
    }
  }
  result.Bracket = b;
  return result;
}

double Middle(const RootBracket& b) { return static_cast<double>(((long double)b.Low + b.High) / 2); }

TEST(BracketRoot, ClosesOnTheSamePointAsBisection) {
  const struct {
    const char* Name;
    Function F;
    int MostTrials;  // at most this many, where bisection takes about 40
    Pieces Piece = OnePiece;
  } cases[] = {
      {"straight line", [](double x) { return 287.07 - x; }, 4},
      {"convex", [](double x) { return std::exp(-x / 50) - std::exp(-287.07 / 50); }, 14},
      {"steep near the root", [](double x) { return std::atan(1e3 * (287.07 - x)); }, 30},
      {"flat to one side", [](double x) { return x < 200 ? 1.0 : 287.07 - x; }, 16},
      // Interpolation is no help: the bisection steps must carry it.
      {"a step", [](double x) { return x <= 287.07 ? 0.013 : -0.013; }, 45},
      // Crossings at 287 and 297: bisection's midpoints pick 297.
      {"a sawtooth",
       [](double x) { return x < 280 ? 1 : x >= 300 ? -1 : 10 * std::floor(x / 10) + 7 - x; },
       20,
       [](double x) { return static_cast<int64_t>(std::floor(x / 10)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const RootBracket start = Bracket(c.F, 143, 572, c.Piece);
    const BracketNarrowing reference = Bisect(start, c.F);
    int32_t calls = 0;
    const BracketNarrowing narrowed = NarrowBracket(start, Tolerance, 100, [&](double x, BracketTrial& trial) {
      ++calls;
      trial = {c.F(x), c.Piece(x)};
      return true;
    });
    const RootBracket& b = narrowed.Bracket;
    EXPECT_FALSE(narrowed.Stopped);
    EXPECT_EQ(narrowed.Trials, calls);
    EXPECT_LE(narrowed.Trials, c.MostTrials) << "bisection: " << reference.Trials;
    EXPECT_LE((long double)b.High - b.Low, Tolerance * b.High);
    EXPECT_GT(b.LowValue, 0);
    EXPECT_LE(b.HighValue, 0);
    EXPECT_EQ(b.LowValue, c.F(b.Low));
    EXPECT_EQ(b.HighValue, c.F(b.High));
    EXPECT_NEAR(Middle(b), Middle(reference.Bracket), 1e-10 * Middle(reference.Bracket));
  }
}

TEST(BracketRoot, StopsWhenAskedOrOutOfTrials) {
  const Function line = [](double x) { return 100 - x; };
  const RootBracket start = Bracket(line, 0, 1000);
  int32_t calls = 0;
  const BracketNarrowing stopped = NarrowBracket(start, Tolerance, 100, [&](double x, BracketTrial& trial) {
    trial.Value = line(x);
    return ++calls < 2;
  });
  EXPECT_TRUE(stopped.Stopped);
  EXPECT_EQ(stopped.Trials, 2);
  const BracketNarrowing limited = NarrowBracket(Bracket([](double x) { return x <= 1 ? 1.0 : -1.0; }, 0, 8), Tolerance, 3,
                                                 [](double x, BracketTrial& trial) {
                                                   trial.Value = x <= 1 ? 1.0 : -1.0;
                                                   return true;
                                                 });
  EXPECT_FALSE(limited.Stopped);
  EXPECT_EQ(limited.Trials, 3);
  // A width no bracket reaches: it ends when no new trial lies between the ends.
  const BracketNarrowing adjacent = NarrowBracket(start, 0, 500, [&](double x, BracketTrial& trial) {
    EXPECT_TRUE(x > 0 && x < 1000) << x;
    trial.Value = line(x);
    return true;
  });
  EXPECT_LT(adjacent.Trials, 500);
  EXPECT_LE(limited.Bracket.Low, 1);
  EXPECT_GT(limited.Bracket.High, 1);
}

}  // namespace
