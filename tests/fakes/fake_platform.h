#pragma once

#include "platform/services.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vemo::testing {

// Platform services whose every answer a test scripts. The clock is read several times in one
// event, so readings are queued one by one; when the queue runs dry the last reading repeats.
class FakePlatform : public Clock,
                     public Sound,
                     public InputBox,
                     public Screen,
                     public WindowRegion,
                     public ProgramEnd
{
public:
    // Time readings, "HH:MM:SS", in the order they are to be answered.
    void scriptTimes(std::initializer_list<std::string> readings);
    void setTime(const std::string &reading) { scriptTimes({reading}); }
    void scriptDates(std::initializer_list<std::string> readings);
    void setDate(const std::string &reading) { scriptDates({reading}); }

    std::string timeText() override;
    std::string dateText() override;

    struct SoundCall
    {
        std::string path; // as passed: in the 8-bit code page
        unsigned flags;
    };
    int sndPlaySoundA(const std::string &path, unsigned flags) override;

    std::string inputBox(const std::string &prompt, const std::string &title) override;

    double twipsPerPixelX() override { return twipsPerPixel; }
    double twipsPerPixelY() override { return twipsPerPixel; }
    double width() override { return screenWidthPixels * twipsPerPixel; }
    double height() override { return screenHeightPixels * twipsPerPixel; }

    EllipticRegion CreateEllipticRgn(int left, int top, int right, int bottom) override;
    int SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw) override;

    void end() override { ++endCalls; }

    Services services() { return {*this, *this, *this, *this, *this, *this}; }

    // Scripted answers.
    std::string typedName;
    double twipsPerPixel = 15;
    double screenWidthPixels = 1024;
    double screenHeightPixels = 768;

    // What the form asked for.
    std::vector<SoundCall> sounds;
    std::vector<std::string> prompts; // "prompt|title"
    std::vector<EllipticRegion> regionsSet;
    WindowHandle regionWindow = 0;
    int regionRedraw = 0;
    std::function<void(const std::string &path)> onSound; // called as each sound is asked for
    int endCalls = 0;
    int timeReadings = 0;
    int dateReadings = 0;

private:
    static std::string next(std::deque<std::string> &queue);

    std::deque<std::string> times_{"00:00:00"};
    std::deque<std::string> dates_{"08.12.2026"};
};

} // namespace vemo::testing
