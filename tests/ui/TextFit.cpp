#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <utility>
#include <vector>

namespace qozel::test {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString ShownText(const QWidget& widget)
{
    if (auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(&widget))
        return box->title();
    return {};
}

void ScaleFonts(QWidget& root, int scale)
{
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    // Collected first: setting a parent's font changes the inherited ones.
    std::vector<std::pair<QWidget*, QFont>> fonts;
    for (QWidget* widget : widgets)
        if (widget->testAttribute(Qt::WA_SetFont))
            fonts.emplace_back(widget, widget->font());
    for (auto& [widget, font] : fonts) {
        if (font.pixelSize() > 0)
            font.setPixelSize(font.pixelSize() * scale);
        else
            font.setPointSizeF(font.pointSizeF() * scale);
        widget->setFont(font);
    }
}

int TextRoom(const QWidget& widget)
{
    const QStyle& style = *widget.style();
    if (auto* box = qobject_cast<const QGroupBox*>(&widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        // The title may reach from where the style puts it to the box's edge.
        const QRect label = style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return box->width() - label.left();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return style.subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    }
    QStyleOptionButton option;
    option.initFrom(&widget);
    if (qobject_cast<const QCheckBox*>(&widget))
        return style.subElementRect(QStyle::SE_CheckBoxContents, &option, &widget).width();
    if (qobject_cast<const QRadioButton*>(&widget))
        return style.subElementRect(QStyle::SE_RadioButtonContents, &option, &widget).width();
    if (qobject_cast<const QPushButton*>(&widget))
        return style.subElementRect(QStyle::SE_PushButtonContents, &option, &widget).width();
    return widget.contentsRect().width();
}

} // namespace qozel::test
