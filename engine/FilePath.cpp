#include "engine/FilePath.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reef {

namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::optional<std::vector<uint8_t>> fail(FileReadFailure why, FileReadFailure* failure) {
    if (failure) *failure = why;
    return std::nullopt;
}

// One read, repeated only when a signal interrupted it before any byte came.
ssize_t readSome(int fd, uint8_t* into, size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, into, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

}  // namespace

std::string nativePath(const std::string& path) {
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

const char* describeFileReadFailure(FileReadFailure failure) {
    switch (failure) {
        case FileReadFailure::NoFailure: return "read";
        case FileReadFailure::Missing: return "no such file";
        case FileReadFailure::CannotOpen: return "cannot be opened";
        case FileReadFailure::NotRegularFile: return "not a regular file";
        case FileReadFailure::TooLarge: return "too large";
        case FileReadFailure::ReadFailed: return "read error";
    }
    return "unknown failure";
}

std::optional<std::vector<uint8_t>> readFileBytes(const std::string& path, size_t maxBytes,
                                                  FileReadFailure* failure) {
    if (failure) *failure = FileReadFailure::NoFailure;
    // NOTE: O_NONBLOCK so that opening a FIFO never waits for a writer; the
    // type check below then refuses it before any read.
    const FileDescriptor file(::open(nativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return fail(errno == ENOENT || errno == ENOTDIR ? FileReadFailure::Missing : FileReadFailure::CannotOpen,
                    failure);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return fail(FileReadFailure::ReadFailed, failure);
    if (!S_ISREG(info.st_mode)) return fail(FileReadFailure::NotRegularFile, failure);
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxBytes)
        return fail(FileReadFailure::TooLarge, failure);

    // Read what fstat promised, then keep reading in small steps: the file may
    // have grown since, and one byte past the limit is enough to refuse it.
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = readSome(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) return fail(FileReadFailure::ReadFailed, failure);
        if (got == 0) break;
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    uint8_t more[4096];
    for (;;) {
        const ssize_t got = readSome(file.get(), more, sizeof more);
        if (got < 0) return fail(FileReadFailure::ReadFailed, failure);
        if (got == 0) break;
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) return fail(FileReadFailure::TooLarge, failure);
        bytes.insert(bytes.end(), more, more + got);
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> readLoaderFile(const std::string& path, size_t maxBytes, const char* loader) {
    FileReadFailure why = FileReadFailure::NoFailure;
    std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, maxBytes, &why);
    if (!bytes && why != FileReadFailure::Missing)
        std::fprintf(stderr, "%s: %s not read: %s\n", loader, nativePath(path).c_str(), describeFileReadFailure(why));
    return bytes;
}

}  // namespace reef
