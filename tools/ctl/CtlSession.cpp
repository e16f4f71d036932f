// One velmarctl run: link, handshake, image read, the command, the exit code.
#include "ctl/CtlSession.h"

#include "core/CoreMessages.h"
#include "core/DeviceConfigTable.h"
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "ctl/MeterReport.h"
#include "ctl/ProcessorInfo.h"
#include "ctl/ProgramFile.h"
#include "transport/HidapiBackend.h"
#include "transport/LinkController.h"
#include "transport/LinkMessages.h"
#include "transport/Serial/SerialTrace.h"

#include <QEventLoop>
#include <QMetaObject>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velmar::ctl {

namespace {

// Backstops, in ticks, behind the protocol's own retries and the link supervision: a line that keeps
// delivering noise resets the supervision's silence counter, and must still not hold velmarctl for ever.
constexpr int kHandshakeBackstop = 100; // the scheduler gives up after about 6.4 s
constexpr int kImageReadBackstop = 150; // the supervision ends a silent link after about 6.1 s
constexpr int kCommandBackstop = 150;
constexpr int kImageWriteBackstop = 250; // four sends 3.1 s apart, abandoned 3 s after the last
constexpr int kMeterBackstop = 100;      // between two readings
constexpr int kStragglerTicks = 20;      // the longest wait for a late second answer at connection

// The program-name write has no retry in the protocol. It is idempotent, so velmarctl sends it again
// the way the scheduler resends a handshake: 16 ticks apart, four sends in all.
constexpr int kRenameRetryTicks = 16;
constexpr int kRenameSends = 4;

constexpr int kFrameCommand = 5;
constexpr int kFrameP1 = 6;
constexpr int kFrameP2 = 7;
constexpr int kFrameP3 = 8;
constexpr int kFrameP4 = 9;
constexpr int kFrameLengthLow = 10;
constexpr int kFrameLengthHigh = 11;
constexpr int kFrameHeader = 12;
constexpr uint8_t kImageWriteDone = 0xA4;
constexpr int kCurrentProgramByte = 15;
constexpr uint32_t kLinkLostWParam = 0xAA;
constexpr uint32_t kLinkLostLParam = 0xBB;

std::string LinkText(LinkMessage message) {
    return LinkMessageFor(message, 0).text;
}

std::string Seconds(int ticks) {
    return std::to_string(ticks * CtlSession::kTickMs / 1000) + " s";
}

} // namespace

CtlSession::CtlSession(CtlOptions options, std::ostream& out, std::ostream& err,
                       std::unique_ptr<HidBackend> hid, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_out(out), m_err(err), m_hid(std::move(hid)),
      m_state(std::make_unique<CoreState>()), m_trace(err) {
    m_tick.setInterval(kTickMs);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &CtlSession::onTick);
}

CtlSession::~CtlSession() {
    m_tick.stop();
    if (m_links) {
        m_links->closeLink();
        m_links->detach();
    }
    m_links.reset();
    SetSerialTraceSink({});
}

int CtlSession::run() {
    if (const int code = prepare(); code != 0) return code;

    InitCoreState(*m_state);
    m_state->deviceAddress = static_cast<uint8_t>(m_options.address);
    m_state->languageFlag = 0;
    installHooks();
    openLink();

    QEventLoop loop;
    m_loop = &loop;
    if (!m_finished) {
        m_tick.start();
        loop.exec();
    }
    m_loop = nullptr;
    m_tick.stop();
    m_links->closeLink();
    m_out << std::flush;
    m_err << std::flush;
    return m_exitCode;
}

void CtlSession::interrupt() {
    fail(1, "interrupted");
}

