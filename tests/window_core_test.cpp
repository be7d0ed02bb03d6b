#include "fakes/fake_platform.h"
#include "platform/window/window_core.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vemo::testing {
namespace {

// A toolkit that keeps what the core asked of it.
class RecordingToolkit : public WindowToolkit
{
public:
    void placeTextBox(const RectF &, const TextBox &) override {}
    void placeButton(int, const RectF &, const CommandButton &) override {}
    void moveWindow(int, int) override {}
    void repaint(const std::vector<Repaint> &rects) override
    {
        repaints.emplace_back();
        for (const Repaint &repaint : rects)
            repaints.back().push_back(repaint.rect);
    }
    ClockReading readClocks() override { return {}; }
    void armTimer(std::int64_t) override {}
    void stopTimer() override {}
    void reportError(const std::string &) override {}
    void quit(int) override {}
    void focus(const Control &control) override { focused = &control; }
    void accessibleChanged(const AccessibleNode &node, AccessibleChange change) override
    {
        changes.emplace_back(node.name, change);
    }

    std::vector<std::vector<RectF>> repaints;
    const Control *focused = nullptr;
    std::vector<std::pair<std::string, AccessibleChange>> changes;
};

class WindowCoreTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        platform.typedName = "ali veli";
        platform.setTime("09:00:00");
        core.attach(form, 15);
        ASSERT_TRUE(core.load());
    }

    void tickAt(const std::string &time)
    {
        platform.setTime(time);
        core.dispatch([this] { form.Timer1_Timer(); });
    }

    std::string nodeName(const Control *control) const
    {
        return control ? core.accessibleNode(*control)->name : "-";
    }

    // The names of the controls the focus visits, `count` presses of `key` from where it is.
    std::vector<std::string> visit(WindowCore::Key key, int count)
    {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(core.keyPressed(key));
            names.push_back(nodeName(core.focused()));
        }
        return names;
    }

    FakePlatform platform;
    Form1 form{platform.services()};
    RecordingToolkit toolkit;
    WindowCore core{toolkit};
};

using Names = std::vector<std::string>;

TEST_F(WindowCoreTest, TheTreeNamesRolesAndShowsWhatTheFormShows)
{
    tickAt("09:00:01");
    using R = AccessibleRole;
    const std::vector<std::tuple<std::string, R, bool>> closed{
        {"09:00:01", R::StaticText, true},       {"08 Aralık 2026", R::StaticText, true},
        {"Salı", R::StaticText, true},           {"Ali Veli", R::StaticText, true},
        {kProgramLine, R::StaticText, true},     {"Alarm ayarla", R::PushButton, true},
        {"Alarm ayarla", R::StaticText, true},   {"Saat ileri", R::PushButton, false},
        {"Alarm saati", R::EditableText, false}, {"Dakika ileri", R::PushButton, false},
        {"Kapat", R::PushButton, true}};
    ASSERT_EQ(core.accessibleTree().size(), closed.size());
    for (std::size_t i = 0; i < closed.size(); ++i) {
        const AccessibleNode &node = core.accessibleTree()[i];
        EXPECT_EQ(std::tie(node.name, node.role, node.showing), closed[i]) << "node " << i;
    }

    // The bell's action opens the panel; the panel's nodes show, the text box with its value.
    toolkit.changes.clear();
    ASSERT_TRUE(core.activate(form.Image1));
    const AccessibleNode &text = *core.accessibleNode(form.Text1);
    EXPECT_TRUE(text.showing);
    EXPECT_EQ(text.value, "00:00");
    EXPECT_TRUE(core.accessibleNode(form.Tuş(1))->showing);
    EXPECT_EQ(text.bounds.left, 336);
    EXPECT_EQ(text.bounds.width, 65);

    // Each change is told once; a tick tells the time label's new name and no other.
    ASSERT_TRUE(core.activate(form.Tuş(1)));
    EXPECT_EQ(core.accessibleNode(form.Text1)->value, "01:00");
    tickAt("09:00:02");
    using C = AccessibleChange;
    const std::vector<std::pair<std::string, AccessibleChange>> told{
        {"Saat ileri", C::State},   {"Alarm saati", C::Value}, {"Alarm saati", C::State},
        {"Dakika ileri", C::State}, {"Alarm saati", C::Value}, {"09:00:02", C::Name}};
    EXPECT_EQ(toolkit.changes, told);
}

