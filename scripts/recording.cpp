// SPDX-License-Identifier: GPL-3.0-or-later
// beacon_recording: writes a seeded recording of the beacon, for trying `quillon-decode
// listen` and the dialog's Open Recording without a receiver. SNR is the tone's key-down
// power over the noise power in 2,500 Hz.
//
//   beacon_recording [--snr DB] [--wpm N] [--tone HZ] [--rate HZ] [--seed N] OUT.wav [TEXT]
//
// TEXT is keyed as given: letters, blanks (word gaps) and '|' (a pause of 3 s).
#include <CLI/CLI.hpp>
#include <iostream>

#include "support/beaconsignal.h"

int main(int argc, char** argv) {
  quillon::testsupport::SignalSpec signal;
  signal.snrDb = 0;
  std::string out, text = "TNGR 89D0A76820472FBCA7A01F | TNGR 8A5C3E1F | TNGR 89D0A7688A5C3E1F";
  CLI::App app{"Writes a seeded recording of the Tanager beacon as a WAV file.", "beacon_recording"};
  app.add_option("--snr", signal.snrDb, "Key-down tone power over noise in 2,500 Hz [dB]")
      ->capture_default_str();
  app.add_option("--wpm", signal.wpm, "Speed [words a minute]")->capture_default_str();
  app.add_option("--tone", signal.toneHz, "Tone [Hz]")->capture_default_str();
  app.add_option("--rate", signal.sampleRate, "Sample rate [Hz]")->capture_default_str();
  app.add_option("--seed", signal.seed, "Seed of the noise")->capture_default_str();
  app.add_option("OUT", out, "The WAV file to write")->required();
  app.add_option("TEXT", text, "What to key")->capture_default_str();
  CLI11_PARSE(app, argc, argv);
  const auto recording = quillon::testsupport::makeRecording(signal, text);
  constexpr int kWav16 = 0x010002;
  if (!quillon::testsupport::writeSoundFile(out, recording.samples, static_cast<int>(signal.sampleRate),
                                            kWav16)) {
    std::cerr << "beacon_recording: cannot write " << out << '\n';
    return 1;
  }
  return 0;
}
