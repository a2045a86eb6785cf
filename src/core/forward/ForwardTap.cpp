#include "core/forward/ForwardTap.h"

#include "core/receive/PortReceiver.h"
#include "core/serial/ModemLines.h"

#include <chrono>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t ToMs(std::int64_t ns)
{
    return ns / 1000000;
}

std::int64_t ToUs(std::int64_t ns)
{
    return ns / 1000;
}
} // namespace

ForwardTap::ForwardTap()
{
    for (int& fd : m_cutFds)
        fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ForwardTap::~ForwardTap()
{
    for (int fd : m_cutFds)
        if (fd >= 0)
            close(fd);
}

bool ForwardTap::TakeCut(unsigned port, std::int64_t firstNs)
{
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < 2; ++i) {
        if (m_sides[i].m_port != static_cast<int>(port))
            continue;
        std::uint64_t pending = 0;
        (void)!read(m_cutFds[i], &pending, sizeof pending);
        const bool meant = m_sides[i].m_cutFirstNs != 0 && m_sides[i].m_cutFirstNs == firstNs;
        m_sides[i].m_cutFirstNs = 0;
        return meant;
    }
    return false;
}

ForwardTap::Side* ForwardTap::SideOf(unsigned port)
{
    for (Side& side : m_sides)
        if (side.m_port == static_cast<int>(port))
            return &side;
    return nullptr;
}

const ForwardTap::Side* ForwardTap::SideOf(unsigned port) const
{
    for (const Side& side : m_sides)
        if (side.m_port == static_cast<int>(port))
            return &side;
    return nullptr;
}

void ForwardTap::WaitForWrites(std::unique_lock<std::mutex>& lock)
{
    m_writeDone.wait(lock, [this] { return !m_sides[0].m_writing && !m_sides[1].m_writing; });
}

void ForwardTap::SetPair(bool enable, int portA, int portB, bool lines, const EarlierBytes& earlier)
{
    std::unique_lock order(m_deliverMutex);
    std::unique_lock lock(m_mutex);
    WaitForWrites(lock);
    enable = enable && portA >= 0 && portB >= 0 && portA != portB;
    ReleaseAllParked();
    for (Side& old : m_sides)
        if (old.m_breakEndNs != 0 && old.m_record && old.m_record->Lines())
            old.m_record->Lines()->SetBreak(false);
    // A port that stays in the pair keeps what waits for it (the program's own sends too);
    // a port that leaves it is written by the program directly again.
    Side fresh[2];
    const int ports[2] = {enable ? portA : -1, enable ? portB : -1};
    for (int i = 0; i < 2; ++i) {
        fresh[i].m_port = ports[i];
        bool stays = false;
        for (Side& old : m_sides)
            if (old.m_port >= 0 && old.m_port == ports[i]) {
                fresh[i].m_record = old.m_record;
                fresh[i].m_toPort = std::move(old.m_toPort);
                fresh[i].m_progressNs = old.m_progressNs;
                stays = true;
            }
        if (!stays && ports[i] >= 0 && earlier) {
            const std::vector<std::uint8_t> bytes = earlier(static_cast<unsigned>(ports[i]));
            fresh[i].m_toPort.AppendAlways(bytes.data(), bytes.size());
            fresh[i].m_progressNs = NowNs();
        }
    }
    // Records of ports outside the pair stay known: they may join it later.
    for (Side& old : m_sides)
        if (old.m_record && old.m_port != ports[0] && old.m_port != ports[1])
            m_spare.push_back({static_cast<unsigned>(old.m_port), old.m_record});
    for (int i = 0; i < 2; ++i) {
        m_sides[i] = std::move(fresh[i]);
        if (m_sides[i].m_port < 0 || m_sides[i].m_record)
            continue;
        for (auto it = m_spare.begin(); it != m_spare.end(); ++it)
            if (static_cast<int>(it->first) == m_sides[i].m_port) {
                m_sides[i].m_record = it->second;
                m_spare.erase(it);
                break;
            }
    }
    m_enabled = enable;
    m_lines = enable && lines;
    PublishPair();
}

