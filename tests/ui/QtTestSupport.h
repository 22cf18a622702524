#pragma once

#include "platform/SecureMemory.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace qozel::test {

// Types `text` into `widget` one character at a time as key presses carrying
// the character, so that letters beyond Latin-1 arrive intact.
void TypeText(QWidget* widget, const QString& text);

// Acts on the next modal window from inside its event loop, once it is shown.
// A window still open after five seconds is closed and fails the test, so a
// broken test cannot hang. Keep the object alive across the modal call.
class OnModal {
public:
    explicit OnModal(std::function<void(QWidget*)> act);

private:
    QObject context_;
};

inline std::string Bytes(const PasswordField& field)
{
    return std::string(reinterpret_cast<const char*>(field.data()), field.size());
}

// A field filled with a pattern no runner writes, to see that it was left alone.
inline PasswordField Untouched()
{
    PasswordField field;
    field.bytes.fill(0xA5);
    return field;
}

} // namespace qozel::test
