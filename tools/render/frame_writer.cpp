#include "tools/render/frame_writer.h"

#include <algorithm>
#include <filesystem>
#include <new>

#include "platform/out_file.h"
#include "tools/common/png_write.h"

namespace {

// Pixels waiting for or in encoding; a few frames per worker keep both sides busy.
constexpr size_t pixelBudget = 256u << 20;

}  // namespace

FrameWriter::FrameWriter(int workers, int width, int height, std::string dir, Namer name,
                         const std::atomic<int>* stop)
    : width_(width), height_(height), dir_(std::move(dir)), name_(name), stop_(stop), inline_(workers <= 0)
{
    const size_t frameBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    inFlightLimit_ = std::clamp<size_t>(pixelBudget / std::max<size_t>(frameBytes, 1), 1,
                                        2 * static_cast<size_t>(std::max(workers, 1)) + 1);
    for (int i = 0; i < workers; ++i)
        threads_.emplace_back(&FrameWriter::Work, this);
}

FrameWriter::~FrameWriter()
{
    Finish(nullptr);
    if (keep_)
        return;
    std::error_code ec;
    for (const std::string& path : written_)
        std::filesystem::remove(path, ec);
}

std::vector<unsigned char> FrameWriter::TakeBuffer()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ < inFlightLimit_; });
    ++inFlight_;
    if (spare_.empty())
        return {};
    std::vector<unsigned char> buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

void FrameWriter::Release(std::vector<unsigned char>&& pixels)
{
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(pixels));
    --inFlight_;
    changed_.notify_all();
}

void FrameWriter::Submit(int64_t index, std::vector<unsigned char>&& pixels)
{
    Job job{index, std::move(pixels)};
    if (inline_) {
        Encode(job);
        Release(std::move(job.pixels));
        return;
    }
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(job));
    changed_.notify_all();
}

void FrameWriter::Work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        Encode(job);
        Release(std::move(job.pixels));
    }
}

void FrameWriter::Encode(Job& job)
{
    if (failed_.load() || (stop_ && stop_->load()))
        return;
    const std::string path = (std::filesystem::path(dir_) / name_(job.index)).string();
    std::string error;
    bool ok = false;
    try {
        const auto png = encodePngRgb(width_, height_, job.pixels.data(), true, &error);
        ok = !png.empty() && plat::WriteWholeFile(path, png.data(), png.size(), &error);
    } catch (const std::bad_alloc&) {
        error = "out of memory writing " + path;
    }
    std::lock_guard lock(mutex_);
    if (ok) {
        written_.push_back(path);
        ++done_;
    } else if (!failed_.exchange(true)) {
        error_ = error;
    }
}

bool FrameWriter::Finish(std::string* error)
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        changed_.notify_all();
    }
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
    if (failed_.load() && error)
        *error = error_;
    return !failed_.load();
}
