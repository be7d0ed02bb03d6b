#pragma once

// The services the clock asks of the operating system and the window toolkit. The logic sees
// only these interfaces; the Qt implementation lives in platform/qt, the fakes for tests in
// tests/fakes.

#include <cstdint>
#include <string>

namespace vemo {

// The time of day and the date, as text in fixed forms whatever the user's locale.
class Clock
{
public:
    virtual ~Clock() = default;
    // Eight characters HH:MM:SS, 24-hour, as "07:05:09".
    virtual std::string timeText() = 0;
    // Ten characters DD.MM.YYYY, as "07.12.2026".
    virtual std::string dateText() = 0;
};

// Asynchronous playback of one sound at a time, in the manner of the Windows call: the path is
// in the system's 8-bit code page, flag 1 plays asynchronously, a new sound stops the one still
// playing, and a file that cannot be found plays the default sound instead.
class Sound
{
public:
    static constexpr unsigned SND_ASYNC = 0x0001;

    virtual ~Sound() = default;
    virtual int sndPlaySoundA(const std::string &path, unsigned flags) = 0;
};

// The modal input box: a prompt, a title, one text field, OK and Cancel.
class InputBox
{
public:
    virtual ~InputBox() = default;
    // The typed text, or the empty text on Cancel.
    virtual std::string inputBox(const std::string &prompt, const std::string &title) = 0;
};

// Size of the screen the window shows on.
class Screen
{
public:
    virtual ~Screen() = default;
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;
    virtual double width() = 0;  // twips
    virtual double height() = 0; // twips
};

using WindowHandle = std::uintptr_t;

// An ellipse inscribed in a rectangle of window pixels, right and bottom edges excluded.
struct EllipticRegion
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const EllipticRegion &, const EllipticRegion &) = default;
};

// Window shaping, in pixels relative to the window's outer top-left corner (frame included).
class WindowRegion
{
public:
    virtual ~WindowRegion() = default;
    virtual EllipticRegion CreateEllipticRgn(int left, int top, int right, int bottom) = 0;
    // Clips the window to the region; redraw is passed as -1 (true) or 0.
    virtual int SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw) = 0;
};

// Ends the program at once, with exit status 0: no further events, nothing asked or saved.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void end() = 0;
};

// Everything the form needs of the platform, handed to it at creation.
struct Services
{
    Clock &clock;
    Sound &sound;
    InputBox &input;
    Screen &screen;
    WindowRegion &region;
    ProgramEnd &programEnd;
};

} // namespace vemo
