#include "platform/window/window_core.h"

#include "platform/paint/painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <variant>

namespace vemo {

void WindowCore::attach(Form1 &form, double twipsPerPixel)
{
    form_ = &form;
    twipsPerPixel_ = twipsPerPixel;
    painted_.emplace(form, twipsPerPixel);
    tree_ = vemo::accessibleTree(form, twipsPerPixel);
    placeChildren();
}

bool WindowCore::load()
{
    dispatch([this] { form_->Form_Load(); });
    return !ended_;
}

void WindowCore::rescale(double twipsPerPixel)
{
    twipsPerPixel_ = twipsPerPixel;
    painted_->rescale(twipsPerPixel);
    tree_ = vemo::accessibleTree(*form_, twipsPerPixel);
    placeChildren();
}

void WindowCore::placeChildren()
{
    toolkit_.placeTextBox(childPlace(form_->Text1.box, twipsPerPixel_), form_->Text1);
    for (int i = 0; i < form_->Tuş.count(); ++i)
        toolkit_.placeButton(i, childPlace(form_->Tuş(i).box, twipsPerPixel_), form_->Tuş(i));
}

void WindowCore::dispatch(const std::function<void()> &procedure)
{
    if (ended_)
        return;
    try {
        procedure();
    } catch (const std::exception &error) {
        // Nothing runs between the error and the end: no tick, no click.
        ended_ = true;
        toolkit_.stopTimer();
        toolkit_.reportError(std::string("Beklenmeyen bir hata oluştu; program kapanacak.\n\n") +
                             error.what());
        endProgram(EXIT_FAILURE);
        return;
    }
    afterEvent();
}

void WindowCore::endProgram(int status)
{
    ended_ = true;
    exitStatus_ = status;
    scheduler_.reset();
    toolkit_.stopTimer();
    toolkit_.quit(status);
}

void WindowCore::afterEvent()
{
    if (ended_)
        return;
    // Repaint where each written control was and where it is now.
    std::vector<Repaint> dirty;
    const std::vector<const Control *> changed = form_->changes.takeChanged();
    for (const Control *control : changed) {
        switch (control->kind()) {
        case ControlKind::TextBox:
            toolkit_.placeTextBox(childPlace(form_->Text1.box, twipsPerPixel_), form_->Text1);
            break;
        case ControlKind::CommandButton: {
            const CommandButton &button = form_->Tuş(control->index());
            toolkit_.placeButton(control->index(), childPlace(button.box, twipsPerPixel_), button);
            break;
        }
        case ControlKind::Window:
            toolkit_.moveWindow(static_cast<int>(std::floor(form_->Form.Left / twipsPerPixel_)),
                                static_cast<int>(std::floor(form_->Form.Top / twipsPerPixel_)));
            break;
        case ControlKind::Timer:
            syncTimer();
            break;
        default:
            if (const auto move = painted_->moved(*control))
                for (const auto *footprint : {&move->was, &move->now})
                    for (const RectF &rect : *footprint)
                        dirty.push_back({rect, move->place});
            break;
        }
    }
    toolkit_.repaint(dirty);
    refreshTree(changed);
    // A control that hides with the focus hands it to the bell, the stop before the panel.
    if (focused_ && !accessibleNode(*focused_)->takesFocus())
        setFocus(&form_->Image1);
}

void WindowCore::syncTimer()
{
    if (form_->Timer1.Interval > 0) {
        if (!scheduler_) {
            scheduler_.emplace(toolkit_.readClocks());
            armTimer();
        }
    } else {
        scheduler_.reset();
        toolkit_.stopTimer();
    }
}

// The one place that schedules ticks: the timer is armed once for the tick the scheduler says
// is next, a second after the last one and, while the wall clock runs, just after its second's
// boundary.
void WindowCore::armTimer()
{
    toolkit_.armTimer(scheduler_->delayFrom(toolkit_.readClocks()));
}

void WindowCore::tick()
{
    if (!scheduler_)
        return;
    if (scheduler_->fire(toolkit_.readClocks()))
        dispatch([this] { form_->Timer1_Timer(); });
    if (scheduler_ && !ended_)
        armTimer();
}

const Control *WindowCore::clickTarget(PointF at) const
{
    // The front-most label or picture under the pointer takes the click; lines and shapes
    // take none.
    const auto &order = form_->backToFront();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (const auto *label = std::get_if<const Label *>(&*it)) {
            if (toPixels((*label)->box, twipsPerPixel_).contains(at))
                return *label;
        } else if (std::holds_alternative<const Image *>(*it)) {
            if (controlBounds(*it, twipsPerPixel_).contains(at))
                return std::get<const Image *>(*it);
        }
    }
    return nullptr;
}

