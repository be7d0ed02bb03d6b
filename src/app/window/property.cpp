#include "app/window/property.h"

namespace vemo {

void ChangeLog::written(const Control &control, std::string_view property, bool changed)
{
    if (changed && !control.pendingChange_) {
        control.pendingChange_ = true;
        changed_.push_back(&control);
    }
    if (observer_)
        observer_(control, property);
}

std::vector<const Control *> ChangeLog::takeChanged()
{
    std::vector<const Control *> changed;
    changed.swap(changed_);
    for (const Control *control : changed)
        control->pendingChange_ = false;
    return changed;
}

std::string Control::displayName() const
{
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

} // namespace vemo
