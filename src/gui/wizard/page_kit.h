#pragma once
// Small pieces the wizard pages share: the number box that clamps when it is left, and the
// conversions between the job's date-times and Qt's.
#include <QtCore/QDateTime>
#include <QtCore/QRegularExpression>
#include <QtGui/QRegularExpressionValidator>
#include <QtWidgets/QLineEdit>

#include "platform/time.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

/// A box for a whole number in [min, max]. Any digits may be typed; the value is brought into
/// the range when the box loses the focus (a spin box would refuse the keystrokes instead).
class NumberBox : public QLineEdit {
 public:
  NumberBox(int min, int max, QWidget* parent) : QLineEdit(parent), min_(min), max_(max) {
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this));
    setMaximumWidth(fontMetrics().horizontalAdvance(QString(QString::number(max).size() + 2, '0')) +
                    12);
  }
  /// The typed text read through the clamp.
  int Value() const { return ClampTyped(text().toStdString(), min_, max_); }
  void SetValue(int value) {
    setText(QString::number(ClampTyped(std::to_string(value), min_, max_)));
  }
  /// Shows the clamped value (as on leaving the box).
  void Settle() {
    const QString settled = QString::number(Value());
    if (settled != text()) setText(settled);
  }

 protected:
  void focusOutEvent(QFocusEvent* event) override {
    Settle();
    QLineEdit::focusOutEvent(event);
  }

 private:
  int min_, max_;
};

inline QDate ToQDate(platform::TDateTime dt) {
  const platform::TCalendar c = platform::DecodeDateTime(dt);
  return QDate(c.year, c.month, c.day);
}
inline QTime ToQTime(platform::TDateTime dt) {
  const platform::TCalendar c = platform::DecodeDateTime(dt);
  return QTime(c.hour, c.minute, c.second);
}
inline platform::TDateTime FromQt(QDate date, QTime time) {
  return platform::EncodeDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                                  time.second());
}

}  // namespace twn::gui
