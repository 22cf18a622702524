#pragma once

#include "ui/CoreGate.h"

#include <QAbstractButton>
#include <QObject>

#include <utility>

namespace qozel {

// Runs a user's action of `page` through the window's one gate into the
// core, then the page draws what the action changed. An action the gate
// drops changed nothing.
template <class Page, class Call>
void ActAndSync(Page& page, CoreGate& gate, Call&& call)
{
    if (gate.Run(std::forward<Call>(call)))
        page.Sync();
}

// A click on `button` runs `handler` of the tab model through the gate,
// then the page draws what the handler changed.
template <class Page, class Model>
void OnClick(Page& page, CoreGate& gate, QAbstractButton& button, Model& model, void (Model::*handler)())
{
    QObject::connect(&button, &QAbstractButton::clicked, &page, [&page, &gate, &model, handler] {
        ActAndSync(page, gate, [&model, handler] { (model.*handler)(); });
    });
}

} // namespace qozel
