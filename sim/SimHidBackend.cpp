// The fake HID backend: report framing, per-handle input queues and removal.
#include "sim/SimHidBackend.h"

#include "sim/SimSession.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>

namespace velmar {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kIdle = std::chrono::milliseconds(50); // a partial frame older than this is abandoned
constexpr size_t kReportData = 64;

using Report = std::array<uint8_t, kHidInReportSize>;

} // namespace

struct SimHidBackend::Attachment {
    Attachment(SimDevice& device, std::shared_ptr<SimFaultInjector> injector, SimFrameLog* log,
               bool isProcessor)
        : faults(std::move(injector)), processor(isProcessor) {
        if (processor) session = std::make_unique<SimSession>(device, *faults, log, "usb");
    }

    std::shared_ptr<SimFaultInjector> faults;
    const bool processor;

    std::mutex mutex; // guards everything below
    std::condition_variable arrived;
    bool removed = false;
    std::unique_ptr<SimSession> session; // processor only
    Clock::time_point lastWrite{};
    Clock::time_point lastDue{};
    int nextHandle = 0;
    struct Pending {
        Clock::time_point due;
        Report report;
    };
    std::map<int, std::deque<Pending>> queues; // one per open handle

    // Cuts each reply into input reports and queues them for every handle. Called with mutex held.
    void deliver(const SimOutput& out, Clock::time_point now) {
        size_t k = 0;
        while (k < out.transmissions.size()) {
            // A reply is its first transmission plus the chunks of a split; on USB they run together.
            std::vector<uint8_t> bytes = out.transmissions[k].bytes;
            const int delay = out.transmissions[k].delayMs;
            for (++k; k < out.transmissions.size() && !out.transmissions[k].startsReply; ++k) {
                bytes.insert(bytes.end(), out.transmissions[k].bytes.begin(),
                             out.transmissions[k].bytes.end());
            }
            const Clock::time_point due = std::max(now, lastDue) + std::chrono::milliseconds(delay);
            lastDue = due;
            for (size_t at = 0; at < bytes.size(); at += kReportData) {
                Report r{}; // report number 0, zero fill after the frame in the last report
                std::memcpy(r.data() + 1, bytes.data() + at, std::min(kReportData, bytes.size() - at));
                for (auto& [id, q] : queues) q.push_back({due, r});
            }
        }
        arrived.notify_all();
    }
};

namespace {

class SimHidHandle : public HidDevice {
public:
    explicit SimHidHandle(std::shared_ptr<SimHidBackend::Attachment> a) : a_(std::move(a)) {
        std::lock_guard lock(a_->mutex);
        id_ = a_->nextHandle++;
        a_->queues[id_];
    }
    ~SimHidHandle() override {
        std::lock_guard lock(a_->mutex);
        a_->queues.erase(id_);
    }

    bool write(const uint8_t* report, size_t size) override {
        std::lock_guard lock(a_->mutex);
        if (a_->removed || size != kHidOutReportSize || report[0] != 0) return false;
        if (!a_->processor) return true;
        const auto now = Clock::now();
        if (a_->session->hasPartialFrame() && now - a_->lastWrite > kIdle)
            a_->deliver(a_->session->lineIdle(), now);
        a_->lastWrite = now;
        a_->deliver(a_->session->receive(report + 1, kReportData), now);
        return true;
    }

    int read(uint8_t* out, size_t size, int timeoutMs) override {
        std::unique_lock lock(a_->mutex);
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            if (a_->removed) return -1;
            auto& q = a_->queues[id_];
            const auto now = Clock::now();
            if (!q.empty() && q.front().due <= now) {
                const size_t n = std::min(size, kHidInReportSize);
                std::memcpy(out, q.front().report.data(), n);
                q.pop_front();
                return static_cast<int>(n);
            }
            if (timeoutMs >= 0 && now >= deadline) return 0;
            Clock::time_point wakeAt = timeoutMs >= 0 ? deadline : Clock::time_point::max();
            if (!q.empty()) wakeAt = std::min(wakeAt, q.front().due);
            if (wakeAt == Clock::time_point::max()) {
                a_->arrived.wait(lock);
            } else {
                a_->arrived.wait_until(lock, wakeAt);
            }
        }
    }

private:
    std::shared_ptr<SimHidBackend::Attachment> a_;
    int id_ = 0;
};

} // namespace

namespace {

// A USB device has no connection to hang up (removal is remove()), so the close fault is left out.
SimFaultConfig WithoutClose(SimFaultConfig faults) {
    faults.closeAfterFrames = -1;
    return faults;
}

} // namespace

SimHidBackend::SimHidBackend(SimDevice& device, SimFaultConfig faults, SimFrameLog* log)
    : device_(device), log_(log), faults_(std::make_shared<SimFaultInjector>(WithoutClose(faults))) {
    Entry e;
    e.info.vendorId = kVendorId;
    e.info.productId = kProductId;
    e.info.releaseNumber = kReleaseNumber;
    e.info.path = kProcessorPath;
    e.info.product = "Velmar loudspeaker processor (simulated)";
    e.processor = true;
    e.attachment = std::make_shared<Attachment>(device_, faults_, log_, true);
    entries_.push_back(std::move(e));
}

SimHidBackend::~SimHidBackend() = default;

std::vector<HidDeviceInfo> SimHidBackend::enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<HidDeviceInfo> list;
    for (const Entry& e : entries_) {
        if (e.attachment) list.push_back(e.info);
    }
    return list;
}

std::unique_ptr<HidDevice> SimHidBackend::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (const Entry& e : entries_) {
        if (e.attachment && e.info.path == path) return std::make_unique<SimHidHandle>(e.attachment);
    }
    return nullptr;
}

void SimHidBackend::setRemovalHandler(std::function<void(const std::string& path)> handler) {
    std::lock_guard lock(mutex_);
    removalHandler_ = std::move(handler);
}

void SimHidBackend::addFakeDevice(const HidDeviceInfo& info, bool listFirst) {
    std::lock_guard lock(mutex_);
    Entry e;
    e.info = info;
    e.attachment = std::make_shared<Attachment>(device_, faults_, log_, false);
    entries_.insert(listFirst ? entries_.begin() : entries_.end(), std::move(e));
}

void SimHidBackend::remove(const std::string& path) {
    std::shared_ptr<Attachment> gone;
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard lock(mutex_);
        for (Entry& e : entries_) {
            if (e.attachment && e.info.path == path) {
                gone = std::move(e.attachment);
                e.attachment.reset();
                break;
            }
        }
        handler = removalHandler_;
    }
    if (!gone) return;
    {
        std::lock_guard lock(gone->mutex);
        gone->removed = true;
        gone->arrived.notify_all();
    }
    if (log_) log_->note("usb", "removed " + path);
    if (handler) handler(path);
}

void SimHidBackend::reattach() {
    std::lock_guard lock(mutex_);
    for (Entry& e : entries_) {
        if (e.processor && !e.attachment)
            e.attachment = std::make_shared<Attachment>(device_, faults_, log_, true);
    }
}

SimFaultInjector& SimHidBackend::faults() {
    return *faults_;
}

} // namespace velmar
