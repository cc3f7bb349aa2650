#pragma once

// TRadioGroup: a titled frame of mutually exclusive radio buttons, one per
// item, spread evenly over its height; ItemIndex is the checked item.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace omniocr::demo {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  QStringList Items() const { return Items_; }
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const;

 private:
  QStringList Items_;
  QButtonGroup* Buttons_;
};

}  // namespace omniocr::demo
