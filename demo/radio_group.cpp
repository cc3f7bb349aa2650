#include "demo/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace omniocr::demo {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), Items_(items), Buttons_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(0);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    Buttons_->addButton(button, i);
    layout->addWidget(button, 1);
  }
}

int TRadioGroup::ItemIndex() const { return Buttons_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = Buttons_->button(index)) button->setChecked(true);
}

QRadioButton* TRadioGroup::Button(int index) const {
  return qobject_cast<QRadioButton*>(Buttons_->button(index));
}

}  // namespace omniocr::demo
