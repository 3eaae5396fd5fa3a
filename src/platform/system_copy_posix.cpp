// The system copy on a POSIX host: the kernel moves the data (a reflink, else copy_file_range,
// else read and write) in chunks, with a progress routine and a cancel cell between chunks.
#include "platform/drives.h"
#include "platform/posix_io.h"
#include "platform/transfer_posix.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace detail {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int64_t MinChunk = int64_t{1} << 20;
constexpr int64_t MaxChunk = int64_t{8} << 20;

// Sizes chunks so that progress comes some 10 to 40 times a second: small chunks on a slow stick
// keep the bar moving, large ones on a fast disk keep the routine's cost down.
class ChunkSizer {
public:
    int64_t size() const { return m_size; }
    void took(Clock::duration time) {
        if (time < 25ms && m_size < MaxChunk) {
            m_size *= 2;
        } else if (time > 100ms && m_size > MinChunk) {
            m_size /= 2;
        }
    }

private:
    int64_t m_size = MinChunk;
};

class Watch {
public:
    Watch(const CopyProgressRoutine* progress, const volatile int32_t* cancelCell)
        : m_progress(progress), m_cancelCell(cancelCell) {}
    // Reports progress; true (errno ECANCELED) when the copy is to stop. The cell is read again
    // after the routine, which may have set it.
    bool stop(int64_t total, int64_t transferred) const {
        bool stop =
            cancelled() ||
            (m_progress && *m_progress && (*m_progress)(total, transferred) == CopyProgressAnswer::Cancel) ||
            cancelled();
        if (stop) {
            errno = ECANCELED;
        }
        return stop;
    }

private:
    bool cancelled() const { return m_cancelCell && *m_cancelCell != 0; }

    const CopyProgressRoutine* m_progress;
    const volatile int32_t* m_cancelCell;
};

int64_t currentLength(int fd, int64_t otherwise) {
    struct stat info;
    return ::fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : otherwise;
}

// A reflink shares the source's blocks in one call; -1 where the file system offers none.
int64_t tryReflink(int from, int to, const std::optional<VolumePair>& volumes) {
    if (reflinkRefusals().known(volumes)) {
        return -1;
    }
    if (::ioctl(to, FICLONE, from) != 0) {
        // Answers of the file system as a whole, not of these two files.
        if (errno == EOPNOTSUPP || errno == EXDEV || errno == ENOTTY || errno == ENOSYS) {
            reflinkRefusals().add(volumes);
        }
        return -1;
    }
    return currentLength(to, -1);
}

} // namespace

bool copyFileData(int from, int to, int64_t total, const CopyProgressRoutine* progress,
                  const volatile int32_t* cancelCell, std::optional<VolumePair> volumes, int64_t* copied) {
    Watch watch(progress, cancelCell);
    if (watch.stop(total, 0)) {
        return false;
    }
    int64_t done = total > 0 ? tryReflink(from, to, volumes) : -1;
    if (done >= 0) {
        total = std::max(total, done);
    } else {
        done = 0;
        CopyRoute route{!kernelCopyRefusals().known(volumes)};
        ChunkSizer chunk;
        for (bool ended = false; !ended;) {
            auto start = Clock::now();
            int64_t step = copyChunk(from, to, chunk.size(), route, done == 0, ended);
            if (std::exchange(route.refused, false)) {
                kernelCopyRefusals().add(volumes);
            }
            if (step <= 0) {
                if (step < 0) {
                    return false;
                }
                break;
            }
            chunk.took(Clock::now() - start);
            done += step;
            if (done > total) {
                total = std::max(done, currentLength(from, done));
            }
            if (done < total && watch.stop(total, done)) {
                return false;
            }
        }
    }
    if (copied != nullptr) {
        *copied = done;
    }
    if (done < total) {
        errno = ENODATA; // the source ended before its length: it shrank
        return false;
    }
    // An empty file had its one report, 0 of 0, before the start.
    return done == 0 || !watch.stop(total, done);
}

} // namespace detail

bool systemCopy(const ResolvedPath& source, const ResolvedPath& dest, const CopyProgressRoutine& progress,
                const volatile int32_t* cancelCell, ExistingFile existing, const TakenNameRoutine& onTaken,
                const WrittenCopyCheck& check) {
    const auto& hostSource = source.hostPath();
    if (!hostSource) {
        return detail::failNoDrive();
    }
    struct stat info;
    detail::UniqueFd in(detail::openLockedHost(*hostSource, O_RDONLY, info));
    if (!in) {
        return detail::failWithErrno();
    }
    PartialFile out;
    if (!out.open(dest, in.get())) {
        return false;
    }
    int64_t copied = 0;
    detail::VolumePair volumes{info.st_dev, detail::PartialFileAccess::volume(out)};
    if (!detail::copyFileData(in.get(), out.handle(), info.st_size, &progress, cancelCell, volumes,
                              &copied)) {
        out.discard();
        return detail::failWithErrno();
    }
    // The data is what the user asked for; a file system that keeps no such time still gets it.
    // The time the open saw holds unless the source grew meanwhile.
    detail::copyModificationTime(in.get(), out.handle(), copied == info.st_size ? &info : nullptr);
    return out.commit(existing, onTaken, check);
}

} // namespace platform
