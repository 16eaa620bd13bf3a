// A group box drawn as on Windows: a frame whose top edge runs through the
// middle of the caption, the caption near the left end of that edge.
#pragma once

#include <QGroupBox>

namespace morvek::qt {

class GroupFrame : public QGroupBox {
 public:
  explicit GroupFrame(QWidget* parent) : QGroupBox(parent) {}
  // Where the caption is drawn: on the top edge, one average character in
  // from the left, as wide as the box allows.
  QRect CaptionRoom() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace morvek::qt
