// The modal-form runner for tests: each form shown takes the next entry of a
// script, which fills the form's controls by objectName and then answers, by
// a result or by clicking one of the form's buttons. Every form shown is
// recorded. With the script used up, a form is recorded and answers mrCancel.
//
//   ScriptedModalRunner forms;  // installs itself for its lifetime
//   forms.Expect("ResizeForm").Fill("WidthEdit", 200).Fill("KeepRatio", true).Answer(mrOk);
//   forms.Expect("SetStepFrm").Fill("StepEdit", "12").Press("OKButton");
//
// The form is shown while it is filled (so its show handling runs, as with
// the real runner) and closed before ShowModal returns.
#pragma once

#include "platform/ModalForms.h"

#include <QString>
#include <QVariant>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QDialog;

class ScriptedForm {
 public:
  // Sets a child control as a user would, so that the control's user-action
  // signals fire: a line edit gets the text (textEdited), a check box or radio
  // button is clicked when its state differs (clicked), a spin box or slider
  // gets the value, a combo box selects the item with the index (int) or text
  // (string) and emits activated, or takes the text when editable; any other
  // object gets its "text", "value" or "checked" property. A missing child
  // fails the test.
  ScriptedForm& Fill(const std::string& objectName, const QString& text) { return FillWith(objectName, text); }
  ScriptedForm& Fill(const std::string& objectName, const char* text) { return FillWith(objectName, QString(text)); }
  ScriptedForm& Fill(const std::string& objectName, int value) { return FillWith(objectName, value); }
  ScriptedForm& Fill(const std::string& objectName, double value) { return FillWith(objectName, value); }
  ScriptedForm& Fill(const std::string& objectName, bool checked) { return FillWith(objectName, checked); }
  // Any other step on the form.
  ScriptedForm& Do(std::function<void(QDialog& form)> action);
  // Ends the form with this result (done(result)); the default is mrOk.
  ScriptedForm& Answer(TModalResult result);
  // Ends the form by clicking its button with this objectName, so the form's
  // own OK or Cancel handling runs; the answer is the result the form set.
  ScriptedForm& Press(const std::string& buttonName);

 private:
  friend class ScriptedModalRunner;
  ScriptedForm& FillWith(const std::string& objectName, const QVariant& value);
  std::string formName_;
  std::vector<std::function<void(QDialog&)>> steps_;
  TModalResult answer_ = mrOk;
  std::string button_;
};

struct ShownForm {
  std::string objectName;
  QString caption;
  TModalResult result = mrNone;
};

class ScriptedModalRunner final : public ModalFormRunner {
 public:
  ScriptedModalRunner() { SetModalFormRunner(this); }
  ~ScriptedModalRunner() override { SetModalFormRunner(nullptr); }

  // The next form expected; an empty name accepts any form.
  ScriptedForm& Expect(const std::string& formObjectName);
  TModalResult ShowModal(QDialog& form) override;

  std::vector<ShownForm> shown;
  // Entries not used yet.
  std::size_t Remaining() const { return script_.size(); }

 private:
  std::deque<ScriptedForm> script_;
};
