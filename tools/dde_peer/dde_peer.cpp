// A stand-in for a browser's DDE server, for the tests of the browser link.
// It registers a DDE service, answers the version and window-info requests
// with the replies it is configured with, and appends every
// conversation, request and execute it receives to a log file. Started with
// any arguments (as the program starts a browser), it logs them first.
//
// Configured through the environment, which a starting process passes on:
//   LK_PEER_SERVICE      DDE service name (default "Netscape")
//   LK_PEER_LOG          log file; none when unset
//   LK_PEER_VERSION      reply to "WWW_Version": a 32-bit number (0x... allowed)
//   LK_PEER_WINDOW_INFO  reply text to "WWW_GetWindowInfo"
//   LK_PEER_CLASS        class of its top-level window (default "LkDdePeer")
//   LK_PEER_TITLE        title of that window (default the service name)
//   LK_PEER_SHOW         "minimized"; hidden otherwise
//   LK_PEER_LIFETIME     seconds before it quits by itself (default 60)
//   LK_PEER_READY_EVENT  name of an event it sets once its service is registered
// A request without a configured reply gets no data. WM_CLOSE ends it.
// Log lines: "start" or "start ARGS", "connect TOPIC", "request TOPIC ITEM",
// "execute TOPIC BYTES TEXT" (BYTES as received, TEXT up to its zero), "stop".
#include <windows.h>

#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kDefaultClass[] = "LkDdePeer";
const UINT_PTR kLifetimeTimer = 1;

struct Peer {
    DWORD instance = 0;
    HSZ service = nullptr;
    std::string log_path;
    bool has_version = false;
    DWORD version = 0;
    bool has_window_info = false;
    std::string window_info;
};

Peer peer;

bool read_env(const char* name, std::string* value) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return false;
    std::string buffer(size, '\0');
    DWORD length = GetEnvironmentVariableA(name, &buffer[0], size);
    if (length == 0 || length >= size) return false;
    value->assign(buffer, 0, length);
    return true;
}

std::string env_or(const char* name, const char* fallback) {
    std::string value;
    return read_env(name, &value) ? value : std::string(fallback);
}

void log_line(const std::string& line) {
    if (peer.log_path.empty()) return;
    HANDLE file = CreateFileA(peer.log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string hsz_text(HSZ handle) {
    char text[256] = "";
    DdeQueryStringA(peer.instance, handle, text, sizeof text, CP_WINANSI);
    return text;
}

// The arguments after the program name.
const char* arguments(const char* command_line) {
    const char* p = command_line;
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p ? p + 1 : command_line + strlen(command_line);
    } else {
        while (*p && *p != ' ' && *p != '\t') p++;
    }
    while (*p == ' ' || *p == '\t') p++;
    return p;
}

HDDEDATA reply_data(const void* bytes, DWORD size, HSZ item, UINT format) {
    return DdeCreateDataHandle(peer.instance, static_cast<BYTE*>(const_cast<void*>(bytes)), size, 0, item, format, 0);
}

HDDEDATA on_request(HSZ topic_handle, HSZ item_handle, UINT format) {
    std::string topic = hsz_text(topic_handle);
    log_line("request " + topic + " " + hsz_text(item_handle));
    if (lstrcmpiA(topic.c_str(), "WWW_Version") == 0 && peer.has_version) {
        return reply_data(&peer.version, sizeof peer.version, item_handle, format);
    }
    if (lstrcmpiA(topic.c_str(), "WWW_GetWindowInfo") == 0 && peer.has_window_info) {
        return reply_data(peer.window_info.c_str(), static_cast<DWORD>(peer.window_info.size() + 1), item_handle,
                          format);
    }
    return nullptr;
}

HDDEDATA on_execute(HSZ topic_handle, HDDEDATA data) {
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::string bytes(size, '\0');
    if (size) DdeGetData(data, reinterpret_cast<BYTE*>(&bytes[0]), size, 0);
    log_line("execute " + hsz_text(topic_handle) + " " + std::to_string(size) + " " + std::string(bytes.c_str()));
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

HDDEDATA CALLBACK peer_dde_callback(UINT type, UINT format, HCONV /*conversation*/, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                    ULONG_PTR /*data1*/, ULONG_PTR /*data2*/) {
    switch (type) {
        case XTYP_CONNECT:
            if (DdeCmpStringHandles(hsz2, peer.service) != 0) return nullptr;
            log_line("connect " + hsz_text(hsz1));
            return reinterpret_cast<HDDEDATA>(TRUE);
        case XTYP_REQUEST:
            return on_request(hsz1, hsz2, format);
        case XTYP_EXECUTE:
            return on_execute(hsz1, data);
        default:
            return nullptr;
    }
}

LRESULT CALLBACK peer_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

HWND create_peer_window(HINSTANCE instance, const std::string& service) {
    std::string class_name = env_or("LK_PEER_CLASS", kDefaultClass);
    std::string title = env_or("LK_PEER_TITLE", service.c_str());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = peer_window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = class_name.c_str();
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, class_name.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                                  nullptr, instance, nullptr);
    if (env_or("LK_PEER_SHOW", "") == "minimized") ShowWindow(window, SW_SHOWMINNOACTIVE);
    unsigned lifetime = static_cast<unsigned>(strtoul(env_or("LK_PEER_LIFETIME", "60").c_str(), nullptr, 10));
    SetTimer(window, kLifetimeTimer, lifetime * 1000, nullptr);
    return window;
}

// For starters that cannot wait for the process itself (the shell starts it).
void signal_ready() {
    std::string name;
    if (!read_env("LK_PEER_READY_EVENT", &name)) return;
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (!event) return;
    SetEvent(event);
    CloseHandle(event);
}

void configure() {
    read_env("LK_PEER_LOG", &peer.log_path);
    std::string value;
    if (read_env("LK_PEER_VERSION", &value)) {
        peer.has_version = true;
        peer.version = static_cast<DWORD>(strtoul(value.c_str(), nullptr, 0));
    }
    peer.has_window_info = read_env("LK_PEER_WINDOW_INFO", &peer.window_info);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int /*show*/) {
    configure();
    std::string service = env_or("LK_PEER_SERVICE", "Netscape");
    std::string args = arguments(GetCommandLineA());
    log_line(args.empty() ? "start" : "start " + args);
    HWND window = create_peer_window(instance, service);
    if (!window) return 1;
    if (DdeInitializeA(
            &peer.instance, peer_dde_callback,
            APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
            0) != DMLERR_NO_ERROR) {
        return 2;
    }
    peer.service = DdeCreateStringHandleA(peer.instance, service.c_str(), CP_WINANSI);
    DdeNameService(peer.instance, peer.service, nullptr, DNS_REGISTER);
    signal_ready();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DdeNameService(peer.instance, peer.service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(peer.instance, peer.service);
    DdeUninitialize(peer.instance);
    log_line("stop");
    return 0;
}
