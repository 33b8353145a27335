// Showing a form modally, the way every menu command of the main window does it: the form is
// shown with no owner, and the call returns when the user has closed it.
//
// Tests install a handler that receives the form instead of showing it (it may fill in boxes and
// press buttons), so no test ever blocks on a modal form.
#pragma once

#include <QWidget>
#include <functional>
#include <utility>

namespace tw::shell {

// Shows form modally and returns when it is hidden or closed. A QDialog runs its own exec();
// any other widget is shown application-modal with a local event loop.
void ShowModal(QWidget& form);

using ModalFormHandler = std::function<void(QWidget& form)>;
// Installs a handler for every later ShowModal call (nullptr restores real showing).
void SetModalFormHandler(ModalFormHandler handler);

// Creates a form of type F from args, shows it modally and destroys it when it is closed.
template <class F, class... Args>
void ShowFormModal(Args&&... args) {
    F form(std::forward<Args>(args)...);
    ShowModal(form);
}

}  // namespace tw::shell
