// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/chartaxes.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "log/telemetry.h"

namespace quillon {

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double roundAtLeast(double raw, bool whole) {
  if (whole && raw <= 1) return 1;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (;; power *= 10) {
    for (double mantissa : {1.0, 2.0, 5.0}) {
      if (mantissa * power >= raw * (1 - 1e-9)) return mantissa * power;
    }
  }
}

ValueScale scale(double low, double high, double step, bool whole) {
  const int decimals = whole ? 0 : std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  return {low, high, step, decimals};
}

}  // namespace

ValueScale roundScale(double low, double high, int maxSteps, bool whole) {
  maxSteps = std::max(maxSteps, 1);
  if (!(high > low)) {
    const double pad = whole || low == 0 ? 1 : std::abs(low) * 0.01;
    low -= pad, high += pad;
  }
  for (double step = roundAtLeast((high - low) / maxSteps, whole);; step = roundAtLeast(step * 1.5, whole)) {
    // A bound already on a tick stays: 3.3 / 0.1 is 32.99999...
    const double first = std::floor(low / step + 1e-9) * step, last = std::ceil(high / step - 1e-9) * step;
    if ((last - first) / step <= maxSteps + 1e-9) return scale(first, last, step, whole);
  }
}

ValueScale roundStepWithin(double low, double high, int maxSteps, bool whole) {
  return scale(low, high, roundAtLeast((high - low) / std::max(maxSteps, 1), whole), whole);
}

namespace {

using namespace std::chrono;

constexpr double kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute, kDay = 24 * kHour;

struct Step {
  enum Kind { Fixed, MonthDays, Months } kind;
  double size;  // Fixed: ms from 1970; MonthDays: days from each 1st; Months: months from a January
};

constexpr Step kSteps[] = {
    {Step::Fixed, kSecond},      {Step::Fixed, 2 * kSecond},  {Step::Fixed, 5 * kSecond},
    {Step::Fixed, 10 * kSecond}, {Step::Fixed, 15 * kSecond}, {Step::Fixed, 30 * kSecond},
    {Step::Fixed, kMinute},      {Step::Fixed, 2 * kMinute},  {Step::Fixed, 5 * kMinute},
    {Step::Fixed, 10 * kMinute}, {Step::Fixed, 15 * kMinute}, {Step::Fixed, 30 * kMinute},
    {Step::Fixed, kHour},        {Step::Fixed, 2 * kHour},    {Step::Fixed, 3 * kHour},
    {Step::Fixed, 6 * kHour},    {Step::Fixed, 12 * kHour},   {Step::Fixed, kDay},
    {Step::Fixed, 2 * kDay},     {Step::MonthDays, 5},        {Step::MonthDays, 10},
    {Step::MonthDays, 15},       {Step::Months, 1},           {Step::Months, 2},
    {Step::Months, 3},           {Step::Months, 6},           {Step::Months, 12},
    {Step::Months, 24},          {Step::Months, 60},          {Step::Months, 120},
    {Step::Months, 240},         {Step::Months, 600},         {Step::Months, 1200},
    {Step::Months, 2400}};

double typicalMs(const Step& step) {
  return step.kind == Step::Fixed ? step.size
                                  : step.size * (step.kind == Step::MonthDays ? kDay : 30.44 * kDay);
}

double msOf(sys_days day) { return static_cast<double>(day.time_since_epoch().count()) * kDay; }

// The step's round times within first..last, in order.
std::vector<double> roundTimes(const Step& step, double first, double last) {
  std::vector<double> times;
  if (step.kind == Step::Fixed) {
    for (double t = std::ceil(first / step.size) * step.size; t < last; t += step.size) {
      if (t > first) times.push_back(t);
    }
    return times;
  }
  const year_month_day start{
      floor<days>(sys_time<milliseconds>(milliseconds(static_cast<long long>(first))))};
  for (year_month month = start.year() / start.month(); msOf(sys_days(month / 1)) < last;
       month += months(1)) {
    if (step.kind == Step::Months) {
      const int index = static_cast<int>(month.year()) * 12 + static_cast<int>(unsigned(month.month())) - 1;
      if (index % static_cast<int>(step.size) == 0) times.push_back(msOf(sys_days(month / 1)));
      continue;
    }
    // 1, 6, 11, ... 26: the last one stays a whole step before the next month's 1st.
    for (int day = 1; day <= 30 - static_cast<int>(step.size) + 1; day += static_cast<int>(step.size)) {
      times.push_back(msOf(sys_days(month / day)));
    }
  }
  std::erase_if(times, [&](double t) { return t <= first || t >= last; });
  return times;
}

}  // namespace

TimeTicks timeTicks(double firstMs, double lastMs, double widthPx, double labelPx) {
  TimeTicks ticks{{firstMs, lastMs}};
  if (!(lastMs > firstMs) || !(labelPx > 0)) return ticks;
  const double pxPerMs = widthPx / (lastMs - firstMs);
  const double labels = std::floor(widthPx / labelPx) - 1;  // the most the axis's shares allow
  for (const Step& step : kSteps) {
    if ((lastMs - firstMs) / typicalMs(step) > labels + 2) continue;  // far too many
    std::vector<double> times = roundTimes(step, firstMs, lastMs);
    std::erase_if(times, [&](double t) {
      return (t - firstMs) * pxPerMs < labelPx || (lastMs - t) * pxPerMs < labelPx;
    });
    if (static_cast<double>(times.size()) + 2 > labels) continue;
    bool apart = true;
    for (std::size_t i = 1; i < times.size(); ++i)
      apart = apart && (times[i] - times[i - 1]) * pxPerMs >= labelPx;
    if (!apart) continue;
    times.insert(times.begin(), firstMs);
    times.push_back(lastMs);
    return {times, step.kind == Step::Fixed && std::fmod(step.size, kMinute) != 0};
  }
  return ticks;
}

std::string timeTickText(double utcMs, bool seconds) {
  return utcTimeText(utcMs, 3) + '\n' + utcTimeText(utcMs, 5).substr(0, seconds ? 8 : 5);
}

}  // namespace quillon
