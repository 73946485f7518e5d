#include "platform/DialogPicture.h"

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/BmpCheck.h"
#include "engine/FilePath.h"

namespace reef {

namespace {

std::optional<std::vector<uint8_t>> refuse(const std::string& path, const char* why) {
    reportf(Channel::Error, texts::kDialogPictureRefused, nativePath(path).c_str(), why);
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<uint8_t>> readDialogPicture(const std::string& path) {
    FileReadFailure failure = FileReadFailure::NoFailure;
    std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, kMaxDialogPictureBytes, &failure);
    if (!bytes) {
        if (failure == FileReadFailure::Missing) return std::nullopt;
        return refuse(path, describeFileReadFailure(failure));
    }
    const char* why = nullptr;
    BmpSize size;
    if (!checkBmp(bytes->data(), bytes->size(), &why, &size)) return refuse(path, why);
    if (size.width > kMaxDialogPictureSide || size.height > kMaxDialogPictureSide)
        return refuse(path, "larger than a dialog picture can be");
    return bytes;
}

}  // namespace reef
