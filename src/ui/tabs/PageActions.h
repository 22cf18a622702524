#pragma once

#include <QAbstractButton>
#include <QObject>

namespace qozel {

// Runs a call into the core. The core's handlers report their failures in
// message boxes themselves; whatever they still throw is dropped here so
// that no exception crosses the Qt event loop.
template <class Call>
void CallCore(Call&& call) noexcept
{
    try {
        call();
    } catch (...) {
    }
}

// A click on `button` runs `handler` of the tab model, then the page draws
// what the handler changed.
template <class Page, class Model>
void OnClick(Page& page, QAbstractButton& button, Model& model, void (Model::*handler)())
{
    QObject::connect(&button, &QAbstractButton::clicked, &page, [&page, &model, handler] {
        CallCore([&model, handler] { (model.*handler)(); });
        page.Sync();
    });
}

} // namespace qozel
