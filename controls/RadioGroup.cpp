#include "controls/RadioGroup.h"

#include "platform/CodePages.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
  new QVBoxLayout(this);
  connect(group_, &QButtonGroup::idClicked, this, [this](int) {
    if (OnClick) OnClick(this);
  });
}

void TRadioGroup::SetCaption(const std::string& caption) { setTitle(AnsiToQString(caption)); }

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  for (QRadioButton* button : buttons_) {
    group_->removeButton(button);
    delete button;
  }
  buttons_.clear();
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(AnsiToQString(items[i]), this);
    button->setObjectName(objectName() + "_" + QString::number(i));
    group_->addButton(button, static_cast<int>(i));
    layout()->addWidget(button);
    buttons_.push_back(button);
  }
}

QRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < Count() ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (QRadioButton* button = Button(index)) {
    button->setChecked(true);
    return;
  }
  // No item: the exclusive group would keep one checked.
  group_->setExclusive(false);
  for (QRadioButton* button : buttons_) button->setChecked(false);
  group_->setExclusive(true);
}