// Everything that can be judged without the processor is judged before a link is opened.
int CtlSession::prepare() {
    auto usage = [this](const std::string& message) {
        m_err << "velmarctl: " << message << "\n";
        return 2;
    };
    if (m_options.command == Command::Get || m_options.command == Command::Set) {
        const auto channel = FieldTable::ParseChannel(m_options.channel);
        if (!channel) return usage("unknown channel '" + m_options.channel + "' (inA..inD, out1..out8)");
        m_channel = *channel;
        std::string error;
        const auto field = FieldTable::ParseField(m_options.field, m_channel, error);
        if (!field) return usage(error);
        m_field = *field;
        if (m_options.command == Command::Set) {
            std::string rule;
            const auto entry = FieldTable::ParseEntry(m_channel, m_field, m_options.value, rule);
            if (!entry) {
                return usage(std::string(DataOutOfRangeText(0)) + ": " + FieldTable::ChannelName(m_channel) +
                             " " + FieldTable::FieldName(m_field) + " " + rule + ", got '" + m_options.value +
                             "'");
            }
            m_entry = *entry;
        }
    }
    if (m_options.command == Command::Load) {
        m_fileImage = std::make_unique<DeviceImage>();
        std::string error;
        uint64_t extra = 0;
        if (!ProgramFile::Read(m_options.file, *m_fileImage, error, &extra)) {
            m_err << "velmarctl: MusicFile read Error: " << m_options.file << ": " << error << "\n";
            return 1;
        }
        if (extra > 0)
            m_err << "velmarctl: " << m_options.file << ": only the first 1600 bytes are a program; " << extra
                  << " more ignored\n";
    }
    return 0;
}

void CtlSession::installHooks() {
    CoreHooks& h = m_state->hooks;
    h.showMessage = [this](const char* text, const char*) {
        m_err << "velmarctl: " << text << "\n" << std::flush;
    };
    h.postMessage = [this](uint32_t msg, uint32_t wParam, uint32_t lParam) {
        // Delivered after the core's call has returned, as a posted message would be.
        if (msg == kMsgRefresh && wParam == kLinkLostWParam && lParam == kLinkLostLParam)
            QMetaObject::invokeMethod(this, &CtlSession::onLinkLost, Qt::QueuedConnection);
    };
    h.imageReplaced = [this] { onImageReplaced(); };
    h.traceSent = [this](const uint8_t* frame, size_t size) { onFrameSent(frame, size); };
    h.traceFrameReceived = [this](const uint8_t* frame, size_t size) { onFrameReceived(frame, size); };

    // The serial classes' diagnostic reports are for developers: with --trace they join the trace on
    // stderr (written there directly, as they may come from the listener thread), otherwise they are
    // dropped; what the user needs is in velmarctl's own messages.
    if (m_options.trace)
        SetSerialTraceSink([](const std::string& line) { std::fprintf(stderr, "serial: %s", line.c_str()); });
    else
        SetSerialTraceSink([](const std::string&) {});

    std::unique_ptr<HidBackend> hid = std::move(m_hid);
    if (m_options.link == LinkChoice::Usb && !hid) hid = std::make_unique<HidapiBackend>();
    m_links = std::make_unique<LinkController>(std::move(hid));
    CoreState& s = *m_state;
    m_links->attach(s, LinkController::CoreSinks{[this, &s](const uint8_t* bytes, int16_t count) {
                                                     FeedBytes(s, bytes, count);
                                                     afterReceive();
                                                 },
                                                 [this, &s](const uint8_t* report) {
                                                     FeedReport(s, report);
                                                     afterReceive();
                                                 },
                                                 [&s] { QueueHandshake(s); }});

    connect(m_links.get(), &LinkController::linkOpened, this, [this](LinkType) {
        if (m_stage == Stage::Opening || m_stage == Stage::Prepared) {
            m_stage = Stage::Handshake;
            m_ticksLeft = kHandshakeBackstop;
        }
    });
    connect(m_links.get(), &LinkController::tcpOpenFailed, this, [this](const QString& reason) {
        fail(1, LinkText(LinkMessage::CantOpenWifi) + ": " + m_options.tcpHost + ":" +
                    std::to_string(m_options.tcpPort) + ": " + reason.toStdString());
    });
    connect(m_links.get(), &LinkController::usbDeviceDisconnect, this,
            [this] { fail(1, LinkText(LinkMessage::DeviceDisconnect)); });
    connect(m_links.get(), &LinkController::usbDeviceRemoved, this,
            [this] { fail(1, LinkText(LinkMessage::DeviceNotFound)); });
    // The WiFi module hanging up ends the link at once; nothing more can arrive on it.
    connect(&m_links->tcpLink(), &ClientSocket::connectionLost, this, [this](const QString& reason) {
        fail(1, "the processor closed the connection (" + reason.toStdString() + ") while waiting for " +
                    waitingFor());
    });
}

