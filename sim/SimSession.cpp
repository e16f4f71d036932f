// A link's frame handling between decoder, device, faults and log.
#include "sim/SimSession.h"

namespace velmar {

SimSession::SimSession(SimDevice& device, SimFaultInjector& faults, SimFrameLog* log, std::string link)
    : device_(device), faults_(faults), log_(log), link_(std::move(link)) {}

SimOutput SimSession::receive(const uint8_t* data, size_t size) {
    SimOutput out;
    decoder_.feed(data, size, [&](const SimFrame& f) { onFrame(f, out); });
    logDiscarded();
    return out;
}

SimOutput SimSession::lineIdle() {
    SimOutput out;
    decoder_.abandonPartial([&](const SimFrame& f) { onFrame(f, out); });
    logDiscarded();
    return out;
}

void SimSession::logDiscarded() {
    if (!log_ || decoder_.bytesDiscarded() == discardedLogged_) return;
    log_->note(link_, std::to_string(decoder_.bytesDiscarded() - discardedLogged_) +
                          " bytes outside frames discarded");
    discardedLogged_ = decoder_.bytesDiscarded();
}

void SimSession::onFrame(const SimFrame& frame, SimOutput& out) {
    // Once the connection is to be closed nothing more is taken from it.
    if (out.closeConnection) return;
    logDiscarded();
    const std::vector<uint8_t> in = log_ ? frame.encode() : std::vector<uint8_t>{};

    const SimFaultInjector::Verdict verdict = faults_.onFrame();
    if (verdict != SimFaultInjector::Verdict::Accept) {
        if (log_) {
            log_->frame(link_, "in", in.data(), in.size(),
                        verdict == SimFaultInjector::Verdict::Drop ? "dropped" : "silent");
        }
        closeIfDue(out);
        return;
    }

    SimDevice::Outcome outcome = device_.handle(frame);
    if (log_) {
        std::string note = outcome.what;
        if (outcome.disposition != SimDevice::Disposition::Answered) note = "ignored: " + note;
        log_->frame(link_, "in", in.data(), in.size(), note);
    }
    if (outcome.reply) {
        std::vector<uint8_t> bytes = outcome.reply->encode();
        const size_t first = out.transmissions.size();
        const SimFaultInjector::ReplyNote note = faults_.shapeReply(bytes, out.transmissions);
        if (log_) {
            if (note.dropped) {
                log_->frame(link_, "out", bytes.data(), bytes.size(), note.text());
            } else {
                // Log the frame as it really goes out: without the noise, with a corrupted checksum.
                std::vector<uint8_t> sent;
                for (size_t k = first; k < out.transmissions.size(); ++k) {
                    sent.insert(sent.end(), out.transmissions[k].bytes.begin(),
                                out.transmissions[k].bytes.end());
                }
                sent.erase(sent.begin(), sent.begin() + note.noiseBytes);
                log_->frame(link_, "out", sent.data(), sent.size(), note.text());
            }
        }
    }
    closeIfDue(out);
}

void SimSession::closeIfDue(SimOutput& out) {
    out.closeConnection = faults_.closeDue();
    if (out.closeConnection && log_) log_->note(link_, "closing the connection (fault)");
}

} // namespace velmar
