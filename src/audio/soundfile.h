// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound files for the decoder, read in blocks through libsndfile:
//
//   WAV (8-32 bit, float), FLAC, OGG, ... or standard input ("-")
//     -> SoundFile::read: frames with their channels mixed to one, as floats
//
// Memory is one block, whatever the file's length. What the header says is checked
// against what the decoder can take (a rate of 8-48 kHz, at least one channel), and a
// file that ends before its header's length is read up to where its data stops and
// reported as cut short.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

struct sf_private_tag;

namespace quillon::audio {

// Why a file cannot be decoded, in words for the operator (the file is named by the caller).
class SoundFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SoundFile {
 public:
  // Opens `path`, or standard input for "-". Throws SoundFileError.
  explicit SoundFile(const std::string& path);
  // Reads from an open descriptor (not closed here), e.g. a pipe.
  explicit SoundFile(int fd);
  ~SoundFile();
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;

  double sampleRate() const { return rate_; }
  int channels() const { return channels_; }
  // Frames the header announces; 0 for a stream of unknown length.
  std::int64_t announcedFrames() const { return announced_; }
  double announcedSeconds() const { return static_cast<double>(announced_) / rate_; }

  // The next frames, mixed to one channel, at most `out.size()`: the count read, 0 at the
  // end. Throws SoundFileError when the data cannot be read.
  std::size_t read(std::span<float> out);

  std::int64_t framesRead() const { return read_; }
  // The header announced more data than the file holds (a cut or broken file).
  bool cutShort() const { return misstated_ || (announced_ > 0 && ended_ && read_ < announced_); }

 private:
  void checkHeader();

  sf_private_tag* file_ = nullptr;
  double rate_ = 0;
  int channels_ = 0;
  std::int64_t announced_ = 0, read_ = 0;
  bool ended_ = false, misstated_ = false;
  std::vector<float> interleaved_;
};

}  // namespace quillon::audio
