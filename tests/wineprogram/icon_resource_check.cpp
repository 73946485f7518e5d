// Loads a Windows program as a data file, as Explorer does to show its icon,
// and checks its program icon resource: an icon group with a 32-bit image the
// size of the data folder's "icon.bmp", whose colours are that picture's.
//
//   icon_resource_check <program> <icon.bmp>
// Exit status 0 when every check held; otherwise one line on standard output says which failed.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/windows/Win32Resources.h"

namespace {

// The icon group resource's layout (RT_GROUP_ICON): a directory, then one
// entry a picture that names the RT_ICON resource holding it.
#pragma pack(push, 2)
struct GroupDirectory {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
constexpr WORD kTypeIcon = 1;
// The version CreateIconFromResourceEx expects of icon resources.
constexpr DWORD kIconFormatVersion = 0x00030000;

int fail(const char* what) {
    std::printf("FAIL: %s\n", what);
    std::fflush(stdout);
    return 1;
}

// The bitmap's pixels as 32-bit words, rows top first.
bool pixels(HBITMAP bitmap, int width, int height, std::vector<DWORD>& out) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out.assign(static_cast<size_t>(width) * height, 0);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, out.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == height;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return fail("usage: icon_resource_check <program> <icon.bmp>");
    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(nullptr, argv[2], IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP pictureSize{};
    if (!picture || !GetObjectW(picture, sizeof(pictureSize), &pictureSize)) return fail("icon.bmp did not load");

    HMODULE program = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!program) return fail("the program did not load as a data file");
    HRSRC groupInfo = FindResourceW(program, MAKEINTRESOURCEW(REEF_PROGRAM_ICON_RESOURCE), RT_GROUP_ICON);
    if (!groupInfo) return fail("the program has no icon group resource 101");
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(program, groupInfo)));
    const DWORD groupBytes = SizeofResource(program, groupInfo);
    if (!group || groupBytes < sizeof(GroupDirectory)) return fail("icon group 101 is empty");
    const auto* directory = reinterpret_cast<const GroupDirectory*>(group);
    if (directory->type != kTypeIcon || directory->count < 1 ||
        groupBytes < sizeof(GroupDirectory) + directory->count * sizeof(GroupEntry))
        return fail("icon group 101 is not an icon directory");
    const auto* entry = reinterpret_cast<const GroupEntry*>(group + sizeof(GroupDirectory));
    std::printf("icon 101: %u image(s), the first %u x %u, %u bits\n", directory->count, entry->width,
                entry->height, entry->bitCount);
    if (entry->width != pictureSize.bmWidth || entry->height != pictureSize.bmHeight)
        return fail("the icon's size is not icon.bmp's");
    if (entry->bitCount != 32) return fail("the icon is not a 32-bit picture");

    HRSRC imageInfo = FindResourceW(program, MAKEINTRESOURCEW(entry->id), RT_ICON);
    if (!imageInfo) return fail("the icon group names an image the program lacks");
    auto* image = static_cast<BYTE*>(LockResource(LoadResource(program, imageInfo)));
    HICON icon = CreateIconFromResourceEx(image, SizeofResource(program, imageInfo), TRUE, kIconFormatVersion,
                                          entry->width, entry->height, LR_DEFAULTCOLOR);
    ICONINFO parts{};
    BITMAP colourSize{};
    if (!icon || !GetIconInfo(icon, &parts) || !parts.hbmColor ||
        !GetObjectW(parts.hbmColor, sizeof(colourSize), &colourSize))
        return fail("the icon image does not make an icon");
    if (colourSize.bmWidth != pictureSize.bmWidth || colourSize.bmHeight != pictureSize.bmHeight)
        return fail("the icon's colour bitmap is not icon.bmp's size");

    std::vector<DWORD> iconPixels, picturePixels;
    if (!pixels(parts.hbmColor, colourSize.bmWidth, colourSize.bmHeight, iconPixels) ||
        !pixels(picture, pictureSize.bmWidth, pictureSize.bmHeight, picturePixels))
        return fail("the pixels could not be read");
    size_t differing = 0;
    for (size_t i = 0; i < iconPixels.size(); ++i)
        if ((iconPixels[i] & 0x00FFFFFF) != (picturePixels[i] & 0x00FFFFFF)) ++differing;
    std::printf("%zu of %zu pixels differ from icon.bmp\n", differing, iconPixels.size());
    if (differing != 0) return fail("the icon does not show icon.bmp");
    return 0;
}
