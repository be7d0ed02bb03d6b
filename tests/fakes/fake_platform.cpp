#include "fakes/fake_platform.h"

namespace vemo::testing {

void FakePlatform::scriptTimes(std::initializer_list<std::string> readings)
{
    times_.assign(readings.begin(), readings.end());
}

void FakePlatform::scriptDates(std::initializer_list<std::string> readings)
{
    dates_.assign(readings.begin(), readings.end());
}

std::string FakePlatform::next(std::deque<std::string> &queue)
{
    std::string reading = queue.front();
    if (queue.size() > 1)
        queue.pop_front();
    return reading;
}

std::string FakePlatform::timeText()
{
    ++timeReadings;
    return next(times_);
}

std::string FakePlatform::dateText()
{
    ++dateReadings;
    return next(dates_);
}

int FakePlatform::sndPlaySoundA(const std::string &path, unsigned flags)
{
    sounds.push_back({path, flags});
    if (onSound)
        onSound(path);
    return 1;
}

std::string FakePlatform::inputBox(const std::string &prompt, const std::string &title)
{
    prompts.push_back(prompt + "|" + title);
    return typedName;
}

EllipticRegion FakePlatform::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return {left, top, right, bottom};
}

int FakePlatform::SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw)
{
    regionsSet.push_back(region);
    regionWindow = window;
    regionRedraw = redraw;
    return 1;
}

} // namespace vemo::testing
