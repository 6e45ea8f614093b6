// A stand-in for a running copy of the product: one top-level window of the
// class named on the command line. It reports when it is told WM_DESTROY and
// then quits, as a real program's window does.
//   fake_product.exe CLASS [SECONDS]   exit 0 when closed, 3 when nobody came in time
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

LRESULT CALLBACK ProductWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        std::puts("destroy received");
        std::fflush(stdout);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argv[1][0] == L'-') {
        std::puts("usage: fake_product.exe CLASS [SECONDS]\n"
                  "  opens a window of CLASS; exit 0 once it was sent WM_DESTROY, 3 after SECONDS (default 30)");
        return argc < 2 ? 2 : 0;
    }
    UINT seconds = argc > 2 ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)) : 30;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ProductWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = argv[1];
    if (!RegisterClassW(&windowClass)) {
        std::puts("cannot register the class");
        return 1;
    }
    HWND window = CreateWindowW(argv[1], L"Running product", WS_OVERLAPPEDWINDOW, 10, 10, 240, 120, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        std::puts("cannot create the window");
        return 1;
    }
    SetTimer(window, 1, seconds * 1000, nullptr);
    std::puts("window ready");
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            std::puts("nobody closed the window");
            return 3;
        }
        DispatchMessageW(&message);
    }
    return 0;
}
