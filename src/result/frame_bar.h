#pragma once
// The frame bar of an animation (`fraFrames`): "Frame 3 of 24", buttons for the previous and the
// next frame (Page Up and Page Down are the main window's, whose shortcuts also work in its tool
// windows; a second pair here would make both ambiguous there), a slider over all frames, and
// "Play", which steps through the frames at the file's delays, round and round, until it is
// pressed again. It shows the frame it is told and asks for the frame the user picks; it is hidden
// for a picture that is no animation.
#include <QTimer>
#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace tavlo {

class FrameBar : public QWidget {
  Q_OBJECT
 public:
  explicit FrameBar(QWidget* parent);

  // A new picture of `count` frames with their delays in milliseconds, frame 0 shown; playing
  // stops.
  void SetFrames(int count, std::vector<int> delays);
  // Shows that frame k (0-based) is the current one.
  void ShowFrame(int k);
  int Frame() const { return frame_; }
  bool Playing() const { return timer_.isActive(); }

 signals:
  // The user asked for frame k.
  void FrameChosen(int k);

 private:
  void Step(int by);
  void Choose(int k);
  void TogglePlay();
  void PlayNext();
  int DelayOf(int k) const;

  int count_ = 0;
  int frame_ = 0;
  std::vector<int> delays_;
  QTimer timer_;
  QLabel* caption_ = nullptr;
  QToolButton* previous_ = nullptr;
  QToolButton* next_ = nullptr;
  QSlider* slider_ = nullptr;
  QPushButton* play_ = nullptr;
};

// What a frame's delay shows as while playing: delays of 10 ms or less as 100 ms, as browsers
// show them, since so short a delay in a file nearly always means "no delay given".
int ShownDelay(int delayMs);

}  // namespace tavlo
