#include "engine/FilePath.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"

namespace reef {

namespace {

std::optional<std::vector<uint8_t>> fail(FileReadFailure why, FileReadFailure* failure) {
    if (failure) *failure = why;
    return std::nullopt;
}

#ifdef _WIN32

// Closes the handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Paths are UTF-8 inside the program; Windows takes them as UTF-16.
std::wstring widePath(const std::string& path) {
    if (path.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                                           nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), wide.data(),
                        length);
    return wide;
}

// Up to size bytes; 0 at the end of the file, -1 on an error.
long readSome(HANDLE file, uint8_t* into, size_t size) {
    const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(file, into, ask, &got, nullptr)) return -1;
    return static_cast<long>(got);
}

#else

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

// One read, repeated only when a signal interrupted it before any byte came.
ssize_t readSome(int fd, uint8_t* into, size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, into, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

#endif

// Reads the rest of an open file after the size it reported: what it promised,
// then more in small steps, since the file may have grown; one byte past the
// limit is enough to refuse it.
template <typename File>
std::optional<std::vector<uint8_t>> readOpenFile(const File& file, uint64_t reportedSize, size_t maxBytes,
                                                 FileReadFailure* failure) {
    std::vector<uint8_t> bytes(static_cast<size_t>(reportedSize));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const auto got = readSome(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) return fail(FileReadFailure::ReadFailed, failure);
        if (got == 0) break;
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    uint8_t more[4096];
    for (;;) {
        const auto got = readSome(file.get(), more, sizeof more);
        if (got < 0) return fail(FileReadFailure::ReadFailed, failure);
        if (got == 0) break;
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) return fail(FileReadFailure::TooLarge, failure);
        bytes.insert(bytes.end(), more, more + got);
    }
    return bytes;
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
#ifdef _WIN32
    // NOTE: FILE_FLAG_BACKUP_SEMANTICS lets a folder open, so that it is
    // reported as not a regular file, as on Linux, rather than as unopenable.
    const std::wstring wide = widePath(nativePath(path));
    if (wide.empty()) return fail(FileReadFailure::Missing, failure);
    const FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
            return fail(FileReadFailure::Missing, failure);
        // A named pipe whose every instance is taken is still a pipe.
        if (error == ERROR_PIPE_BUSY) return fail(FileReadFailure::NotRegularFile, failure);
        return fail(FileReadFailure::CannotOpen, failure);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(FileReadFailure::NotRegularFile, failure);
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxBytes) return fail(FileReadFailure::TooLarge, failure);
    return readOpenFile(file, size, maxBytes, failure);
#else
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
    return readOpenFile(file, static_cast<uint64_t>(info.st_size), maxBytes, failure);
#endif
}

std::optional<std::vector<uint8_t>> readLoaderFile(const std::string& path, size_t maxBytes, const char* loader) {
    FileReadFailure why = FileReadFailure::NoFailure;
    std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, maxBytes, &why);
    if (!bytes && why != FileReadFailure::Missing)
        reportf(Channel::Error, texts::kFileNotRead, loader, nativePath(path).c_str(), describeFileReadFailure(why));
    return bytes;
}

}  // namespace reef
