#include "sound.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

static const int kBufferCount = 64;

testing::AssertionResult WriteToneWave(const std::string& path)
{
    const DWORD rate = 22050;
    std::vector<short> samples(rate);
    for (size_t i = 0; i < samples.size(); i++)
        samples[i] = (short)(16384 * std::sin(2 * 3.14159265358979 * 880 * i / rate));

    DWORD dataSize = (DWORD)(samples.size() * sizeof(short));
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = rate * 2;
    DWORD formatSize = 16, riffSize = 4 + 8 + formatSize + 8 + dataSize;

    std::vector<BYTE> file;
    auto put = [&](const void* data, size_t size) {
        file.insert(file.end(), (const BYTE*)data, (const BYTE*)data + size);
    };
    put("RIFF", 4); put(&riffSize, 4); put("WAVE", 4);
    put("fmt ", 4); put(&formatSize, 4); put(&format, formatSize);
    put("data", 4); put(&dataSize, 4); put(samples.data(), dataSize);

    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE)
        return testing::AssertionFailure() << "cannot create " << path << ": error " << GetLastError();
    DWORD written = 0;
    BOOL ok = WriteFile(out, file.data(), (DWORD)file.size(), &written, NULL);
    CloseHandle(out);
    if (!ok || written != file.size()) return testing::AssertionFailure() << "cannot write " << path;
    return testing::AssertionSuccess();
}

testing::AssertionResult Recorder::Start()
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    MMRESULT result = waveInOpen(&in_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        in_ = NULL;
        return testing::AssertionFailure() << "no recording device (waveInOpen gave " << result
                                           << "): is the test run's PulseAudio null sink up?";
    }

    /* A quarter of a second each: the ring holds 16 s between two calls of Peak. */
    buffers_.assign(kBufferCount, std::vector<short>(44100 / 4 * 2));
    headers_.assign(kBufferCount, WAVEHDR());
    for (int i = 0; i < kBufferCount; i++) {
        headers_[i].lpData = (LPSTR)buffers_[i].data();
        headers_[i].dwBufferLength = (DWORD)(buffers_[i].size() * sizeof(short));
        waveInPrepareHeader(in_, &headers_[i], sizeof(WAVEHDR));
        waveInAddBuffer(in_, &headers_[i], sizeof(WAVEHDR));
    }
    result = waveInStart(in_);
    if (result != MMSYSERR_NOERROR)
        return testing::AssertionFailure() << "waveInStart gave " << result;
    return testing::AssertionSuccess();
}

int Recorder::Peak()
{
    for (WAVEHDR& header : headers_) {
        if (!(header.dwFlags & WHDR_DONE)) continue;
        const short* samples = (const short*)header.lpData;
        for (DWORD i = 0; i < header.dwBytesRecorded / sizeof(short); i++)
            peak_ = std::max(peak_, std::abs((int)samples[i]));
        header.dwFlags &= ~WHDR_DONE;
        waveInAddBuffer(in_, &header, sizeof(WAVEHDR));
    }
    return peak_;
}

Recorder::~Recorder()
{
    if (!in_) return;
    waveInReset(in_);
    for (WAVEHDR& header : headers_) waveInUnprepareHeader(in_, &header, sizeof(WAVEHDR));
    waveInClose(in_);
}
