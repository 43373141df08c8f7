// The modal-form runner of the running program: the dialog's own modal event
// loop (QDialog::exec). accept() answers mrOk, reject() (Esc, the close box)
// mrCancel, done(r) the result r.
#pragma once

#include "platform/ModalForms.h"

class QtModalFormRunner final : public ModalFormRunner {
 public:
  TModalResult ShowModal(QDialog& form) override;
};
