// File data moved chunk by chunk on a POSIX host: through the kernel (copy_file_range) where it
// takes the two files, else by read and write, for the system copy and for the program's own
// copy (StepCopier), with the pairs of volumes that refused remembered for the files that follow.
#include "platform/last_error.h"
#include "platform/posix_io.h"
#include "platform/transfer_posix.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace detail {
namespace {

constexpr size_t BufferBytes = size_t{1} << 20;

// The answers of copy_file_range that mean "not between these two files" rather than a failure.
bool kernelCopyRefused(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// One read and the writes it takes: bytes copied, 0 at the source's end, -1 on failure.
int64_t readWriteOnce(int from, int to, int64_t want, bool& writeFailed) {
    thread_local std::unique_ptr<char[]> buffer(new char[BufferBytes]);
    size_t count = static_cast<size_t>(std::min<int64_t>(want, BufferBytes));
    ssize_t got;
    do {
        got = ::read(from, buffer.get(), count);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        int error = 0;
        if (writeFully(to, buffer.get(), got, error) != got) {
            errno = error != 0 ? error : ENOSPC; // a disk that takes no more answers 0
            writeFailed = true;
            return -1;
        }
    }
    return got;
}

// One call of the kernel's copy, repeated when interrupted.
ssize_t kernelCopyOnce(int from, int to, int64_t want) {
    ssize_t step;
    do {
        step = ::copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(want), 0);
    } while (step < 0 && errno == EINTR);
    return step;
}

} // namespace

bool RefusingVolumes::known(const std::optional<VolumePair>& volumes) {
    std::lock_guard lock(m_mutex);
    return volumes && m_pairs.count(*volumes) != 0;
}

void RefusingVolumes::add(const std::optional<VolumePair>& volumes) {
    std::lock_guard lock(m_mutex);
    if (volumes) {
        m_pairs.insert(*volumes);
    }
}

bool RefusingVolumes::anyInto(uint64_t dest) {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_pairs.begin(), m_pairs.end(),
                       [&](const VolumePair& pair) { return pair.dest == dest; });
}

RefusingVolumes& reflinkRefusals() {
    static RefusingVolumes refusals;
    return refusals;
}

RefusingVolumes& kernelCopyRefusals() {
    static RefusingVolumes refusals;
    return refusals;
}

int64_t copyChunk(int from, int to, int64_t want, CopyRoute& route, bool nothingCopied, bool& ended) {
    int64_t copied = 0;
    bool endToConfirm = false; // the kernel answered "end" first: a read says whether it is
    while (copied < want) {
        ssize_t step;
        if (route.kernel) {
            step = kernelCopyOnce(from, to, want - copied);
            bool firstCall = nothingCopied && copied == 0;
            if (firstCall && (step == 0 || (step < 0 && kernelCopyRefused(errno)))) {
                route.kernel = false;
                route.refused = step < 0;
                endToConfirm = step == 0;
                continue;
            }
            if (step < 0) {
                route.kernel = false; // the file's positions are where the failed call found them
                continue;
            }
        } else {
            step = readWriteOnce(from, to, want - copied, route.writeFailed);
            route.refused = route.refused || (endToConfirm && step > 0);
            endToConfirm = false;
        }
        if (step < 0) {
            return -1;
        }
        if (step == 0) {
            ended = true;
            break;
        }
        copied += step;
    }
    return copied;
}

} // namespace detail

namespace {

// The source's volume is asked only where it matters, so a copy between volumes that take the
// kernel's copy costs no call for it.
std::optional<detail::VolumePair> volumesOf(int from, uint64_t destVolume) {
    struct stat info;
    if (::fstat(from, &info) != 0) {
        return std::nullopt;
    }
    return detail::VolumePair{info.st_dev, destVolume};
}

} // namespace

StepCopier::StepCopier(FileHandle from, const PartialFile& to)
    : m_from(from), m_to(to.handle()), m_destVolume(detail::PartialFileAccess::volume(to)) {
    detail::RefusingVolumes& refusals = detail::kernelCopyRefusals();
    m_kernel = !refusals.anyInto(m_destVolume) || !refusals.known(volumesOf(m_from, m_destVolume));
}

int64_t StepCopier::copyStep(int64_t count) {
    detail::CopyRoute route{m_kernel};
    bool ended = false;
    int64_t copied = detail::copyChunk(m_from, m_to, count, route, m_copied == 0, ended);
    if (route.refused) {
        detail::kernelCopyRefusals().add(volumesOf(m_from, m_destVolume));
    }
    m_kernel = route.kernel;
    m_writeFailed = route.writeFailed;
    if (copied < 0) {
        detail::setLastError(errno);
        return -1;
    }
    m_copied += copied;
    return copied;
}

} // namespace platform
