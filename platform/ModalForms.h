// Our own modal forms run through one replaceable runner, so that a test can
// fill a form's controls by objectName and answer OK or Cancel without a
// window ever waiting for a user. A form is used the usual way:
//
//   TResizeForm form(MainForm);        // a QDialog subclass
//   form.WidthEdit->setValue(...);     // preset
//   if (ShowModal(form) == mrOk) { ...read the controls... }
//
// The program installs the Qt runner (platform/qtui/QtModalFormRunner.h),
// which runs the dialog's own event loop; tests install the scripted one
// (tests/support/ScriptedModalRunner.h). A form ends itself with accept()
// (mrOk), reject() (mrCancel; also Esc and the close box) or done(result)
// with any of the results below.
#pragma once

class QDialog;

using TModalResult = int;
enum : TModalResult {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

class ModalFormRunner {
 public:
  virtual ~ModalFormRunner() = default;
  // Shows the form modally and returns how it was closed (never mrNone).
  virtual TModalResult ShowModal(QDialog& form) = 0;
};

// The runner in use. Until one is installed, forms are not shown and every
// one answers mrCancel, as the silent user-interface services do.
ModalFormRunner& ModalForms();
// Installs a runner (nullptr restores the silent one); the caller keeps ownership.
void SetModalFormRunner(ModalFormRunner* runner);

// Shows the form modally through the runner in use.
inline TModalResult ShowModal(QDialog& form) { return ModalForms().ShowModal(form); }
