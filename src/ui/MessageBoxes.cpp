#include "ui/MessageBoxes.h"

#include "ui/widgets/Utf8.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace qozel {
namespace {

// QMessageBox treats its only button as the escape button too, so closing
// the window or pressing Escape reports OK. This box remembers either as a
// dismissal instead.
class OkOnlyMessageBox final : public QMessageBox {
public:
    OkOnlyMessageBox(Icon icon, const QString& title, std::string_view text, QWidget* parent)
        : QMessageBox(icon, title, FromUtf8(text), QMessageBox::Ok, parent)
    {
        setTextFormat(Qt::PlainText);
    }

    bool ClosedWithOk() const
    {
        return !dismissed_ && clickedButton() == button(QMessageBox::Ok);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        dismissed_ = true;
        QMessageBox::closeEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel))
            dismissed_ = true;
        QMessageBox::keyPressEvent(event);
    }

private:
    bool dismissed_ = false;
};

bool Show(QMessageBox::Icon icon, const QString& title, QWidget* parent, std::string_view text)
{
    OkOnlyMessageBox box(icon, title, text, parent);
    box.exec();
    return box.ClosedWithOk();
}

} // namespace

bool ShowErrorMsg(QWidget* parent, std::string_view text)
{
    return Show(QMessageBox::Critical, QStringLiteral("Błąd"), parent, text);
}

bool ShowInfoMsg(QWidget* parent, std::string_view text)
{
    return Show(QMessageBox::Information, QStringLiteral("Informacja"), parent, text);
}

bool ShowWarningMsg(QWidget* parent, std::string_view text)
{
    return Show(QMessageBox::Warning, QStringLiteral("Ostrzeżenie"), parent, text);
}

} // namespace qozel