void CtlSession::openLink() {
    m_stage = Stage::Opening;
    switch (m_options.link) {
    case LinkChoice::Tcp:
        // Only the address the user gave: the module's default address is never tried.
        m_links->setWifiAddress(QString::fromStdString(m_options.tcpHost));
        m_links->setWifiPort(m_options.tcpPort);
        m_links->openTcp();
        break;
    case LinkChoice::Serial:
        if (!m_links->openSerial(QString::fromStdString(m_options.serialDevice))) {
            const int32_t code = m_links->serialPort().GetLastError();
            std::string detail;
            if (code > 0 && code < 1000) detail = std::string(": ") + std::strerror(code);
            // The usual cause: the user is not in the group the serial ports belong to.
            if (code == EACCES || code == EPERM)
                detail += " (serial ports belong to the group dialout: sudo usermod -aG dialout $USER, "
                          "then log out and in again)";
            fail(1, LinkText(LinkMessage::UnableToOpenComPort) + " " + m_options.serialDevice + detail);
        }
        break;
    case LinkChoice::Usb:
        if (!m_links->openUsb()) fail(1, LinkText(LinkMessage::DeviceNotFound));
        break;
    case LinkChoice::None:
        fail(2, "no link given");
        break;
    }
}

void CtlSession::onTick() {
    if (m_finished) return;
    // The application's two 100 ms timers, in one: the scheduler's and the link supervision's.
    SchedulerTick(*m_state);
    LinkSupervisionTick(*m_state);
    advance(true);
}

void CtlSession::afterReceive() {
    if (m_finished) return;
    if (m_meterArrived) {
        m_meterArrived = false;
        if (m_stage == Stage::Command && m_options.command == Command::Meters) onMeterReading();
    }
    advance(false);
}

void CtlSession::advance(bool tick) {
    if (m_finished || !m_state->linkConnected) return;
    const CommandScheduler& q = m_state->scheduler;
    switch (m_stage) {
    case Stage::Handshake:
        if (m_state->linkConfirmed >= 1) {
            // The processor's model decides which channels exist and the order of its meter bytes.
            m_state->deviceConfig = ProcessorInfo::DeviceConfigFor(m_state->system);
            m_state->deviceConfigPending = 0;
            m_stage = Stage::ImageRead;
            m_ticksLeft = kImageReadBackstop;
        } else if (q.state == SchedState::GiveUp) {
            fail(1, "the processor did not answer the handshake (sent 4 times to device address " +
                        std::to_string(m_options.address) + ")");
            return;
        } else {
            if (tick && --m_ticksLeft <= 0)
                fail(1, "the processor did not answer the handshake within " + Seconds(kHandshakeBackstop));
            return;
        }
        [[fallthrough]];
    case Stage::ImageRead:
        if (m_state->linkConfirmed == 2) {
            if (!connectionSettled(tick)) return;
            m_stage = Stage::Command;
            startCommand();
        } else if (tick && --m_ticksLeft <= 0) {
            fail(1, "the processor did not send the whole image within " + Seconds(kImageReadBackstop));
        }
        return;
    case Stage::Command:
        checkCommand(tick);
        return;
    default:
        return;
    }
}

// A handshake that was sent again because its reply was late is answered twice, and each answer reads
// the whole image once more. Such a late image must not arrive in the middle of the command, where it
// would replace the image a write is sent from: while more handshakes or image reads went out than were
// answered, the command waits for the stragglers, at most kStragglerTicks after the last answer.
bool CtlSession::connectionSettled(bool tick) {
    const bool outstanding = m_handshakeReplies < m_handshakesSent || m_imageReplies < m_imageReadsSent;
    if (!outstanding) return true;
    if (tick) ++m_stragglerTicks;
    return m_stragglerTicks >= kStragglerTicks;
}

