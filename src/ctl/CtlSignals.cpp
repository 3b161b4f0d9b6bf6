#include "ctl/CtlSignals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr size_t kWordsSize = 16384;  // 256 modules in progress, named
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Two copies of the texts: the handler reads the one `g_current` names
// while the other is being written.
struct LastWords {
    char onFirst[kWordsSize];
    size_t firstLength;
    char onSecond[kWordsSize];
    size_t secondLength;
};
LastWords g_words[2];
volatile sig_atomic_t g_current = 0;
volatile sig_atomic_t g_count = 0;
volatile sig_atomic_t g_first = 0;

// The --hosts-out list, laid out before the run so that the handler only
// reads it: the entries' text one after the other, each with its line feed,
// and a mark per entry.
struct HostsOut {
    std::string path;
    std::string temporary;
    std::string text;
    std::vector<size_t> ends;  // of each entry's line in `text`
    std::unique_ptr<volatile sig_atomic_t[]> marked;
};
HostsOut g_hostsOut;

bool WriteAll(int fd, const char* text, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(fd, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text += written;
        length -= size_t(written);
    }
    return true;
}

// The marked entries into a temporary file that takes the list's name once complete.
void WriteHostsOut()
{
    const HostsOut& out = g_hostsOut;
    if (out.path.empty())
        return;
    const int fd = open(out.temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    bool ok = true;
    for (size_t i = 0, begin = 0; i < out.ends.size() && ok; begin = out.ends[i++])
        if (out.marked[i])
            ok = WriteAll(fd, out.text.data() + begin, out.ends[i] - begin);
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(out.temporary.c_str(), out.path.c_str()) != 0)
        unlink(out.temporary.c_str());
}

void Handle(int number)
{
    const int saved = errno;
    if (g_count == 0)
        g_first = number;
    g_count = g_count + 1;
    const LastWords& words = g_words[g_current];
    if (g_count == 1) {
        WriteAll(STDERR_FILENO, words.onFirst, words.firstLength);
        errno = saved;
        return;
    }
    WriteAll(STDERR_FILENO, words.onSecond, words.secondLength);
    WriteHostsOut();
    _exit(128 + g_first);
}

size_t CopyCut(char* to, const std::string& text)
{
    const size_t length = std::min(text.size(), kWordsSize);
    memcpy(to, text.data(), length);
    return length;
}

}  // namespace

namespace CtlSignals {

void Install()
{
    struct sigaction action {};
    action.sa_handler = Handle;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        struct sigaction old {};
        if (sigaction(number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(number, &action, nullptr);
    }
}

int Count() { return g_count; }

int InterruptedStatus() { return 128 + g_first; }

void SetLastWords(const std::string& onFirst, const std::string& onSecond)
{
    const int next = 1 - g_current;
    LastWords& words = g_words[next];
    words.firstLength = CopyCut(words.onFirst, onFirst);
    words.secondLength = CopyCut(words.onSecond, onSecond);
    std::atomic_signal_fence(std::memory_order_seq_cst);  // the texts are complete before the handler may read them
    g_current = next;
}

void SetHostsOut(const std::string& path, const std::vector<std::string>& entries, bool marked)
{
    HostsOut out;
    out.path = path;
    out.temporary = path + ".stopped-" + std::to_string(getpid());
    for (const std::string& entry : entries) {
        out.text += entry + "\n";
        out.ends.push_back(out.text.size());
    }
    out.marked = std::make_unique<volatile sig_atomic_t[]>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        out.marked[i] = marked;
    // Set before the signals are caught; never changed while they are.
    g_hostsOut = std::move(out);
}

void MarkForHostsOut(size_t entry, bool marked)
{
    if (entry < g_hostsOut.ends.size())
        g_hostsOut.marked[entry] = marked;
}

}  // namespace CtlSignals
