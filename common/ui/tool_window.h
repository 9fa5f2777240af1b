#pragma once
// The two ways a tool-column button opens its window: modeless and reused
// (made on first use, then shown again with its state kept), or modal and
// new each time (deleted when it closes).
#include <QPointer>
#include <Qt>

namespace qm {

template <class Form>
class ReusedToolWindow {
 public:
  // `make` builds the window the first time; every call brings it to the front.
  template <class Make>
  Form* show(Make&& make) {
    if (!form_) form_ = make();
    form_->show();
    form_->raise();
    form_->activateWindow();
    return form_;
  }
  Form* form() const { return form_; }

 private:
  QPointer<Form> form_;
};

template <class Form>
class ModalToolWindow {
 public:
  // Builds a new window with `make` and runs it modally; does nothing while
  // one is up (the key pressed again while it opens).
  template <class Make>
  void run(Make&& make) {
    if (form_) return;
    Form* form = make();
    form->setAttribute(Qt::WA_DeleteOnClose);
    form_ = form;
    form->exec();
  }
  // The window while it is shown.
  Form* form() const { return form_; }

 private:
  QPointer<Form> form_;
};

}  // namespace qm
