#include "acquisition/AlarmSound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace tessaly {

namespace {

constexpr int kSampleRate = 22050;
constexpr double kToneSeconds = 0.15;
constexpr double kFadeSeconds = 0.01;  // no click at a tone's ends
constexpr double kLevel = 0.6;         // of full scale
constexpr double kTones[] = {880.0, 660.0, 880.0, 660.0};

// The sound's samples: the tones one after another, each faded in and out.
QByteArray ToneSamples() {
  const int perTone = static_cast<int>(kToneSeconds * kSampleRate);
  const int fade = static_cast<int>(kFadeSeconds * kSampleRate);
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(std::size(kTones) * perTone * sizeof(std::int16_t)));
  for (const double frequency : kTones) {
    for (int i = 0; i < perTone; ++i) {
      const double envelope = std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(perTone - i) / fade});
      const double wave = std::sin(2.0 * std::numbers::pi * frequency * i / kSampleRate);
      const auto sample = static_cast<std::int16_t>(kLevel * envelope * wave * 32767.0);
      bytes.append(reinterpret_cast<const char*>(&sample), sizeof sample);
    }
  }
  return bytes;
}

class ToneSound : public AlarmSound {
 public:
  ToneSound(const QAudioDevice& device, const QAudioFormat& format)
      : sink_(device, format), samples_(ToneSamples()) {
    buffer_.setData(samples_);
  }
  void Play() override {
    if (sink_.state() == QAudio::ActiveState) return;
    sink_.stop();
    buffer_.close();
    buffer_.open(QIODevice::ReadOnly);
    sink_.start(&buffer_);
    if (sink_.error() != QAudio::NoError) QApplication::beep();
  }

 private:
  QAudioSink sink_;
  QByteArray samples_;
  QBuffer buffer_;
};

class BellSound : public AlarmSound {
 public:
  void Play() override { QApplication::beep(); }
};

}  // namespace

std::unique_ptr<AlarmSound> MakeAlarmSound() {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  QAudioFormat format;
  format.setSampleRate(kSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (device.isNull() || !device.isFormatSupported(format)) return std::make_unique<BellSound>();
  return std::make_unique<ToneSound>(device, format);
}

}  // namespace tessaly
