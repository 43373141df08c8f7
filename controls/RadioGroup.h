// TRadioGroup (the class library's radio group): a framed group of radio
// buttons, one per item, of which at most one is chosen. Its caption and
// items are Windows-1252 texts whose "&x" marks the accelerator; item i's
// button is named "<group's objectName>_<i>".
#pragma once

#include "platform/Events.h"

#include <QGroupBox>

#include <string>
#include <vector>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit TRadioGroup(QWidget* parent = nullptr);

  void SetCaption(const std::string& caption);
  // Replaces the items; none is chosen afterwards.
  void SetItems(const std::vector<std::string>& items);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const;
  // The chosen item, -1 for none. Setting it chooses that item (another
  // index chooses none) without firing OnClick.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The user chose an item.
  TNotifyEvent OnClick;

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};
