#pragma once
// The sign images of the Visual run grid, drawn here: one per comparison class image index
// (a file on a side, a ghost where it is missing, <, > or = between them, a folder) and one
// per plan action image index (arrows for copies, crosses for deletions, folders with + or x).
#include <QtGui/QPixmap>
#include <vector>

namespace twn::gui {

/// The image `image` of the class list (`plan` false) or the action list; null for an index
/// that draws nothing.
QPixmap SignPixmap(bool plan, int image, qreal ratio = 1.0);

/// Both lists, drawn once for a view.
class SignImages {
 public:
  explicit SignImages(qreal ratio = 1.0);
  const QPixmap& Image(bool plan, int image) const;

 private:
  std::vector<QPixmap> classes_;
  std::vector<QPixmap> actions_;
};

}  // namespace twn::gui
