#include "acquisition/AlarmTiles.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace tessaly {

namespace {

struct TileColours {
  const char* background;
  const char* text;
};

constexpr TileColours kNotWatched{"#d8d8d8", "#707070"};
constexpr TileColours kNormal{"#bfe8bf", "#103010"};
constexpr TileColours kWarning{"#ffc83d", "#302000"};
constexpr TileColours kAlarm{"#d62828", "#ffffff"};

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

TileColours ColoursOf(bool watched, AlarmState state) {
  if (!watched) return kNotWatched;
  switch (state) {
    case AlarmState::Warning: return kWarning;
    case AlarmState::Alarm: return kAlarm;
    default: return kNormal;
  }
}

}  // namespace

AlarmTiles::AlarmTiles(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  for (const AlarmKind kind : kAlarmKinds) {
    auto* tile = new QLabel(this);
    tile->setObjectName(QStringLiteral("tile") + Text(AlarmName(kind)).remove(' '));
    tile->setAlignment(Qt::AlignCenter);
    tile->setWordWrap(true);
    tile->setFixedHeight(4 * tile->fontMetrics().lineSpacing() + 8);  // the name and a value on up to three lines
    tile->setCursor(Qt::PointingHandCursor);
    tile->installEventFilter(this);
    layout->addWidget(tile, 1);
    tiles_[Index(kind)] = tile;
  }
  repeat_.setInterval(kRepeatMs);
  connect(&repeat_, &QTimer::timeout, this, &AlarmTiles::Sound);
  Clear();
}

AlarmTiles::~AlarmTiles() = default;

void AlarmTiles::Reset(WatchedAlarms watched) {
  for (const AlarmKind kind : kAlarmKinds) {
    TileState& state = states_[Index(kind)];
    state = {};
    if (kind == AlarmKind::TowfishDepth) state.watched = watched.depth;
    if (kind == AlarmKind::Signal) state.watched = watched.signal;
    if (kind == AlarmKind::Gps || kind == AlarmKind::Clock) state.watched = watched.gps;
    Paint(kind);
  }
  repeat_.stop();
}

void AlarmTiles::Show(const AlarmChange& change) {
  TileState& state = states_[Index(change.alarm)];
  state.status = change.status;
  state.sounding = change.status.state == AlarmState::Alarm;
  Paint(change.alarm);
  if (state.sounding) {
    Sound();
    repeat_.start();
  } else if (!Sounding()) {
    repeat_.stop();
  }
}

void AlarmTiles::Acknowledge() {
  for (const AlarmKind kind : kAlarmKinds) Acknowledge(kind);
}

void AlarmTiles::Acknowledge(AlarmKind kind) {
  TileState& state = states_[Index(kind)];
  if (!state.sounding) return;
  state.sounding = false;
  Paint(kind);
  if (!Sounding()) repeat_.stop();
}

void AlarmTiles::Clear() {
  for (const AlarmKind kind : kAlarmKinds) {
    states_[Index(kind)] = {false, {}, false};
    Paint(kind);
  }
  repeat_.stop();
}

bool AlarmTiles::Sounding() const {
  return std::any_of(states_.begin(), states_.end(), [](const TileState& s) { return s.sounding; });
}

// A click on a tile acknowledges its alarm.
bool AlarmTiles::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress)
    for (const AlarmKind kind : kAlarmKinds)
      if (watched == tiles_[Index(kind)]) Acknowledge(kind);
  return QWidget::eventFilter(watched, event);
}

// Name on the first line; the state's value on the second.
void AlarmTiles::Paint(AlarmKind kind) {
  const TileState& state = states_[Index(kind)];
  QString second;
  if (!state.watched) second = QStringLiteral("off");
  else if (state.status.state == AlarmState::Normal) second = QStringLiteral("normal");
  else second = Text(AlarmValueText(state.status.value, state.status.cause));
  if (state.status.state == AlarmState::Alarm && !state.sounding) second += QStringLiteral(" (silenced)");
  QLabel* tile = tiles_[Index(kind)];
  tile->setText(QStringLiteral("<b>%1</b><br>%2").arg(Text(AlarmName(kind)).toHtmlEscaped(), second.toHtmlEscaped()));
  const TileColours colours = ColoursOf(state.watched, state.status.state);
  tile->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid #606060; padding: 2px; }")
                          .arg(QLatin1String(colours.background), QLatin1String(colours.text)));
  // The whole value, should a narrow window cut it.
  QString tip = Text(AlarmName(kind)) + QStringLiteral(": ") + second;
  if (state.sounding) tip += QStringLiteral("\nClick, or press Esc, to silence the alarm");
  tile->setToolTip(tip);
}

void AlarmTiles::Sound() {
  if (!Sounding()) return;
  if (!sound_ && MakeSound) sound_ = MakeSound();
  if (sound_) sound_->Play();
}

}  // namespace tessaly
