/* The WAVE file a countdown plays when it runs out, heard through the test run's
   null sink. */
#include "support.h"
#include "face.h"
#include "sound.h"

/* Well below the tone's half of full scale, far above any rounding noise. */
static const int kAudible = 1000;
/* The tone reaches the sink well within this after the count has stopped. */
static const DWORD kListenSpan = 3000;

class Sound : public Scenario {
protected:
    /* Starts the program, starts recording and runs a one-second countdown out. */
    void RunCountdownOut()
    {
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(recorder.Start());
        ASSERT_TRUE(StartCountdown(app.Window(), "1"));
        Face end;
        ASSERT_TRUE(WaitForFrozenFace(app.Window(), &end)) << "the countdown did not stop";
    }

    Velmor app;
    Recorder recorder;
};

TEST_F(Sound, CountdownPlaysTheWaveFileAtZero)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    std::string wave = std::string(folder) + "velmor-tone.wav";
    ASSERT_TRUE(WriteToneWave(wave));
    PlantSetting("Wave", REG_SZ, BytesOf(wave.c_str(), wave.size() + 1));

    ASSERT_NO_FATAL_FAILURE(RunCountdownOut());
    EXPECT_TRUE(WaitUntil([&] { return recorder.Peak() >= kAudible; }))
        << "heard nothing: the peak was " << recorder.Peak();
    DeleteFileA(wave.c_str());
}

TEST_F(Sound, CountdownWithoutWaveFileStaysSilent)
{
    ASSERT_NO_FATAL_FAILURE(RunCountdownOut());
    /* Silence can only be heard out: listen for as long as a tone would take to come. */
    WaitUntil([&] { return recorder.Peak() > 0; }, kListenSpan);
    EXPECT_EQ(recorder.Peak(), 0);
}
