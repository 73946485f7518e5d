// File names as the data lists write them ("sets\\default_fish\\model.tqm") and
// the one way every loader reads a whole file into memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

// The path with every backslash turned into a slash, ready to open.
std::string nativePath(const std::string& path);

// Why readFileBytes gave nothing.
enum class FileReadFailure {
    NoFailure,      // read whole (X11 headers define None as a macro)
    Missing,        // no such file
    CannotOpen,     // exists but cannot be opened (permissions, a folder...)
    NotRegularFile, // a FIFO, a device, a socket: never read, never waited on
    TooLarge,       // larger than the caller's limit: refused, not cut
    ReadFailed,     // an error while reading
};

// A short lower-case text for the failure, for the loader's own failure line.
const char* describeFileReadFailure(FileReadFailure failure);

// The whole content of a regular file of at most maxBytes bytes (opened through
// nativePath, without blocking). Nothing when it cannot be read or is larger;
// the reason goes to failure when given. Loaders print their own failure line.
std::optional<std::vector<uint8_t>> readFileBytes(const std::string& path, size_t maxBytes,
                                                  FileReadFailure* failure = nullptr);

// readFileBytes for a loader: on failure prints "<loader>: <path> not read:
// <reason>" on standard error, except for a missing file, which the loaders
// treat as an ordinary case (their texts or glyphs stay empty).
std::optional<std::vector<uint8_t>> readLoaderFile(const std::string& path, size_t maxBytes, const char* loader);

}  // namespace reef
