// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chart's axes show, worked out without Qt so fast tests reach it:
//
//   values low..high, room for n steps --roundScale--> bounds and a step of 1, 2 or 5 x 10^k
//   UTC span, axis pixels, label pixels --timeTicks--> start, round times between, end
//   a tick --timeTickText--> "2009/06/30\n14:20" (its date over its time)
//
// A label never has to be cut short: fewer ticks as the axis narrows, and the start and
// end of the span are labelled whatever its width.

#include <string>
#include <vector>

namespace quillon {

struct ValueScale {
  double low, high;  // the axis's range
  double step;       // between ticks: 1, 2 or 5 times a power of ten
  int decimals;      // what a tick's label needs to show the step
};

// The round step that splits `low`..`high` into at most `maxSteps` (whole numbers only for
// counts), with the range widened to the ticks around it. A span of one value is widened
// around it first, so a flat series still gets an axis.
ValueScale roundScale(double low, double high, int maxSteps, bool whole);
// The same step over exactly `low`..`high` (a zoomed range): its ticks fall on multiples
// of the step within it.
ValueScale roundStepWithin(double low, double high, int maxSteps, bool whole);

struct TimeTicks {
  std::vector<double> at;  // ms since 1970: the start, round times between, the end
  bool seconds = false;    // the round times need their seconds shown
};

// The ticks of a time axis of `widthPx` from `firstMs` to `lastMs`, each label `labelPx`
// wide (padding included): the finest round step (1, 2, 5, 10, 15, 30 s or min; 1, 2, 3,
// 6, 12 h; 1, 2 days; days 1, 6, 11... of a month; 1st and 11th, 21st; 1st and 16th;
// 1, 2, 3, 6 months; 1, 2, 5... years) whose labels neither touch each other nor the
// start and end. The axis gives each of n labels an equal share, 1/(n + 1), of its width,
// so that many must fit as well.
TimeTicks timeTicks(double firstMs, double lastMs, double widthPx, double labelPx);

// A tick's label: its UTC date over its time, "2009/06/30\n14:20" or with ":05" seconds.
std::string timeTickText(double utcMs, bool seconds);

}  // namespace quillon
