// Any text typed into the alarm box, read back by the alarm check at any time and date text.
// The input's lines are the alarm text, the time text, the date text, a row of events (t a
// tick, b a click on the bell, 0 and 1 the panel's buttons, a the alarm text typed again) and
// the name typed at start-up. Each event ends or raises a run-time error; and after each tick
// the alarm chime has sounded exactly when the alarm text's first two and last two characters
// are the time's hour and minutes.

#include "fakes/fake_platform.h"
#include "fuzz_support.h"

#include "app/form1.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <algorithm>

namespace {

using namespace vemo;
using fuzz::require;

const std::string kAlarmChime = toCodePage("C:\\WINDOWS\\Media\\ringin");
constexpr std::size_t kMostEvents = 64;

std::string field(const std::vector<std::string_view> &lines, std::size_t i, const char *otherwise)
{
    return std::string(i < lines.size() ? lines[i] : std::string_view(otherwise));
}

// Whether the alarm should sound: compared by code points, for well-formed texts.
std::optional<bool> alarmDue(const std::string &time, const std::string &alarm)
{
    const auto t = fuzz::codePoints(time);
    const auto a = fuzz::codePoints(alarm);
    if (!t || !a)
        return std::nullopt;
    const std::u32string minutes = t->substr(std::min<std::size_t>(3, t->size()), 2);
    const std::u32string lastTwo = a->substr(a->size() - std::min<std::size_t>(2, a->size()));
    return minutes == lastTwo && t->substr(0, 2) == a->substr(0, 2);
}

// Whether the tick's own full-hour chime, the same sound, came before the alarm check.
bool fullHour(const std::string &time)
{
    return val(mid(time, 4, 2)) == 0 && val(right(time, 2)) == 0;
}

void tick(Form1 &form, testing::FakePlatform &platform, const std::string &time)
{
    platform.sounds.clear();
    form.Timer1_Timer();
    const auto due = alarmDue(time, form.Text1.Text);
    if (!due)
        return;
    const auto chimes = std::count_if(platform.sounds.begin(), platform.sounds.end(),
                                      [](const auto &call) { return call.path == kAlarmChime; });
    require(chimes == (fullHour(time) ? 1 : 0) + (*due ? 1 : 0),
            "the alarm sounds exactly when its hour and minutes are the time's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto lines = fuzz::lines(std::string_view(reinterpret_cast<const char *>(data), size));
    const std::string alarm = field(lines, 0, "07:24");
    const std::string time = field(lines, 1, "07:24:30");
    const std::string date = field(lines, 2, "08.12.2026");
    const std::string events = field(lines, 3, "t").substr(0, kMostEvents);

    testing::FakePlatform platform;
    platform.typedName = field(lines, 4, "ilker ışık");
    platform.setTime(time);
    platform.setDate(date);
    Form1 form(platform.services());
    try {
        form.Form_Load();
        form.Text1.Text = alarm;
        for (const char event : events) {
            switch (event) {
            case 't':
                tick(form, platform, time);
                break;
            case 'b':
                form.Image1_Click();
                break;
            case '0':
            case '1':
                form.Tuş_Click(static_cast<std::int16_t>(event - '0'));
                break;
            case 'a':
                form.Text1.Text = alarm;
                break;
            default:
                break;
            }
        }
    } catch (const RuntimeError &) {
        // The event dispatch reports it and ends the program: the failure the procedures have.
    }
    return 0;
}
