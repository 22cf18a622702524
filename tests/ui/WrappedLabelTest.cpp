// The wrapped label that remembers its heights: each change that moves its
// line breaks gives the height a plain QLabel gives, however often the old
// shape was asked before.
#include "QtTestSupport.h"

#include "ui/widgets/WrappedLabel.h"

#include <gtest/gtest.h>

#include <functional>

namespace qozel::test {
namespace {

constexpr int kWidth = 200;

struct Change {
    const char* what;
    std::function<void(QLabel&)> apply;
};

const Change kChanges[] = {
    {"text", [](QLabel& label) { label.setText(label.text() + label.text()); }},
    {"font", [](QLabel& label) {
         QFont font = label.font();
         font.setPointSizeF(font.pointSizeF() * 2);
         label.setFont(font);
     }},
    {"contents margins", [](QLabel& label) { label.setContentsMargins(50, 0, 50, 0); }},
    {"margin", [](QLabel& label) { label.setMargin(50); }},
    {"indent", [](QLabel& label) { label.setIndent(100); }},
    {"format", [](QLabel& label) { label.setTextFormat(Qt::RichText); }},
    {"wrapping", [](QLabel& label) { label.setWordWrap(false); }},
};

TEST(WrappedLabel, HeightForAWidthFollowsEachChangeThatMovesTheLineBreaks)
{
    for (const Change& change : kChanges) {
        WrappedLabel label;
        QLabel plain;
        for (QLabel* each : {static_cast<QLabel*>(&label), &plain}) {
            each->setTextFormat(Qt::PlainText);
            each->setWordWrap(true);
            each->setText(QStringLiteral("Klucz docelowy jest generowany<br>jednorazowo dla danej instalacji."));
        }
        const int before = plain.heightForWidth(kWidth);
        ASSERT_EQ(label.heightForWidth(kWidth), before) << change.what;
        change.apply(label);
        change.apply(plain);
        ASSERT_NE(plain.heightForWidth(kWidth), before) << change.what << " moves no line break";
        EXPECT_EQ(label.heightForWidth(kWidth), plain.heightForWidth(kWidth)) << change.what;
    }
}

} // namespace
} // namespace qozel::test