void WindowCore::pointerPressed(PointF at, bool primary)
{
    pressed_ = primary && form_ ? clickTarget(at) : nullptr;
}

void WindowCore::pointerReleased(PointF at, bool primary)
{
    const Control *target = primary && form_ ? clickTarget(at) : nullptr;
    const bool clicked = target && target == pressed_;
    pressed_ = nullptr;
    if (clicked)
        activate(*target);
}

void WindowCore::textEdited(const std::string &text)
{
    dispatch([&] { form_->Text1.Text = text; });
}

void WindowCore::buttonClicked(int index)
{
    // A hidden or disabled button takes no click, whoever asks.
    const CommandButton &button = form_->Tuş(index);
    if (!button.Visible || !button.Enabled)
        return;
    const std::int16_t Index = static_cast<std::int16_t>(index);
    dispatch([&] { form_->Tuş_Click(Index); });
}

bool WindowCore::activate(const Control &control)
{
    if (&control == &form_->Image1)
        dispatch([this] { form_->Image1_Click(); });
    else if (&control == &form_->Label5)
        dispatch([this] { form_->Label5_Click(); });
    else if (control.kind() == ControlKind::CommandButton)
        buttonClicked(control.index());
    else
        return false;
    return true;
}

bool WindowCore::keyPressed(Key key)
{
    if (ended_ || !form_)
        return false;
    switch (key) {
    case Key::Tab:
    case Key::BackTab:
        keyboardUsed_ = true;
        moveFocus(key == Key::Tab ? 1 : -1);
        return true;
    case Key::Activate:
        if (!focused_)
            return false;
        keyboardUsed_ = true;
        return activate(*focused_);
    }
    return false;
}

void WindowCore::moveFocus(int step)
{
    std::vector<const Control *> stops;
    for (const AccessibleNode &node : tree_)
        if (node.takesFocus())
            stops.push_back(node.control);
    const auto at = std::find(stops.begin(), stops.end(), focused_);
    const int count = static_cast<int>(stops.size());
    // From nowhere, Tab goes to the first stop and Shift+Tab to the last; the ends wrap.
    int next = step > 0 ? 0 : count - 1;
    if (at != stops.end())
        next = (static_cast<int>(at - stops.begin()) + step + count) % count;
    setFocus(stops[static_cast<std::size_t>(next)]);
}

void WindowCore::setFocus(const Control *control)
{
    if (control == focused_)
        return;
    const std::optional<RectF> oldMark = focusMark();
    focused_ = control;
    const std::optional<RectF> newMark = focusMark();
    std::vector<Repaint> marks;
    for (const auto &mark : {oldMark, newMark})
        if (mark)
            marks.push_back({focusMarkBounds(*mark), Repaint::kOverAll});
    if (!marks.empty())
        toolkit_.repaint(marks);
    toolkit_.focus(*control);
    if (const AccessibleNode *node = accessibleNode(*control))
        toolkit_.accessibleChanged(*node, AccessibleChange::Focus);
}

void WindowCore::focusTaken(const Control &control)
{
    if (accessibleNode(control))
        setFocus(&control);
}

std::optional<RectF> WindowCore::focusMark() const
{
    if (!keyboardUsed_ || !focused_)
        return std::nullopt;
    const AccessibleNode *node = accessibleNode(*focused_);
    if (!node || !node->painted)
        return std::nullopt;
    return node->bounds;
}

const AccessibleNode *WindowCore::accessibleNode(const Control &control) const
{
    const auto found = std::find_if(tree_.begin(), tree_.end(), [&](const AccessibleNode &node) {
        return node.control == &control;
    });
    return found == tree_.end() ? nullptr : &*found;
}

void WindowCore::refreshTree(const std::vector<const Control *> &changed)
{
    // Only the nodes of the controls the event wrote can differ; they are told in the tree's
    // order, once the tree holds them.
    std::vector<std::pair<std::size_t, AccessibleChange>> changes;
    for (std::size_t i = 0; i < tree_.size(); ++i) {
        AccessibleNode &was = tree_[i];
        if (std::find(changed.begin(), changed.end(), was.control) == changed.end())
            continue;
        AccessibleNode is = vemo::accessibleNode(*form_, *was.control, twipsPerPixel_);
        if (was.name != is.name)
            changes.emplace_back(i, AccessibleChange::Name);
        if (was.value != is.value)
            changes.emplace_back(i, AccessibleChange::Value);
        if (was.showing != is.showing || was.enabled != is.enabled)
            changes.emplace_back(i, AccessibleChange::State);
        was = std::move(is);
    }
    for (const auto &[i, change] : changes)
        toolkit_.accessibleChanged(tree_[i], change);
}

} // namespace vemo
