// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/soundfile.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "audio/cwdecoder.h"

namespace quillon::audio {

namespace {

// Longer than any recording a station keeps: a header beyond it is a broken one.
constexpr std::int64_t kMostFrames = std::int64_t{1} << 40;
constexpr int kMostChannels = 64;

std::string openError(SNDFILE* file, int error) {
  switch (error) {
    case SF_ERR_UNRECOGNISED_FORMAT: return "not a sound file format libsndfile reads";
    case SF_ERR_UNSUPPORTED_ENCODING: return "a sound encoding libsndfile does not read";
    case SF_ERR_MALFORMED_FILE: return "a malformed sound file";
    default: return sf_strerror(file);
  }
}

}  // namespace

SoundFile::SoundFile(const std::string& path) {
  if (path == "-") {
    SF_INFO info{};
    file_ = sf_open_fd(STDIN_FILENO, SFM_READ, &info, SF_FALSE);
    if (!file_) throw SoundFileError("standard input: " + openError(nullptr, sf_error(nullptr)));
  } else {
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) throw SoundFileError(openError(nullptr, sf_error(nullptr)));
  }
  checkHeader();
}

SoundFile::SoundFile(int fd) {
  SF_INFO info{};
  file_ = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
  if (!file_) throw SoundFileError(openError(nullptr, sf_error(nullptr)));
  checkHeader();
}

SoundFile::~SoundFile() {
  if (file_) sf_close(file_);
}

void SoundFile::checkHeader() {
  SF_INFO info{};
  sf_command(file_, SFC_GET_CURRENT_SF_INFO, &info, sizeof info);
  auto fail = [&](const std::string& why) {
    sf_close(file_);
    file_ = nullptr;
    throw SoundFileError(why);
  };
  if (info.channels < 1 || info.channels > kMostChannels) {
    fail("the header names " + std::to_string(info.channels) + " channels");
  }
  if (!(info.samplerate >= kMinSampleRate && info.samplerate <= kMaxSampleRate)) {
    fail("a sample rate of " + std::to_string(info.samplerate) + " Hz; the decoder takes 8000 to 48000 Hz");
  }
  rate_ = info.samplerate;
  channels_ = info.channels;
  // A stream's length is unknown: libsndfile says so with a huge or negative count.
  announced_ = info.frames > 0 && info.frames < kMostFrames ? info.frames : 0;
  // libsndfile reads what is there of a file whose header misstates its data's length,
  // and says so in its log.
  char log[4096] = {};
  sf_command(file_, SFC_GET_LOG_INFO, log, sizeof log);
  misstated_ = std::string_view(log).find("should be") != std::string_view::npos;
  // Integer data is scaled to +-1; floats are taken as they are (the decoder clips them).
  sf_command(file_, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
}

std::size_t SoundFile::read(std::span<float> out) {
  if (ended_ || out.empty()) return 0;
  const auto c = static_cast<std::size_t>(channels_);
  interleaved_.resize(out.size() * c);
  const sf_count_t got = sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(out.size()));
  if (got <= 0) {
    ended_ = true;
    const int error = sf_error(file_);
    if (error != SF_ERR_NO_ERROR && read_ == 0) throw SoundFileError(sf_strerror(file_));
    return 0;
  }
  const auto frames = static_cast<std::size_t>(got);
  for (std::size_t i = 0; i < frames; ++i) {
    float sum = 0;
    for (std::size_t k = 0; k < c; ++k) sum += interleaved_[i * c + k];
    out[i] = sum / static_cast<float>(c);
  }
  read_ += got;
  return frames;
}

}  // namespace quillon::audio