// Under the lock, whenever the pair or a record of it changes.
void ForwardTap::PublishPair()
{
    for (int i = 0; i < 2; ++i) {
        const Side& side = m_sides[i];
        m_pairNow[i].store(m_enabled && side.m_port >= 0 ? side.m_port : -1);
        m_openNow[i].store(side.m_record != nullptr);
    }
}

int ForwardTap::SideNow(unsigned port) const
{
    for (int i = 0; i < 2; ++i)
        if (m_pairNow[i].load() == static_cast<int>(port))
            return i;
    return -1;
}

bool ForwardTap::InPair(unsigned port) const
{
    return SideNow(port) >= 0;
}

int ForwardTap::OpenPartnerOf(unsigned port) const
{
    const int i = SideNow(port);
    return i >= 0 && m_openNow[1 - i].load() ? m_pairNow[1 - i].load() : -1;
}

bool ForwardTap::IsEnabled() const
{
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

bool ForwardTap::LinesForwarded() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

int ForwardTap::PartnerOf(unsigned port) const
{
    const int i = SideNow(port);
    return i >= 0 ? m_pairNow[1 - i].load() : -1;
}

void ForwardTap::Attach(unsigned port, ForwardEnd* record)
{
    std::lock_guard lock(m_mutex);
    if (Side* side = SideOf(port)) {
        side->m_record = record;
        PublishPair();
        return;
    }
    for (auto& [number, known] : m_spare)
        if (number == port) {
            known = record;
            return;
        }
    m_spare.push_back({port, record});
}

void ForwardTap::Detach(unsigned port, const ForwardEnd* record)
{
    std::unique_lock order(m_deliverMutex);
    std::unique_lock lock(m_mutex);
    // The device is closed after this: no write to it may be under way.
    m_writeDone.wait(lock, [this, port] {
        const Side* side = SideOf(port);
        return !side || !side->m_writing;
    });
    for (auto it = m_spare.begin(); it != m_spare.end(); ++it)
        if (it->first == port && it->second == record) {
            m_spare.erase(it);
            break;
        }
    Side* side = SideOf(port);
    if (!side || side->m_record != record)
        return;
    side->m_record = nullptr;
    PublishPair();
    side->m_toPort.Clear();
    // Its worker delivers nothing more: what the partner kept back for it goes now.
    side->m_collecting = false;
    ReleaseParked(Other(*side));
    side->m_haveLines = false;
    side->m_haveBreaks = false;
    side->m_breakEndNs = 0;
}

// Under the lock. A port that refuses bytes (closed, its line failed, its server gone) drops
// them, as a closed target does.
void ForwardTap::FlushTo(Side& side)
{
    // A write under way goes first; its writer flushes the rest when it is done.
    if (side.m_toPort.IsEmpty() || side.m_writing)
        return;
    if (!side.m_record) {
        side.m_toPort.Clear();
        return;
    }
    ForwardEnd* record = side.m_record;
    const std::ptrdiff_t written =
        side.m_toPort.Flush([record](const std::uint8_t* bytes, std::size_t count) {
            return record->WriteSome(bytes, count);
        });
    if (written != 0)
        side.m_progressNs = NowNs();
}

void ForwardTap::OnRead(unsigned port, const std::uint8_t* bytes, std::size_t count,
                        std::int64_t readNs, bool first)
{
    std::unique_lock lock(m_mutex);
    Side* side = m_enabled ? SideOf(port) : nullptr;
    if (!side)
        return;
    Side& to = Other(*side);
    if (first && side->m_record) {
        side->m_collecting = true;
        side->m_firstNs = readNs;
        // The other port was collecting: its message ends here, before this one.
        if (to.m_collecting && to.m_firstNs <= readNs && to.m_cutFirstNs != to.m_firstNs) {
            to.m_cutFirstNs = to.m_firstNs;
            const std::uint64_t one = 1;
            (void)!write(m_cutFds[&to == &m_sides[0] ? 0 : 1], &one, sizeof one);
        }
    }
    if (!to.m_record || count == 0)
        return;
    if (to.m_toPort.IsEmpty() && !to.m_writing) {
        // Nothing waits: straight out, without a copy into the queue and without the lock.
        // Meanwhile the pair cannot change nor the port close (both wait for m_writing), and
        // the program's own sends queue up behind.
        ForwardEnd* record = to.m_record;
        to.m_writing = true;
        lock.unlock();
        const std::ptrdiff_t written = record->WriteSome(bytes, count);
        lock.lock();
        to.m_writing = false;
        to.m_progressNs = NowNs();
        // A port that refuses bytes drops them, as a closed one.
        if (written >= 0 && static_cast<std::size_t>(written) < count)
            to.m_toPort.Prepend(bytes + written, count - static_cast<std::size_t>(written));
        FlushTo(to);
        m_writeDone.notify_all();
        return;
    }
    // Never dropped at the limit: the source is held while anything waits, so at most one
    // read (SerialPort::kReadBuffer, 8192 bytes) joins what the program queued.
    to.m_toPort.AppendAlways(bytes, count);
    FlushTo(to);
}

ForwardTap::ReadWait ForwardTap::BeforeRead(unsigned port) const
{
    std::lock_guard lock(m_mutex);
    ReadWait wait;
    const Side* side = m_enabled ? SideOf(port) : nullptr;
    if (!side)
        return wait;
    const Side& to = Other(*side);
    if (to.m_record && !to.m_toPort.IsEmpty()) {
        wait.m_hold = true;
        wait.m_holdFd = to.m_record->WriteFd();
    }
    wait.m_cutFd = m_cutFds[side == &m_sides[0] ? 0 : 1];
    wait.m_linesMs = m_lines ? kLinePollMs : 0;
    return wait;
}

bool ForwardTap::IsHolding(unsigned port) const
{
    return BeforeRead(port).m_hold;
}

void ForwardTap::PumpFrom(unsigned port)
{
    std::lock_guard lock(m_mutex);
    if (Side* side = m_enabled ? SideOf(port) : nullptr)
        FlushTo(Other(*side));
}

void ForwardTap::Pump(unsigned port)
{
    std::lock_guard lock(m_mutex);
    if (Side* side = SideOf(port))
        FlushTo(*side);
}

bool ForwardTap::Send(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard lock(m_mutex);
    Side* side = SideOf(port);
    if (!side || !side->m_record)
        return false;
    if (side->m_toPort.IsEmpty())
        side->m_progressNs = NowNs();
    if (!side->m_toPort.Append(bytes, count))
        return false;
    FlushTo(*side);
    return true;
}

std::size_t ForwardTap::Waiting(unsigned port) const
{
    std::lock_guard lock(m_mutex);
    const Side* side = SideOf(port);
    return side ? side->m_toPort.Waiting() : 0;
}

std::int64_t ForwardTap::StalledMs(unsigned port) const
{
    std::lock_guard lock(m_mutex);
    const Side* side = SideOf(port);
    if (!side || side->m_toPort.IsEmpty())
        return 0;
    return ToMs(NowNs() - side->m_progressNs);
}

void ForwardTap::Deliver(unsigned port, std::vector<std::uint8_t> bytes, std::int64_t firstNs,
                         PortReceiver* receiver)
{
    // Messages are handed on in the order decided under m_mutex but not with it held: a
    // hand-over may wait for the window (past ReceiveInbox::kForwardCapacity unshown bytes),
    // and the window thread takes m_mutex (the forwarding note, the program's own sends), so
    // that each would wait for the other until the inbox gave up waiting.
    std::unique_lock order(m_deliverMutex);
    std::unique_lock lock(m_mutex);
    Side* side = SideOf(port);
    if (!side) {
        // Outside the pair the window may hold the worker back, and the pair must not wait
        // for that.
        lock.unlock();
        order.unlock();
        receiver->OnPortMessage(port, std::move(bytes), ToUs(firstNs), false);
        return;
    }
    side->m_collecting = false;
    const Side& other = Other(*side);
    if (m_enabled && other.m_collecting && other.m_firstNs <= firstNs) {
        side->m_parked.push_back({port, std::move(bytes), firstNs, receiver});
        return;
    }
    std::deque<Parked> now = std::move(Other(*side).m_parked);
    Other(*side).m_parked.clear();
    now.push_front({port, std::move(bytes), firstNs, receiver});
    lock.unlock();
    // The worker of a pair port does not wait for the window below kForwardCapacity: the
    // wire would stop with it.
    for (Parked& parked : now)
        HandOn(parked);
}

void ForwardTap::HandOn(Parked& parked)
{
    parked.m_receiver->OnPortMessage(parked.m_port, std::move(parked.m_bytes),
                                     ToUs(parked.m_firstNs), true);
}

void ForwardTap::ReleaseParked(Side& side)
{
    while (!side.m_parked.empty()) {
        Parked parked = std::move(side.m_parked.front());
        side.m_parked.pop_front();
        HandOn(parked);
    }
}

void ForwardTap::ReleaseAllParked()
{
    // Oldest first across both sides.
    for (;;) {
        Side* next = nullptr;
        for (Side& side : m_sides)
            if (!side.m_parked.empty()
                && (!next || side.m_parked.front().m_firstNs < next->m_parked.front().m_firstNs))
                next = &side;
        if (!next)
            return;
        Parked parked = std::move(next->m_parked.front());
        next->m_parked.pop_front();
        HandOn(parked);
    }
}

void ForwardTap::PollLines(unsigned port, ModemLines* lines)
{
    std::lock_guard lock(m_mutex);
    Side* side = m_lines ? SideOf(port) : nullptr;
    if (!side || !lines)
        return;
    Side& to = Other(*side);
    ModemLines* out = to.m_record ? to.m_record->Lines() : nullptr;
    const std::int64_t now = NowNs();
    // A BREAK this side sent on behalf of the other ends here, without a worker sleeping in it.
    if (side->m_breakEndNs != 0 && now >= side->m_breakEndNs) {
        if (ModemLines* own = side->m_record ? side->m_record->Lines() : nullptr)
            own->SetBreak(false);
        side->m_breakEndNs = 0;
    }
    unsigned state = 0;
    if (lines->Get(state)) {
        const unsigned inputs = state & ModemLines::kInputs;
        if (out && (!side->m_haveLines || inputs != side->m_inputs)) {
            // Crossed as in a null-modem cable: what this side's device asserts towards the
            // program is asserted towards the other side's device.
            // Noted first, so that whoever sees the line sees the switch say so too.
            to.m_record->NoteOutputLine(ModemLines::kRts, (inputs & ModemLines::kCts) != 0);
            to.m_record->NoteOutputLine(ModemLines::kDtr, (inputs & ModemLines::kDsr) != 0);
            out->Set(ModemLines::kRts, (inputs & ModemLines::kCts) != 0);
            out->Set(ModemLines::kDtr, (inputs & ModemLines::kDsr) != 0);
        }
        side->m_haveLines = true;
        side->m_inputs = inputs;
    }
    std::uint32_t breaks = 0;
    if (lines->GetBreakCount(breaks)) {
        if (side->m_haveBreaks && breaks != side->m_breaks && out && out->SetBreak(true))
            to.m_breakEndNs = now + static_cast<std::int64_t>(kBreakMs) * 1000000;
        side->m_haveBreaks = true;
        side->m_breaks = breaks;
    }
}