// Tab and Shift+Tab from where no control has the focus yet, in each state of the panel.
struct FocusCase
{
    const char *panel;
    std::function<void(WindowCoreTest &)> reach;
    Names forward;
};

void PrintTo(const FocusCase &focusCase, std::ostream *out)
{
    *out << focusCase.panel;
}

class FocusOrderTest : public WindowCoreTest, public ::testing::WithParamInterface<FocusCase>
{
};

TEST_P(FocusOrderTest, TabGoesRoundTheShownControlsAndShiftTabBack)
{
    GetParam().reach(*this);
    const Names &forward = GetParam().forward;
    EXPECT_EQ(visit(WindowCore::Key::Tab, static_cast<int>(forward.size())), forward);
    // Shift+Tab walks the same ring the other way.
    const Names backward(forward.rbegin() + 1, forward.rend());
    EXPECT_EQ(visit(WindowCore::Key::BackTab, static_cast<int>(backward.size())), backward);
}

INSTANTIATE_TEST_SUITE_P(
    PanelStates, FocusOrderTest,
    ::testing::Values(
        FocusCase{"closed", [](WindowCoreTest &) {}, {"Alarm ayarla", "Kapat", "Alarm ayarla"}},
        FocusCase{
            "open",
            [](WindowCoreTest &t) { t.core.activate(t.form.Image1); },
            {"Alarm ayarla", "Saat ileri", "Alarm saati", "Dakika ileri", "Kapat", "Alarm ayarla"}},
        // Every 20th tick hides the text box and the buttons; the hand stays.
        FocusCase{"collapsed",
                  [](WindowCoreTest &t) {
                      t.core.activate(t.form.Image1);
                      for (int i = 0; i < 20; ++i)
                          t.tickAt("09:00:01");
                  },
                  {"Alarm ayarla", "Kapat", "Alarm ayarla"}}),
    [](const auto &info) { return std::string(info.param.panel); });

TEST_F(WindowCoreTest, KeysAndActionsDoWhatClicksDo)
{
    // No key yet: no focus, no mark, and Space or Enter are the toolkit's.
    EXPECT_FALSE(core.keyPressed(WindowCore::Key::Activate));
    EXPECT_FALSE(core.focusMark());

    EXPECT_EQ(visit(WindowCore::Key::Tab, 1), Names{"Alarm ayarla"});
    EXPECT_EQ(toolkit.focused, &form.Image1);
    ASSERT_TRUE(core.focusMark());
    EXPECT_EQ(core.focusMark()->left, 352); // the bell, 32 x 32 at (352, 528)
    EXPECT_EQ(toolkit.repaints.back().front().left, 348) << "the mark's pixels repainted";

    // The bell by key, as by click: open; closed; and closed until a tick sets PanelFlag again.
    for (bool open : {true, false, false}) {
        EXPECT_TRUE(core.keyPressed(WindowCore::Key::Activate));
        EXPECT_EQ(form.Text1.Visible.get(), open);
    }
    tickAt("09:00:01");
    EXPECT_TRUE(core.keyPressed(WindowCore::Key::Activate));
    EXPECT_TRUE(form.Text1.Visible);

    // The hour button steps the hour, the text box takes no action.
    visit(WindowCore::Key::Tab, 1);
    EXPECT_TRUE(core.keyPressed(WindowCore::Key::Activate));
    EXPECT_EQ(form.Text1.Text.get(), "01:00");
    EXPECT_FALSE(core.focusMark()) << "a child window marks its own focus";
    visit(WindowCore::Key::Tab, 1);
    EXPECT_FALSE(core.keyPressed(WindowCore::Key::Activate));

    // A focused control that hides hands the focus to the bell; a hidden button takes no
    // action; a press and a release on two controls are no click.
    for (int i = 0; i < 20; ++i)
        tickAt("09:00:01");
    EXPECT_EQ(core.focused(), &form.Image1);
    core.activate(form.Tuş(0));
    EXPECT_EQ(form.Text1.Text.get(), "01:00");
    core.pointerPressed({370, 540});
    core.pointerReleased({360, 610});
    EXPECT_EQ(platform.endCalls, 0);

    // Kapat's action ends the program as its click does.
    EXPECT_EQ(visit(WindowCore::Key::BackTab, 1), Names{"Kapat"});
    EXPECT_TRUE(core.keyPressed(WindowCore::Key::Activate));
    EXPECT_EQ(platform.endCalls, 1);
}

} // namespace
} // namespace vemo::testing
