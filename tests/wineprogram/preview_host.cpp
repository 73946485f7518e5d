// Plays the screensaver host's preview box on Windows: makes a window with a
// 320 x 240 client area, starts the saver with "/p <its handle>", waits until
// the saver's child window is in it and the saver has written its read-back
// frame (REEFSAVER_SCREENSHOTS, set by the caller), checks that the preview
// keeps running, then destroys the host window and checks that the saver ends.
//
//   preview_host <saver program> <frame file the saver writes> [more arguments for the saver]
// Exit status 0 when every step held; otherwise one line on standard output says which failed.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 240;
constexpr DWORD kFrameWaitMs = 60000;
constexpr DWORD kStillRunningMs = 1000;
constexpr DWORD kEndWaitMs = 10000;

int fail(const char* what) {
    std::printf("FAIL: %s\n", what);
    std::fflush(stdout);
    return 1;
}

// Handles the host's own messages while waiting, as a host would; true when the process ended.
bool pumpUntil(HANDLE process, DWORD milliseconds, bool (*done)(const std::wstring&), const std::wstring& file) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done && done(file)) return false;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        const DWORD wait = MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) return true;
    }
}

// The frame file exists and has stopped growing.
bool frameWritten(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA first{}, second{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &first) || first.nFileSizeLow == 0) return false;
    Sleep(100);
    return GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &second) &&
           second.nFileSizeLow == first.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: preview_host <saver program> <frame file> [more arguments]\n");
        return 2;
    }
    const std::wstring frameFile = argv[2];
    DeleteFileW(frameFile.c_str());

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"PreviewHost";
    if (!RegisterClassW(&windowClass)) return fail("the host window class could not be registered");
    // Without a frame, so that the whole client area fits on the test's small screen.
    HWND host = CreateWindowExW(0, L"PreviewHost", L"Preview host", WS_POPUP | WS_VISIBLE, 0, 0, kClientWidth,
                                kClientHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!host) return fail("the host window could not be made");

    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\" /p " +
                               std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
    for (int i = 3; i < argc; ++i) commandLine += L" " + std::wstring(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION saver{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &saver))
        return fail("the saver could not be started");
    CloseHandle(saver.hThread);
    const DWORD started = GetTickCount();

    if (pumpUntil(saver.hProcess, kFrameWaitMs, frameWritten, frameFile)) return fail("the saver ended on its own");
    if (!frameWritten(frameFile)) return fail("no preview frame was written");
    std::printf("preview frame written after %lu ms\n", static_cast<unsigned long>(GetTickCount() - started));

    HWND child = FindWindowExW(host, nullptr, L"GLSaverWndClass", nullptr);
    if (!child) return fail("the saver's window is not a child of the host window");
    RECT childRect{}, hostRect{};
    GetClientRect(child, &childRect);
    GetClientRect(host, &hostRect);
    std::printf("host client area %ld x %ld, preview window %ld x %ld\n", hostRect.right, hostRect.bottom,
                childRect.right, childRect.bottom);
    if (hostRect.right != kClientWidth || hostRect.bottom != kClientHeight)
        return fail("the host window's client area is not the size asked for");
    if (childRect.right != hostRect.right || childRect.bottom != hostRect.bottom)
        return fail("the preview window does not fill the host's client area");

    if (pumpUntil(saver.hProcess, kStillRunningMs, nullptr, frameFile))
        return fail("the preview ended while its host window was still there");

    DestroyWindow(host);
    const DWORD destroyed = GetTickCount();
    if (WaitForSingleObject(saver.hProcess, kEndWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(saver.hProcess, 1);
        return fail("the preview did not end when its host window was destroyed");
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(saver.hProcess, &exitCode);
    std::printf("the preview ended %lu ms after its host window, with status %lu\n",
                static_cast<unsigned long>(GetTickCount() - destroyed), static_cast<unsigned long>(exitCode));
    CloseHandle(saver.hProcess);
    return exitCode == 0 ? 0 : fail("the preview ended with a failure status");
}
