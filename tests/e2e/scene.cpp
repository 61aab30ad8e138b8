#include "scene.h"

void ClockScenario::StartClock(const std::string& path)
{
    ASSERT_TRUE(app.Start(path));
    wnd = app.Window();
    Face face;
    ASSERT_TRUE(WaitForFace(wnd, ShowsClock, &face)) << "no date and time in their colours";
}

void ClockScenario::CountUp()
{
    Face face;
    ASSERT_TRUE(PressKey(wnd, VK_RETURN));
    ASSERT_TRUE(WaitForFace(wnd, ShowsCount, &face)) << "Enter showed no count";
    ASSERT_TRUE(WaitForFaceChange(wnd, face)) << "the count does not run";
}

void ClockScenario::ExpectKeyStops(WORD key, Face* stopped)
{
    ASSERT_TRUE(PressKey(wnd, key));
    ASSERT_TRUE(WaitForFrozenFace(wnd, stopped)) << "the count did not stop";
    EXPECT_TRUE(ShowsCount(*stopped)) << "the stopped face shows no count";
}

Folder& ClockScenario::MakeFolder(const std::string& path)
{
    folders.emplace_back(new Folder(path));
    return *folders.back();
}