bool CtlSession::channelPresent() {
    const int inputs = DeviceConfigInputCount(m_state->deviceConfig);
    const int outputs = DeviceConfigOutputCount(m_state->deviceConfig);
    const bool input = m_channel.kind == kKindInput;
    if (m_channel.index < (input ? inputs : outputs)) return true;
    fail(2, FieldTable::ChannelName(m_channel) + ": this processor has " + std::to_string(inputs) +
                " inputs and " + std::to_string(outputs) + " outputs");
    return false;
}

void CtlSession::expect(Await await, int backstopTicks) {
    m_await = std::move(await);
    m_ticksLeft = backstopTicks;
}

void CtlSession::startCommand() {
    CoreState& s = *m_state;
    const std::string program = std::to_string(m_options.program);
    switch (m_options.command) {
    case Command::Info:
        succeed(m_options.json ? ProcessorInfo::Json(s) : ProcessorInfo::Text(s));
        return;
    case Command::Dump: {
        std::string error;
        if (!ProgramFile::Write(m_options.file, s.image, error)) {
            fail(1, "MusicFile Write Error: " + m_options.file + ": " + error);
            return;
        }
        succeed("Exporting data completed: " + m_options.file + "\n");
        return;
    }
    case Command::Load:
        // As an import does: importImage goes out as read from the file, the image is its clamped copy.
        s.importImage = *m_fileImage;
        s.image = *m_fileImage;
        ClampImage(s.image);
        QueueImageWrite(s, 0);
        expect({kCmdImageWrite,
                -1,
                -1,
                -1,
                -1,
                {kImageWriteDone, kCmdProgramStore},
                false,
                "the whole-image write of " + m_options.file},
               kImageWriteBackstop);
        return;
    case Command::Get: {
        if (!channelPresent()) return;
        const FieldReading r = FieldTable::Read(s.image, m_channel, m_field);
        if (!m_options.json) {
            succeed(r.text + "\n");
            return;
        }
        JsonWriter j;
        j.beginObject();
        j.key("channel").value(FieldTable::ChannelName(m_channel));
        j.key("field").value(FieldTable::FieldName(m_field));
        j.key("text").value(r.text);
        j.key("value");
        if (r.number)
            j.value(*r.number);
        else
            j.value(r.text);
        j.key("unit").value(r.unit);
        j.endObject();
        succeed(j.str() + "\n");
        return;
    }
    case Command::Set:
        startSet();
        return;
    case Command::ProgramLoad:
        s.system.bytes[kCurrentProgramByte] = static_cast<uint8_t>(m_options.program);
        QueueProgramLoad(s, static_cast<uint8_t>(m_options.program));
        expect({kCmdProgramLoad,
                -1,
                m_options.program,
                -1,
                -1,
                {kCmdProgramLoad},
                true,
                "the load of program " + program},
               kCommandBackstop);
        return;
    case Command::ProgramStore:
        QueueProgramStore(s, static_cast<uint8_t>(m_options.program));
        s.system.bytes[kCurrentProgramByte] = static_cast<uint8_t>(m_options.program);
        expect({kCmdProgramStore,
                -1,
                m_options.program,
                -1,
                -1,
                {kCmdProgramStore},
                false,
                "the store of program " + program},
               kCommandBackstop);
        return;
    case Command::ProgramRename: {
        char* entry = s.programNames[m_options.program];
        std::memset(entry, 0, kProgramNameSize);
        std::memcpy(entry, m_options.name.data(), m_options.name.size());
        s.system.bytes[kCurrentProgramByte] = static_cast<uint8_t>(m_options.program);
        expect({kCmdParamWrite,
                kKindProgramName,
                m_options.program,
                -1,
                -1,
                {kCmdAck},
                false,
                "the name of program " + program},
               kCommandBackstop);
        sendRename();
        return;
    }
    case Command::Meters:
        m_ticksLeft = kMeterBackstop;
        m_meterJson.beginObject().key("readings").beginArray();
        return;
    case Command::None:
    case Command::Curve:
        fail(2, "nothing to do");
        return;
    }
}

