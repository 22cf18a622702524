#pragma once

#include <memory>

class QWidget;

namespace qozel {

// Builds the widgets of a Designer form into `page`, which keeps the form
// for the pointers to its controls.
template <class Form>
std::unique_ptr<Form> SetUpForm(QWidget& page)
{
    auto form = std::make_unique<Form>();
    form->setupUi(&page);
    return form;
}

} // namespace qozel
