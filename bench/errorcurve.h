// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio benchmark's error curve: letters wrong against SNR for quillon and
// multimon-ng, beside two ideal detectors (tone and timing known, 20 WPM), drawn as a PNG.

#include <string>
#include <vector>

struct CurvePoint {
  double snrDb;
  double wrong;          // quillon: share of letters wrong, an x counted wrong
  double wrongUnmarked;  // quillon: wrong and not marked x
  double multimon;       // multimon-ng: share of letters wrong
};

// The ideal detectors' share of letters wrong at `snrDb`: each unit slot decided on its
// own (`wholeLetters` false), or the likeliest letter of the beacon's alphabet from soft
// slot evidence. A seeded Monte-Carlo of `trials` letters.
double idealLetterError(double snrDb, bool wholeLetters, int trials);

// Draws the curve; false when the PNG cannot be written (or Qt Charts was not built in).
bool drawErrorCurve(const std::string& path, const std::vector<CurvePoint>& points, int argc, char** argv);