void CtlSession::startSet() {
    if (!channelPresent()) return;
    CoreState& s = *m_state;
    bool changed = false;
    std::string rule;
    const std::string label = FieldTable::ChannelName(m_channel) + " " + FieldTable::FieldName(m_field);
    if (!FieldTable::Apply(s.image, m_channel, m_field, m_entry, changed, rule)) {
        fail(2, std::string(DataOutOfRangeText(0)) + ": " + label + " " + rule + ", got '" + m_options.value +
                    "'");
        return;
    }
    // What was written, kept for the confirmation: a late image reply may still replace the image.
    m_setShown = label + " " + FieldTable::Read(s.image, m_channel, m_field).text;
    if (!changed) {
        succeed(m_setShown + " (unchanged, nothing sent)\n");
        return;
    }
    // No link groups: the edited channel alone is written (each connection starts without links).
    const uint8_t index = FieldTable::ParamIndex(m_channel, m_field);
    QueueParamWrite(s, m_channel.kind, static_cast<uint8_t>(m_channel.index), index);
    expect({kCmdParamWrite,
            m_channel.kind,
            0,
            m_channel.index,
            index,
            {kCmdAck},
            false,
            "the write of " + label},
           kCommandBackstop);
}

void CtlSession::sendRename() {
    uint8_t name[kProgramNameChars];
    std::memcpy(name, m_state->programNames[m_options.program], kProgramNameChars);
    name[kProgramNameChars - 1] = 0;
    ++m_renameSends;
    m_renameTicks = 0;
    SendProgramName(*m_state, static_cast<uint8_t>(m_options.program), name);
}

void CtlSession::checkCommand(bool tick) {
    const CommandScheduler& q = m_state->scheduler;
    switch (m_options.command) {
    case Command::Meters:
        if (tick && --m_ticksLeft <= 0)
            fail(1, "the processor sent no meter reading within " + Seconds(kMeterBackstop));
        return;
    case Command::ProgramRename:
        if (m_await.answered) {
            succeed("program " + std::to_string(m_options.program) + " \"" +
                    ProcessorInfo::Printable(ProcessorInfo::ProgramName(*m_state, m_options.program)) +
                    "\"\n");
            return;
        }
        if (tick && ++m_renameTicks >= kRenameRetryTicks) {
            if (m_renameSends >= kRenameSends) {
                fail(1, "the processor did not acknowledge " + m_await.what + " (sent " +
                            std::to_string(kRenameSends) + " times)");
                return;
            }
            sendRename();
        }
        break;
    case Command::Load:
    case Command::Set:
    case Command::ProgramLoad:
    case Command::ProgramStore:
        if (m_await.answered && q.state == SchedState::Idle) {
            switch (m_options.command) {
            case Command::Load:
                succeed("Importing data completed\n");
                break;
            case Command::ProgramLoad:
                succeed("Load successful\n");
                break;
            case Command::ProgramStore:
                succeed("Save successful\n");
                break;
            default:
                succeed(m_setShown + "\n");
                break;
            }
            return;
        }
        if (q.state == SchedState::GiveUp) {
            fail(1, "the processor did not acknowledge " + m_await.what + " (sent 4 times)");
            return;
        }
        break;
    default:
        return;
    }
    if (tick && --m_ticksLeft <= 0)
        fail(1, "the processor did not answer " + m_await.what + " within " + Seconds(kCommandBackstop));
}

