// One velmarctl run: link, handshake, image read, the command, the exit code.
#include "ctl/CtlSession.h"

#include "core/CoreMessages.h"
#include "core/DeviceConfigTable.h"
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ImageCompare.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "core/Verify.h"
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
#include <set>

namespace velmar::ctl {

namespace {

// Backstops, in ticks, behind the protocol's own retries and the link supervision: a line that keeps
// delivering noise resets the supervision's silence counter, and must still not hold velmarctl for ever.
// At connection the core's own retries decide: the handshake goes out six times 1.6 s apart (given up
// after about 9.7 s), the read of the image four times a reply wait apart (1.1 s on TCP and USB, 2 s on
// serial), and velmarctl asks for that read once more when the core gave it up. The backstops lie
// beyond both.
constexpr int kHandshakeBackstop = 130;
constexpr int kImageReadBackstop = 250;
constexpr int kImageReadSends = 8;
constexpr int kCommandBackstop = 150;
// set: the writes, a verify read, and up to three rounds of repair, each a quiet second and a read.
constexpr int kConfirmBackstop = 300;
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
    if (m_options.noVerify) m_state->verify.settings.periodTicks = 0;
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

namespace {

std::string RefusedText(const std::string& label, const std::string& rule, const std::string& value) {
    return std::string(DataOutOfRangeText(0)) + ": " + label + " " + rule + ", got '" + value + "'";
}

} // namespace

// Everything that can be judged without the processor is judged before a link is opened.
int CtlSession::prepare() {
    auto usage = [this](const std::string& message) {
        m_err << "velmarctl: " << message << "\n";
        return 2;
    };
    if (m_options.command == Command::Get || m_options.command == Command::Set) {
        std::vector<FieldSetting> settings = m_options.settings;
        if (settings.empty()) settings.push_back({m_options.channel, m_options.field, m_options.value});
        if (m_options.command == Command::Get) settings.resize(1);
        // Every triple is judged before the link opens: one refused value and nothing is sent.
        for (const FieldSetting& setting : settings) {
            const auto channel = FieldTable::ParseChannel(setting.channel);
            if (!channel) return usage("unknown channel '" + setting.channel + "' (inA..inD, out1..out8)");
            std::string error;
            const auto field = FieldTable::ParseField(setting.field, *channel, error);
            if (!field) return usage(error);
            Edit edit;
            edit.channel = *channel;
            edit.field = *field;
            edit.value = setting.value;
            edit.label = FieldTable::ChannelName(*channel) + " " + FieldTable::FieldName(*field);
            if (m_options.command == Command::Set) {
                std::string rule;
                const auto entry = FieldTable::ParseEntry(*channel, *field, setting.value, rule);
                if (!entry) return usage(RefusedText(edit.label, rule, setting.value));
                edit.entry = *entry;
            }
            m_edits.push_back(std::move(edit));
        }
        m_channel = m_edits[0].channel;
        m_field = m_edits[0].field;
        if (m_options.command == Command::Get) m_edits.clear();
    }
    if (m_options.command == Command::Load || m_options.command == Command::Diff) {
        m_fileImage = std::make_unique<DeviceImage>();
        std::string error;
        uint64_t extra = 0;
        if (!ProgramFile::Read(m_options.file, *m_fileImage, error, &extra)) {
            m_err << "velmarctl: MusicFile read Error: " << m_options.file << ": " << error << "\n";
            // For diff, 1 means "different": a file that is no program file is a usage error there.
            return m_options.command == Command::Diff ? 2 : 1;
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
    h.event = [this](CoreEvent event, int value) { onCoreEvent(event, value); };
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
    // The core asks for the image for as long as the link lives: velmarctl stops before a ninth read.
    const CommandScheduler& q = m_state->scheduler;
    if (m_stage == Stage::ImageRead && m_state->linkConfirmed != 2 && m_imageReadsSent >= kImageReadSends &&
        q.state == SchedState::ProgramLoad && !q.sent) {
        fail(1, "the processor did not send the whole image (asked " + std::to_string(kImageReadSends) + " times)");
        return;
    }
    // The application's two 100 ms timers, in one: the scheduler's and the link supervision's. Until
    // the image is read, the core's retries of the handshake and of the read bound the wait, and they
    // outlast the supervision's six silent seconds: a few lost replies in a row must not end the link.
    SchedulerTick(*m_state);
    if (m_stage != Stage::Handshake && m_stage != Stage::ImageRead) LinkSupervisionTick(*m_state);
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
            fail(1, "the processor did not answer the handshake (sent " + std::to_string(m_handshakesSent) +
                        " times to device address " + std::to_string(m_options.address) + ")");
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
//
// Only the commands that write wait: a command that just reads the image is done before a straggler
// could change anything, and a late image is only compared by the core, never put in place of ours.
bool CtlSession::connectionSettled(bool tick) {
    switch (m_options.command) {
    case Command::Info:
    case Command::Dump:
    case Command::Get:
    case Command::Diff:
    case Command::Meters:
        return true;
    default:
        break;
    }
    const bool outstanding = m_handshakeReplies < m_handshakesSent || m_imageReplies < m_imageReadsSent;
    if (!outstanding) return true;
    if (tick) ++m_stragglerTicks;
    return m_stragglerTicks >= kStragglerTicks;
}

bool CtlSession::channelPresent(ChannelRef channel) {
    const int inputs = DeviceConfigInputCount(m_state->deviceConfig);
    const int outputs = DeviceConfigOutputCount(m_state->deviceConfig);
    const bool input = channel.kind == kKindInput;
    if (channel.index < (input ? inputs : outputs)) return true;
    fail(2, FieldTable::ChannelName(channel) + ": this processor has " + std::to_string(inputs) +
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
        if (!channelPresent(m_channel)) return;
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
    case Command::Diff:
        startDiff();
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
    for (const Edit& edit : m_edits)
        if (!channelPresent(edit.channel)) return;
    if (!applyEdits(true)) return;
    if (m_editsQueued) {
        m_ticksLeft = kConfirmBackstop;
        return;
    }
    std::string lines;
    for (const Edit& edit : m_edits) lines += edit.shown + " (unchanged, nothing sent)\n";
    succeed(lines);
}

// The triples go into a copy of the image in the order given, so a later one is judged against the
// values of the earlier ones (a high-pass against the low-pass just set). Only when every one is taken
// does the copy become the image and its changed units go to the scheduler; refused (`refuse`), nothing
// is sent. Applied again after a late connection image, a value the processor holds already sends
// nothing.
bool CtlSession::applyEdits(bool refuse) {
    CoreState& s = *m_state;
    DeviceImage edited = s.image;
    for (Edit& edit : m_edits) {
        bool changed = false;
        std::string rule;
        if (!FieldTable::Apply(edited, edit.channel, edit.field, edit.entry, changed, rule)) {
            if (!refuse) continue;
            fail(2, RefusedText(edit.label, rule, edit.value));
            return false;
        }
        if (refuse) {
            edit.changed = changed;
            edit.shown = edit.label + " " + FieldTable::Read(edited, edit.channel, edit.field).text;
        }
    }
    std::set<std::pair<int, int>> units; // (verify unit index, parameter index): each unit written once
    for (const Edit& edit : m_edits) {
        const int param = FieldTable::ParamIndex(edit.channel, edit.field);
        if (DifferingFields(s.image, edited, edit.channel.kind, edit.channel.index, param) > 0)
            units.insert({UnitIndex(edit.channel.kind, edit.channel.index, param), param});
    }
    s.image = edited;
    // No link groups: the edited channels alone are written (each connection starts without links).
    for (const Edit& edit : m_edits) {
        const int param = FieldTable::ParamIndex(edit.channel, edit.field);
        const auto unit = units.find({UnitIndex(edit.channel.kind, edit.channel.index, param), param});
        if (unit == units.end()) continue;
        units.erase(unit);
        QueueParamWrite(s, edit.channel.kind, static_cast<uint8_t>(edit.channel.index),
                        static_cast<uint8_t>(param));
        m_editsQueued = true;
    }
    m_verifyAsked = false;
    return true;
}

// set succeeds only on a verify read that shows every written unit in the processor. Once the writes
// are acknowledged the read is asked for at once rather than after the core's quiet second; lost
// replies and repairs are the core's (verify and repair), which reports Unconfirmed after its rounds.
void CtlSession::checkSet(bool tick) {
    CoreState& s = *m_state;
    if (m_reapply) {
        m_reapply = false;
        applyEdits(false);
    }
    if (s.verify.status == SyncStatus::Unconfirmed) {
        reportUnconfirmed("after " + std::to_string(s.verify.settings.maxRounds) + " rounds of repair");
        return;
    }
    const bool writesDone = s.scheduler.state == SchedState::Idle && !AnyDirty(s);
    if (writesDone && VerifyAgreed(s)) {
        std::string lines;
        for (const Edit& edit : m_edits)
            lines += edit.shown + (edit.changed ? "\n" : " (unchanged, nothing sent)\n");
        succeed(lines);
        return;
    }
    if (writesDone && !m_verifyAsked && !s.verify.onWire) {
        RequestVerify(s);
        m_verifyAsked = true;
    }
    if (tick && --m_ticksLeft <= 0) reportUnconfirmed("within " + Seconds(kConfirmBackstop));
}

// The triples whose unit the processor has not been seen to hold, each as "channel field, the
// processor's value at the last verify read, ours".
void CtlSession::reportUnconfirmed(const std::string& why) {
    const CoreState& s = *m_state;
    std::string lines;
    int count = 0;
    std::set<std::string> listed;
    for (const Edit& edit : m_edits) {
        const int param = FieldTable::ParamIndex(edit.channel, edit.field);
        const int unit = UnitIndex(edit.channel.kind, edit.channel.index, param);
        if (unit < 0 || !s.verify.written[unit] || !listed.insert(edit.label).second) continue;
        ++count;
        lines += edit.label + " " + FieldTable::Read(s.verify.device, edit.channel, edit.field).text +
                 " ours " + FieldTable::Read(s.image, edit.channel, edit.field).text + "\n";
    }
    fail(1,
         std::to_string(count) + " not confirmed " + why + " (the processor's value, then ours):\n" + lines);
}

// The processor's image as read at connection against the file as load would send it (values outside
// their scale as the processor keeps them), in the channels the processor has.
void CtlSession::startDiff() {
    DeviceImage file = *m_fileImage;
    ClampImage(file);
    const int inputs = DeviceConfigInputCount(m_state->deviceConfig);
    const int outputs = DeviceConfigOutputCount(m_state->deviceConfig);
    JsonWriter json;
    json.beginArray();
    std::string text;
    int count = 0;
    for (const FieldDifference& d : CompareImages(m_state->image, file)) {
        if (d.channel.index >= (d.channel.kind == kKindInput ? inputs : outputs)) continue;
        ++count;
        const std::string channel = FieldTable::ChannelName(d.channel);
        const std::string field = FieldTable::FieldName(d.field);
        text += channel + " " + field + " " + d.first + " file " + d.second + "\n";
        json.beginObject();
        json.key("channel").value(channel);
        json.key("field").value(field);
        json.key("device").value(d.first);
        json.key("file").value(d.second);
        json.endObject();
    }
    json.endArray();
    succeed(m_options.json ? json.str() + "\n" : text, count > 0 ? 1 : 0);
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
    case Command::Set:
        checkSet(tick);
        return;
    case Command::ProgramStore:
        if (m_storeFailed) {
            fail(1, "the processor did not store program " + std::to_string(m_options.program) +
                        " (its image was not read back in agreement, or the store was not answered)");
            return;
        }
        [[fallthrough]];
    case Command::Load:
    case Command::ProgramLoad:
        if (m_await.answered && q.state == SchedState::Idle) {
            switch (m_options.command) {
            case Command::Load:
                succeed("Importing data completed\n");
                break;
            case Command::ProgramLoad:
                succeed("Load successful\n");
                break;
            default:
                succeed("Save successful\n");
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
// values and cleared the core's record of the writes: the edits are applied again on the way out of the
// core's call, so what the processor lacks is written and verified again.
void CtlSession::onImageReplaced() {
    if (m_stage == Stage::Command && m_options.command == Command::Set && m_editsQueued) m_reapply = true;
}

// Hooks must not call back into the core: the results are noted and acted on after its call returns.
void CtlSession::onCoreEvent(CoreEvent event, int) {
    if (event == CoreEvent::StoreFailed && m_stage == Stage::Command &&
        m_options.command == Command::ProgramStore)
        m_storeFailed = true;
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
        if (m_options.command == Command::Set) {
            std::string labels;
            for (const Edit& edit : m_edits) labels += (labels.empty() ? "" : ", ") + edit.label;
            return "the read-back of " + labels;
        }
        if (!m_await.what.empty()) return "the answer to " + m_await.what;
        return "the processor";
    case Stage::Done:
        break;
    }
    return "the processor";
}

void CtlSession::succeed(const std::string& output, int code) {
    if (m_finished) return;
    m_out << output << std::flush;
    finish(code);
}

void CtlSession::fail(int code, const std::string& message) {
    if (m_finished) return;
    // diff's 1 says "different": a run that could not compare says so with 3.
    if (m_options.command == Command::Diff && code == 1) code = 3;
    m_err << "velmarctl: " << message << (message.ends_with('\n') ? "" : "\n") << std::flush;
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
