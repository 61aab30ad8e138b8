/* Hearing what the program plays. The test run routes Wine's sound into a PulseAudio
   null sink and makes that sink's monitor the default recording source, so recording
   from the default device here hears exactly what any Wine program plays. */
#ifndef VELMOR_E2E_SOUND_H
#define VELMOR_E2E_SOUND_H

#include <windows.h>
#include <mmsystem.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

/* Writes a one-second 880 Hz tone at half of full scale as a PCM WAVE file. */
testing::AssertionResult WriteToneWave(const std::string& path);

/* Records 16-bit stereo from the default device into a ring of buffers for as long as
   it lives. */
class Recorder {
public:
    Recorder() = default;
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    testing::AssertionResult Start();
    /* The largest sample magnitude recorded so far. */
    int Peak();

private:
    HWAVEIN in_ = NULL;
    std::vector<WAVEHDR> headers_;
    std::vector<std::vector<short>> buffers_;
    int peak_ = 0;
};

#endif
