// Plays a fixed programme of the clock's sounds through the sound service, as the clock asks
// for them, for the listening tests to record.
//
//   sound_driver <media folder> listen <scratch folder>
//       five ticks a second apart, a tick and at once ringin, as at a full hour, ringout
//       interrupted by a tick after 300 ms, and a 10 ms sound written into the scratch folder as
//       kısa.wav
//   sound_driver <media folder> ticks <seconds>
//       a tick every second
//   sound_driver <media folder> burst
//       twenty requests 50 ms apart

#include "platform/pulse/pulse_sound.h"
#include "tone_analysis.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace {

const std::string tick = "C:\\WINDOWS\\Media\\Windows XP Men\xFC Komutu";
const std::string ringin = "C:\\WINDOWS\\Media\\ringin";
const std::string ringout = "C:\\WINDOWS\\Media\\ringout";
const std::string missing = "C:\\WINDOWS\\Media\\tada";
const std::string shortSound = "C:\\WINDOWS\\Media\\k\xFDsa"; // kısa

} // namespace

int main(int argc, char **argv)
{
    using namespace std::chrono;
    const std::string mode = argc > 2 ? argv[2] : "";
    if (!(argc == 4 && (mode == "listen" || mode == "ticks")) && !(argc == 3 && mode == "burst")) {
        std::cerr << "usage: sound_driver <media folder> listen <scratch folder> | ticks <seconds> "
                     "| burst\n";
        return 2;
    }
    std::vector<std::filesystem::path> folders{argv[1]};
    if (mode == "listen") {
        folders.emplace_back(argv[3]);
        const std::filesystem::path file = folders.back() / std::filesystem::path(u8"kısa.wav");
        if (!vemo::test::writeWav(file.c_str(), vemo::test::shortTone())) {
            std::cerr << "sound_driver: cannot write " << file << '\n';
            return 1;
        }
    }
    vemo::PulseSound sound(folders);
    vemo::Sound &service = sound;

    // Times are kept from one start, so that a late wake-up does not shift what follows.
    const auto start = steady_clock::now() + milliseconds(500);
    const auto at = [&](int ms) { std::this_thread::sleep_until(start + milliseconds(ms)); };

    if (mode == "listen") {
        for (int i = 0; i < 5; ++i) {
            at(1000 * i);
            service.sndPlaySoundA(tick, vemo::Sound::SND_ASYNC);
        }
        at(5000);
        service.sndPlaySoundA(tick, vemo::Sound::SND_ASYNC);
        service.sndPlaySoundA(ringin, vemo::Sound::SND_ASYNC);
        at(6500);
        service.sndPlaySoundA(ringout, vemo::Sound::SND_ASYNC);
        at(6800);
        service.sndPlaySoundA(tick, vemo::Sound::SND_ASYNC);
        at(7800);
        service.sndPlaySoundA(shortSound, vemo::Sound::SND_ASYNC);
        at(8500);
    } else if (mode == "ticks") {
        for (int i = 0; i < std::stoi(argv[3]); ++i) {
            at(1000 * i);
            service.sndPlaySoundA(tick, vemo::Sound::SND_ASYNC);
        }
    } else {
        const std::string *programme[] = {&tick, &ringin, &ringout, &missing};
        for (int i = 0; i < 20; ++i) {
            at(50 * i);
            service.sndPlaySoundA(*programme[i % 4], vemo::Sound::SND_ASYNC);
        }
    }
    return 0;
}
