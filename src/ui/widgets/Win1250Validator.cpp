#include "ui/widgets/Win1250Validator.h"

#include "platform/Win1250.h"

namespace qozel {

QValidator::State Win1250Validator::validate(QString& input, int&) const
{
    // A character the code page lacks comes back from the round trip as '?'.
    const std::string utf8 = input.toStdString();
    return Win1250ToUtf8(Utf8ToWin1250(utf8)) == utf8 ? Acceptable : Invalid;
}

} // namespace qozel
