#pragma once

#include "app/form1.h"
#include "fakes/fake_platform.h"

#include <gtest/gtest.h>

namespace vemo::testing {

// A form over the fake platform, started at a scripted time of day.
class FormTest : public ::testing::Test
{
protected:
    void startAt(const std::string &time)
    {
        platform.setTime(time);
        form.Form_Load();
    }

    // One tick at `time`; every reading of the clock within it answers the same.
    void tickAt(const std::string &time, const std::string &date = "08.12.2026")
    {
        platform.setTime(time);
        platform.setDate(date);
        form.Timer1_Timer();
    }

    FakePlatform platform;
    Form1 form{platform.services()};
};

} // namespace vemo::testing
