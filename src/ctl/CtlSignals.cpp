#include "ctl/CtlSignals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t kWordsSize = 16384;  // 256 modules in progress, named

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

void Say(const char* text, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(STDERR_FILENO, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= size_t(written);
    }
}

void Handle(int number)
{
    const int saved = errno;
    if (g_count == 0)
        g_first = number;
    g_count = g_count + 1;
    const LastWords& words = g_words[g_current];
    if (g_count == 1) {
        Say(words.onFirst, words.firstLength);
        errno = saved;
        return;
    }
    Say(words.onSecond, words.secondLength);
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
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
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

}  // namespace CtlSignals
