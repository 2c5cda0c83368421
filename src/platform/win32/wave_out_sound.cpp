#include "platform/win32/wave_out_sound.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <vector>

namespace platform {

namespace {

// About 11 ms a buffer, four of them queued: a key's tone is heard within a few buffers.
constexpr int kBufferFrames = 512;
constexpr int kBuffers = 4;

} // namespace

WaveOutSound::~WaveOutSound() {
    {
        std::lock_guard guard(lock_);
        ending_ = true;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void WaveOutSound::play(SoundCue cue) {
    std::lock_guard guard(lock_);
    if (failed_) {
        return;
    }
    mixer_.start(cue);
    if (running_) {
        return;
    }
    if (thread_.joinable()) {
        thread_.join(); // ended already: it cleared running_ as its last act
    }
    try {
        thread_ = std::thread([this] { run(); });
        running_ = true;
    } catch (const std::system_error&) {
        failed_ = true;
    }
}

void WaveOutSound::run() {
    const HANDLE bufferDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kSampleRate * 2;
    HWAVEOUT device = nullptr;
    const MMRESULT opened =
        bufferDone == nullptr
            ? MMSYSERR_NOMEM
            : waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0,
                          CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        std::array<wchar_t, MAXERRORLENGTH> text{};
        waveOutGetErrorTextW(opened, text.data(), static_cast<UINT>(text.size()));
        std::fprintf(stderr, "kestrilon: no sound: %ls\n", text.data());
        if (bufferDone != nullptr) {
            CloseHandle(bufferDone);
        }
        std::lock_guard guard(lock_);
        failed_ = true;
        running_ = false;
        return;
    }
    std::array<std::vector<std::int16_t>, kBuffers> samples;
    std::array<WAVEHDR, kBuffers> headers{};
    std::vector<float> mixed(kBufferFrames);
    for (int i = 0; i < kBuffers; ++i) {
        samples[i].resize(kBufferFrames);
        headers[i].lpData = reinterpret_cast<LPSTR>(samples[i].data());
        headers[i].dwBufferLength = kBufferFrames * 2;
        waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
        headers[i].dwFlags |= WHDR_DONE;
    }
    long silentFrames = 0;
    for (bool going = true; going;) {
        for (WAVEHDR& header : headers) {
            if ((header.dwFlags & WHDR_DONE) == 0) {
                continue;
            }
            std::unique_lock guard(lock_);
            const bool sounded = mixer_.mix(mixed.data(), kBufferFrames);
            silentFrames = sounded ? 0 : silentFrames + kBufferFrames;
            if (ending_ || silentFrames >= kSampleRate) {
                // Decided under the lock, so a sound played from now on starts a new thread.
                running_ = false;
                going = false;
                break;
            }
            guard.unlock();
            auto* out = reinterpret_cast<std::int16_t*>(header.lpData);
            for (int i = 0; i < kBufferFrames; ++i) {
                out[i] = static_cast<std::int16_t>(std::lround(mixed[i] * 32767.0f));
            }
            header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            waveOutWrite(device, &header, sizeof(WAVEHDR));
        }
        if (going) {
            WaitForSingleObject(bufferDone, INFINITE);
        }
    }
    waveOutReset(device);
    for (WAVEHDR& header : headers) {
        waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR));
    }
    waveOutClose(device);
    CloseHandle(bufferDone);
}

} // namespace platform
