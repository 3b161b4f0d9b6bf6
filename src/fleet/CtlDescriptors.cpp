#include "fleet/CtlDescriptors.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Files open now and then besides the sessions, one or two at a time, and
// the library's configuration files when it starts.
constexpr rlim_t kSpare = 6;
// About a minute of starts again, each after the pause before a batch.
constexpr int kMaxTries = 400;

rlim_t OpenNow()
{
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return 16;  // no /proc: a generous guess
    rlim_t count = 0;
    while (const dirent* entry = readdir(dir))
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count > 0 ? count - 1 : 0;  // not the directory's own
}

bool Exhausted()
{
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd >= 0)
        close(fd);
    return fd < 0 && (errno == EMFILE || errno == ENFILE);
}

}  // namespace

namespace CtlDescriptors {

int FitJobs(int jobs, int perJob, unsigned long& soft)
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return jobs;
    soft = limit.rlim_cur;
    const rlim_t base = OpenNow() + kSpare;
    const rlim_t wanted = base + rlim_t(jobs) * rlim_t(perJob);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
        soft = limit.rlim_cur;
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted)
        return jobs;
    return int(std::max<rlim_t>(1, (limit.rlim_cur > base ? limit.rlim_cur - base : 0) / rlim_t(perJob)));
}

bool StartAgain(int code, SessionRetry& retry)
{
    if (code != CSnmpRequest::kNoSession || retry.tries >= kMaxTries)
        return false;
    retry.unexplained = Exhausted() ? 0 : retry.unexplained + 1;
    if (retry.unexplained > 1)
        return false;
    ++retry.tries;
    return true;
}

void StartBatch(CSnmpRequest& request, bool set, QObject* context, CSnmpRequest::Done done, SessionRetry retry,
    std::function<void(bool slow)> waiting)
{
    request.Start(
        set,
        [&request, set, context, done, retry, waiting](int code) mutable {
            if (!StartAgain(code, retry))
                return done(code);
            // Not from within the batch's own call back: starting it again replaces its run.
            QMetaObject::invokeMethod(
                context,
                [&request, set, context, done, retry, waiting] {
                    StartBatch(request, set, context, done, retry, waiting);
                },
                Qt::QueuedConnection);
        },
        waiting);
}

}  // namespace CtlDescriptors
