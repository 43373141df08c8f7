#include "tests/support/ScriptedModalRunner.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

namespace {

void FillComboBox(QComboBox& combo, const QVariant& value) {
  int index = -1;
  if (value.typeId() == QMetaType::Int) {
    index = value.toInt();
  } else {
    index = combo.findText(value.toString());
    if (index < 0 && combo.isEditable()) {
      combo.setEditText(value.toString());
      return;
    }
  }
  if (index < 0 || index >= combo.count()) {
    ADD_FAILURE() << combo.objectName().toStdString() << " has no item " << value.toString().toStdString();
    return;
  }
  combo.setCurrentIndex(index);
  emit combo.activated(index);
  emit combo.textActivated(combo.itemText(index));
}

void FillObject(QObject& object, const QVariant& value) {
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) {
    edit->setText(value.toString());
    emit edit->textEdited(edit->text());
  } else if (auto* button = qobject_cast<QAbstractButton*>(&object); button && button->isCheckable()) {
    if (button->isChecked() != value.toBool()) button->click();
  } else if (auto* spin = qobject_cast<QSpinBox*>(&object)) {
    spin->setValue(value.toInt());
  } else if (auto* real = qobject_cast<QDoubleSpinBox*>(&object)) {
    real->setValue(value.toDouble());
  } else if (auto* slider = qobject_cast<QAbstractSlider*>(&object)) {
    slider->setValue(value.toInt());
  } else if (auto* combo = qobject_cast<QComboBox*>(&object)) {
    FillComboBox(*combo, value);
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(&object)) {
    text->setPlainText(value.toString());
  } else if (auto* rich = qobject_cast<QTextEdit*>(&object)) {
    rich->setPlainText(value.toString());
  } else {
    const char* property = value.typeId() == QMetaType::Bool  ? "checked"
                           : value.typeId() == QMetaType::Int ? "value"
                                                              : "text";
    if (!object.setProperty(property, value))
      ADD_FAILURE() << object.objectName().toStdString() << " cannot take a " << property;
  }
}

QObject* FindChild(QDialog& form, const std::string& name) {
  QObject* child = form.findChild<QObject*>(QString::fromStdString(name));
  if (child == nullptr)
    ADD_FAILURE() << "the form " << form.objectName().toStdString() << " has no child named " << name;
  return child;
}

TModalResult ResultOf(const QDialog& form) {
  return form.result() == QDialog::Rejected ? mrCancel : form.result();
}

}  // namespace

ScriptedForm& ScriptedForm::FillWith(const std::string& objectName, const QVariant& value) {
  steps_.push_back([objectName, value](QDialog& form) {
    if (QObject* child = FindChild(form, objectName)) FillObject(*child, value);
  });
  return *this;
}

ScriptedForm& ScriptedForm::Do(std::function<void(QDialog& form)> action) {
  steps_.push_back(std::move(action));
  return *this;
}

ScriptedForm& ScriptedForm::Answer(TModalResult result) {
  answer_ = result;
  button_.clear();
  return *this;
}

ScriptedForm& ScriptedForm::Press(const std::string& buttonName) {
  button_ = buttonName;
  return *this;
}

ScriptedForm& ScriptedModalRunner::Expect(const std::string& formObjectName) {
  script_.emplace_back();
  script_.back().formName_ = formObjectName;
  return script_.back();
}

TModalResult ScriptedModalRunner::ShowModal(QDialog& form) {
  ShownForm record{form.objectName().toStdString(), form.windowTitle(), mrCancel};
  if (script_.empty()) {
    shown.push_back(record);
    return mrCancel;
  }
  const ScriptedForm entry = std::move(script_.front());
  script_.pop_front();
  EXPECT_TRUE(entry.formName_.empty() || entry.formName_ == record.objectName)
      << "expected the form " << entry.formName_ << ", shown was " << record.objectName;

  form.setResult(QDialog::Rejected);
  form.show();
  for (const auto& step : entry.steps_) step(form);
  if (!entry.button_.empty()) {
    auto* button = qobject_cast<QAbstractButton*>(FindChild(form, entry.button_));
    if (button != nullptr) button->click();
    // A form whose OK handling refused to close would still wait for the user.
    EXPECT_FALSE(form.isVisible()) << entry.button_ << " did not close the form " << record.objectName;
    record.result = ResultOf(form);
  } else {
    form.done(entry.answer_ == mrCancel ? QDialog::Rejected : entry.answer_);
    record.result = entry.answer_;
  }
  form.hide();
  shown.push_back(record);
  return record.result;
}
