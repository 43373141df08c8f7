#include "platform/ModalForms.h"

namespace {

// Shows nothing and answers Cancel.
class SilentModalFormRunner final : public ModalFormRunner {
 public:
  TModalResult ShowModal(QDialog&) override { return mrCancel; }
};

SilentModalFormRunner silentRunner;
ModalFormRunner* currentRunner = &silentRunner;

}  // namespace

ModalFormRunner& ModalForms() { return *currentRunner; }
void SetModalFormRunner(ModalFormRunner* runner) { currentRunner = runner != nullptr ? runner : &silentRunner; }
