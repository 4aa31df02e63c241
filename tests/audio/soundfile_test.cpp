// SPDX-License-Identifier: GPL-3.0-or-later
// Sound files made at test time, read back in blocks; the --text lines and SatNOGS names.
#include "audio/soundfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "audio/transcript.h"
#include "support/beaconsignal.h"

namespace quillon::audio {
namespace {

namespace fs = std::filesystem;
using testing::StrEq;
using testing::ThrowsMessage;

class SoundFileTest : public testing::Test {
 protected:
  fs::path dir = fs::path(testing::TempDir()) / ("quillon-sound-" + std::to_string(getpid()));
  std::vector<float> ramp = [] {
    std::vector<float> v(8000);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = 0.5f * std::sin(0.01f * static_cast<float>(i));
    return v;
  }();
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string write(const std::string& name, int format, int rate = 8000, int channels = 1) {
    const std::string path = (dir / name).string();
    EXPECT_TRUE(testsupport::writeSoundFile(path, ramp, rate, format, channels));
    return path;
  }
  // Reads in odd blocks, as a long file would be.
  std::vector<float> readAll(SoundFile& f) {
    std::vector<float> all, block(333);
    while (const std::size_t n = f.read(block))
      all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    return all;
  }
};

TEST_F(SoundFileTest, ReadsEveryFormatMixedToOneChannel) {
  const std::pair<int, float> formats[] = {
      {SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1e-2f}, {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1e-4f},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1e-6f}, {SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1e-6f},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0},      {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1e-4f},
      {SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.05f}};
  int n = 0;
  for (const auto& [format, tolerance] : formats) {
    for (const int channels : {1, 2}) {
      SoundFile f(write("f" + std::to_string(n++), format, 11025, channels));
      EXPECT_EQ(f.sampleRate(), 11025);
      EXPECT_EQ(f.announcedFrames(), 8000);
      const auto got = readAll(f);
      ASSERT_EQ(got.size(), ramp.size()) << format;
      for (std::size_t i = 100; i < got.size(); i += 501) EXPECT_NEAR(got[i], ramp[i], tolerance) << format;
      EXPECT_FALSE(f.cutShort());
    }
  }
}

TEST_F(SoundFileTest, ACutFileIsReadToItsEnd) {
  const std::string path = write("cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  fs::resize_file(path, 44 + 2 * 3000);  // the header still says 8,000 frames
  SoundFile f(path);
  EXPECT_EQ(readAll(f).size(), 3000u);
  EXPECT_TRUE(f.cutShort());
}

TEST_F(SoundFileTest, ClearErrors) {
  std::ofstream(dir / "text.wav") << "these are not samples\n";
  auto opening = [](const fs::path& path) { return [path] { SoundFile f(path.string()); }; };
  EXPECT_THROW(opening(dir / "absent.wav")(), SoundFileError);
  EXPECT_THAT(opening(dir / "text.wav"),
              ThrowsMessage<SoundFileError>(StrEq("not a sound file format libsndfile reads")));
  EXPECT_THAT(
      opening(write("slow.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4000)),
      ThrowsMessage<SoundFileError>(StrEq("a sample rate of 4000 Hz; the decoder takes 8000 to 48000 Hz")));
  ramp.clear();
  SoundFile empty(write("empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  EXPECT_EQ(readAll(empty).size(), 0u);
}

TEST_F(SoundFileTest, StreamsFromAPipe) {
  FILE* pipe = popen(("cat " + write("piped.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16)).c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  SoundFile f(fileno(pipe));
  EXPECT_EQ(readAll(f).size(), ramp.size());
  pclose(pipe);
}

TEST(Transcript, OneLineATransmissionWithItsWords) {
  std::string done;
  Transcript t;
  const std::pair<char32_t, Gap> letters[] = {{U'C', Gap::Pause}, {U'Q', Gap::Letter}, {U'D', Gap::Word},
                                              {U'E', Gap::Pause}, {0, Gap::Letter},    {U'K', Gap::Word}};
  for (const auto& [letter, gap] : letters) {
    t.add({letter, 0.5f, gap, 0}, done);
    done += t.lineEnded() ? "|" : "";
  }
  EXPECT_EQ(done, "CQ D|");
  EXPECT_EQ(t.open(), "E? K");
}

TEST(SatnogsName, GivesTheRecordingsStart) {
  using namespace std::chrono;
  EXPECT_EQ(satnogsStart("/data/satnogs_7301234_2024-03-05T21-07-59.ogg"),
            sys_days{2024y / 3 / 5} + 21h + 7min + 59s);
  for (const char* other :
       {"satnogs_12_2024-03-05T21-07-59", "satnogs__2024-03-05T21-07-59.ogg",
        "satnogs_x1_2024-03-05T21-07-59.ogg", "satnogs_1_2024-02-30T21-07-59.ogg",
        "satnogs_1_2024-03-05T24-07-59.ogg", "satnogs_1_2024-03-05 21-07-59.ogg", "pass.ogg"}) {
    EXPECT_EQ(satnogsStart(other), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace quillon::audio
