#pragma once

#include <QValidator>

namespace qozel {

// Accepts only text whose every character Windows-1250 can carry: the
// devices store the company/installation symbol in that code page.
class Win1250Validator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};

} // namespace qozel
