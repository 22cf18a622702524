#include "ui/widgets/WrappedLabel.h"

#include <algorithm>

namespace qozel {

int WrappedLabel::heightForWidth(int width) const
{
    Shape shape = CurrentShape();
    if (shape != shape_) {
        shape_ = std::move(shape);
        heights_.clear();
    }
    const auto known = std::find_if(heights_.begin(), heights_.end(),
                                    [width](const std::pair<int, int>& entry) { return entry.first == width; });
    if (known != heights_.end())
        return known->second;
    const int height = QLabel::heightForWidth(width);
    if (heights_.size() == kRemembered)
        heights_.erase(heights_.begin());
    heights_.emplace_back(width, height);
    return height;
}

WrappedLabel::Shape WrappedLabel::CurrentShape() const
{
    return {text(), font(), contentsMargins(), margin(), indent(), textFormat(), wordWrap()};
}

} // namespace qozel
