// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Takes the last few hertz of frequency error out of the baseband, looking both ways:
//
//   z[n] -> sum of z[k] conj(z[k - lag]) over a second centred on the sample -> its angle
//   over the lag: the tone's offset -> z[n - half] turned back by the offset's running phase
//
// The tracker's FFT frames are 31 Hz wide; at low SNR their estimate wanders by several
// hertz, and a unit slot of 60 ms loses a dB to 5 Hz. The product of samples a lag
// apart is weighed by the tone's own energy, so key-up noise adds little, and a second of
// them pins the offset to a fraction of a hertz. Output lags input by `half` samples.

#include <complex>
#include <cstddef>
#include <vector>

namespace quillon::audio {

class FineTuner {
 public:
  // `lag` samples between the two factors (the offset must stay within half a cycle over
  // it), `half` samples of window on each side of the sample corrected.
  FineTuner(std::size_t lag, std::size_t half);

  // Pushes the newest sample; true when `out` holds the corrected sample `half` behind.
  bool push(std::complex<float> z, std::complex<float>& out);

  // The offset applied to the last sample out [radians per sample].
  double offset() const { return offset_; }
  std::size_t delay() const { return half_; }

 private:
  std::size_t lag_, half_;
  std::vector<std::complex<float>> z_;
  std::vector<std::complex<double>> products_;
  std::complex<double> sum_{};
  std::size_t count_ = 0;
  double phase_ = 0, offset_ = 0;
};

}  // namespace quillon::audio