void CtlSession::onMeterReading() {
    ++m_meterReadings;
    m_ticksLeft = kMeterBackstop;
    if (m_options.json)
        MeterReport::Json(m_meterJson, m_state->meterLevels, m_state->deviceConfig);
    else
        m_out << MeterReport::Text(m_state->meterLevels, m_state->deviceConfig) << "\n" << std::flush;
    if (m_meterReadings < m_options.count) return;
    if (m_options.json) {
        m_meterJson.endArray().endObject();
        succeed(m_meterJson.str() + "\n");
    } else {
        succeed();
    }
}

void CtlSession::onFrameSent(const uint8_t* frame, size_t size) {
    if (m_options.trace) m_trace.sent(frame, size);
    if (size < static_cast<size_t>(kFrameHeader)) return;
    if (m_stage == Stage::Handshake || m_stage == Stage::ImageRead) {
        if (frame[kFrameCommand] == kCmdHandshake) ++m_handshakesSent;
        if (frame[kFrameCommand] == kCmdProgramLoad && frame[kFrameP2] == 0) ++m_imageReadsSent;
    }
    if (m_stage != Stage::Command || m_await.command == 0) return;
    const auto match = [&](int at, int want) { return want < 0 || frame[at] == want; };
    if (frame[kFrameCommand] == m_await.command && match(kFrameP1, m_await.p1) &&
        match(kFrameP2, m_await.p2) && match(kFrameP3, m_await.p3) && match(kFrameP4, m_await.p4))
        m_await.sent = true;
}

void CtlSession::onFrameReceived(const uint8_t* frame, size_t size) {
    if (m_options.trace) m_trace.received(frame, size);
    if (size < static_cast<size_t>(kFrameHeader)) return;
    const uint8_t command = frame[kFrameCommand];
    const size_t length = frame[kFrameLengthLow] | (frame[kFrameLengthHigh] << 8);
    if (command == kCmdHeartbeat) m_meterArrived = true;
    if (command == kCmdHandshake && frame[kFrameP1] == kHandshakeAsk) ++m_handshakeReplies;
    if (command == kCmdProgramLoad && length == kImageSize) {
        ++m_imageReplies;
        m_stragglerTicks = 0;
    }
    if (!m_await.sent || m_await.answered) return;
    bool wanted = false;
    for (uint8_t r : m_await.replies) wanted = wanted || r == command;
    if (wanted && (!m_await.wholeImage || length == kImageSize)) m_await.answered = true;
}

// An image that arrives while a set is under way (a straggler of the connection) replaced the edited
// value the write is sent from; the edit is put back, so a write still to go out carries it.
void CtlSession::onImageReplaced() {
    if (m_stage != Stage::Command || m_options.command != Command::Set || m_setShown.empty()) return;
    bool changed = false;
    std::string rule;
    FieldTable::Apply(m_state->image, m_channel, m_field, m_entry, changed, rule);
}

void CtlSession::onLinkLost() {
    fail(1, "link lost: nothing received from the processor for 6 seconds while waiting for " + waitingFor());
}

std::string CtlSession::waitingFor() const {
    switch (m_stage) {
    case Stage::Prepared:
    case Stage::Opening:
        return "the connection";
    case Stage::Handshake:
        return "the answer to the handshake";
    case Stage::ImageRead:
        return "the whole image (read at connection)";
    case Stage::Command:
        if (m_options.command == Command::Meters) return "meter readings";
        if (!m_await.what.empty()) return "the answer to " + m_await.what;
        return "the processor";
    case Stage::Done:
        break;
    }
    return "the processor";
}

void CtlSession::succeed(const std::string& output) {
    if (m_finished) return;
    m_out << output << std::flush;
    finish(0);
}

void CtlSession::fail(int code, const std::string& message) {
    if (m_finished) return;
    m_err << "velmarctl: " << message << "\n" << std::flush;
    finish(code);
}

void CtlSession::finish(int code) {
    if (m_finished) return;
    m_finished = true;
    m_exitCode = code;
    m_stage = Stage::Done;
    m_tick.stop();
    // The loop ends after the current call has returned: the link is closed by run(), never from inside
    // one of its own notifications.
    if (m_loop) QTimer::singleShot(0, m_loop, &QEventLoop::quit);
}

} // namespace velmar::ctl
