#pragma once
// Encodes and writes the frames of a sequence on worker threads while the GL thread draws the
// next ones. The files do not depend on the number of workers or on their timing: each frame is
// encoded alone, from its own pixels, into its own file.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    using Namer = std::string (*)(int64_t index);

    // workers == 0 encodes on the calling thread, in Submit. Queued frames are dropped once
    // *stop is non-zero.
    FrameWriter(int workers, int width, int height, std::string dir, Namer name, const std::atomic<int>* stop);
    // Waits for the workers; removes every frame written unless KeepFiles was called.
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // A buffer for the next frame's pixels; waits while enough frames are in flight, so memory
    // stays bounded however slow the disk is.
    std::vector<unsigned char> TakeBuffer();
    // Queues frame `index`, width * height * 3 bytes, bottom row first.
    void Submit(int64_t index, std::vector<unsigned char>&& pixels);
    // False once a frame could not be written.
    bool Healthy() const { return !failed_.load(); }
    int64_t Done() const { return done_.load(); }
    // Waits for every queued frame. False with the first failure's reason.
    bool Finish(std::string* error);
    void KeepFiles() { keep_ = true; }

private:
    struct Job {
        int64_t index;
        std::vector<unsigned char> pixels;
    };

    void Work();
    void Encode(Job& job);
    void Release(std::vector<unsigned char>&& pixels);

    const int width_, height_;
    const std::string dir_;
    const Namer name_;
    const std::atomic<int>* stop_;
    const bool inline_;
    size_t inFlightLimit_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::vector<unsigned char>> spare_;
    size_t inFlight_ = 0;
    bool closing_ = false;
    std::string error_;
    std::vector<std::string> written_;
    std::atomic<bool> failed_{false};
    std::atomic<int64_t> done_{0};
    bool keep_ = false;
    std::vector<std::thread> threads_;
};
