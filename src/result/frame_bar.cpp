#include "result/frame_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

namespace tavlo {

int ShownDelay(int delayMs) {
  return delayMs <= 10 ? 100 : delayMs;
}

FrameBar::FrameBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fraFrames"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("lblFrame"));
  const auto button = [this, row](const char* name, Qt::ArrowType arrow, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setArrowType(arrow);
    b->setToolTip(tip);
    row->addWidget(b);
    return b;
  };
  previous_ = button("cmdPreviousFrame", Qt::LeftArrow, QStringLiteral("Previous frame (Page Up)"));
  next_ = button("cmdNextFrame", Qt::RightArrow, QStringLiteral("Next frame (Page Down)"));
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("sldFrame"));
  play_ = new QPushButton(QStringLiteral("Play"), this);
  play_->setObjectName(QStringLiteral("cmdPlay"));
  row->insertWidget(0, caption_);
  row->addWidget(slider_, 1);
  row->addWidget(play_);
  connect(previous_, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(next_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(slider_, &QSlider::valueChanged, this, [this](int value) { Choose(value - 1); });
  connect(play_, &QPushButton::clicked, this, &FrameBar::TogglePlay);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &FrameBar::PlayNext);
  SetFrames(0, {});
}

void FrameBar::SetFrames(int count, std::vector<int> delays) {
  timer_.stop();
  play_->setText(QStringLiteral("Play"));
  count_ = count;
  delays_ = std::move(delays);
  frame_ = -1;
  {
    const QSignalBlocker quiet(slider_);
    slider_->setRange(1, std::max(1, count));
  }
  ShowFrame(0);
  setVisible(count > 1);
}

void FrameBar::ShowFrame(int k) {
  if (k == frame_ || k < 0 || (count_ > 0 && k >= count_)) return;
  frame_ = k;
  caption_->setText(QStringLiteral("Frame %1 of %2").arg(k + 1).arg(count_));
  const QSignalBlocker quiet(slider_);
  slider_->setValue(k + 1);
  previous_->setEnabled(k > 0);
  next_->setEnabled(k + 1 < count_);
}

void FrameBar::Step(int by) {
  Choose(std::clamp(frame_ + by, 0, std::max(0, count_ - 1)));
}

void FrameBar::Choose(int k) {
  if (k == frame_ || count_ < 2) return;
  ShowFrame(k);
  emit FrameChosen(k);
}

int FrameBar::DelayOf(int k) const {
  return ShownDelay(k >= 0 && k < int(delays_.size()) ? delays_[size_t(k)] : 0);
}

void FrameBar::TogglePlay() {
  if (timer_.isActive()) {
    timer_.stop();
    play_->setText(QStringLiteral("Play"));
    return;
  }
  play_->setText(QStringLiteral("Stop"));
  timer_.start(DelayOf(frame_));
}

void FrameBar::PlayNext() {
  Choose((frame_ + 1) % count_);
  timer_.start(DelayOf(frame_));
}

}  // namespace tavlo
