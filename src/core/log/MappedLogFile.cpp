#include "core/log/MappedLogFile.h"

#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mappings that a bus error may hit. The signal handler reads this table while other threads
// add and remove entries, so every field is an atomic and a slot is claimed before it is filled.
struct Slot
{
    std::atomic<bool> used { false };
    std::atomic<quintptr> begin { 0 };
    std::atomic<quintptr> end { 0 }; // rounded up to a whole page
    std::atomic<bool> shrunk { false };
};

constexpr int kSlotCount = 256;
Slot g_mappings[kSlotCount];
quintptr g_pageSize = 4096;
struct sigaction g_previousAction;

// A read of a page that the file no longer reaches: the rest of the mapping becomes zero pages
// and the read is repeated. mmap is a plain system call on the systems we run on, so it may be
// used here although POSIX does not list it as safe in a signal handler.
void onBusError(int, siginfo_t* info, void*)
{
    const auto address = reinterpret_cast<quintptr>(info->si_addr);
    for (Slot& slot : g_mappings) {
        const quintptr begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin)
            continue;
        const quintptr end = slot.end.load(std::memory_order_acquire);
        if (address >= end)
            continue;
        const quintptr page = address & ~(g_pageSize - 1);
        void* zeros = mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED)
            break;
        slot.shrunk.store(true, std::memory_order_relaxed);
        return;
    }
    // Not one of ours: the repeated access meets whatever handled bus errors before.
    sigaction(SIGBUS, &g_previousAction, nullptr);
}

void installHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_pageSize = static_cast<quintptr>(sysconf(_SC_PAGESIZE));
        struct sigaction action = {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &g_previousAction);
    });
}

int claimSlot(const char* data, qint64 length)
{
    installHandler();
    for (int i = 0; i < kSlotCount; ++i) {
        bool expected = false;
        if (!g_mappings[i].used.compare_exchange_strong(expected, true))
            continue;
        const auto begin = reinterpret_cast<quintptr>(data);
        g_mappings[i].shrunk.store(false, std::memory_order_relaxed);
        g_mappings[i].end.store((begin + static_cast<quintptr>(length) + g_pageSize - 1) & ~(g_pageSize - 1),
            std::memory_order_release);
        g_mappings[i].begin.store(begin, std::memory_order_release);
        return i;
    }
    return -1;
}

void releaseSlot(int i)
{
    g_mappings[i].begin.store(0, std::memory_order_release);
    g_mappings[i].end.store(0, std::memory_order_release);
    g_mappings[i].used.store(false, std::memory_order_release);
}

} // namespace

MappedLogFile::~MappedLogFile()
{
    Close();
}

bool MappedLogFile::Open(const QString& path, QString* error)
{
    Close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 could not be opened: %2").arg(path, m_file.errorString());
        return false;
    }
    const qint64 length = m_file.size();
    if (length == 0)
        return true;
    uchar* data = m_file.map(0, length);
    if (!data) {
        *error = QStringLiteral("%1 could not be read: %2").arg(path, m_file.errorString());
        m_file.close();
        return false;
    }
    m_slot = claimSlot(reinterpret_cast<const char*>(data), length);
    if (m_slot < 0) {
        m_file.unmap(data);
        m_file.close();
        *error = QStringLiteral("%1 could not be read: too many logs are open at once.").arg(path);
        return false;
    }
    m_data = reinterpret_cast<const char*>(data);
    m_length = length;
    return true;
}

void MappedLogFile::Close()
{
    if (m_data) {
        // The slot goes first: once the pages are gone, a fault there is no longer ours.
        releaseSlot(m_slot);
        m_file.unmap(reinterpret_cast<uchar*>(const_cast<char*>(m_data)));
    }
    m_slot = -1;
    m_data = nullptr;
    m_length = 0;
    m_file.close();
}

bool MappedLogFile::Shrunk() const
{
    return m_slot >= 0 && g_mappings[m_slot].shrunk.load(std::memory_order_relaxed);
}

qint64 MappedLogFile::CurrentLength() const
{
    struct stat status;
    if (!m_file.isOpen() || fstat(m_file.handle(), &status) != 0)
        return m_length;
    return qMin<qint64>(m_length, status.st_size);
}
