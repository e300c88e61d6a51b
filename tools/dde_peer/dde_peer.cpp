// Plays a browser's DDE server for the tests. Configured through the
// environment, which a started program inherits:
//   LK_PEER_SERVICE      DDE service name (default "Netscape")
//   LK_PEER_LOG          log of what it receives (none when unset): "start" and its
//                        arguments, "connect TOPIC", "request TOPIC ITEM",
//                        "execute TOPIC BYTES TEXT" (TEXT up to its zero), "stop"
//   LK_PEER_VERSION      reply to "WWW_Version": a 32-bit number (0x... allowed)
//   LK_PEER_WINDOW_INFO  reply text to the other requests (none when unset)
//   LK_PEER_TITLE        title of its window, then shown minimized (default: the
//                        service name, and hidden)
// It opens its window once it serves; WM_CLOSE ends it.
#include <windows.h>

#include <ddeml.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string environment(const char* name, const char* fallback = "") {
    char value[1024];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : fallback;
}

const std::string log_path = environment("LK_PEER_LOG");
DWORD instance = 0;
HSZ service = nullptr;

void log_line(const std::string& line) {
    if (!log_path.empty()) std::ofstream(log_path, std::ios::app | std::ios::binary) << line << '\n';
}

std::string text(HSZ handle) {
    char text[256] = "";
    DdeQueryStringA(instance, handle, text, sizeof text, CP_WINANSI);
    return text;
}

HDDEDATA on_request(const std::string& topic, HSZ item, UINT format) {
    log_line("request " + topic + " " + text(item));
    std::string reply = environment(topic == "WWW_Version" ? "LK_PEER_VERSION" : "LK_PEER_WINDOW_INFO");
    if (reply.empty()) return nullptr;
    if (topic == "WWW_Version") {
        DWORD version = strtoul(reply.c_str(), nullptr, 0);
        reply.assign(reinterpret_cast<const char*>(&version), sizeof version);
    } else {
        reply += '\0';
    }
    return DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(&reply[0]), static_cast<DWORD>(reply.size()), 0, item,
                               format, 0);
}

HDDEDATA CALLBACK on_dde(UINT type, UINT format, HCONV /*conversation*/, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                         ULONG_PTR /*data1*/, ULONG_PTR /*data2*/) {
    if (type == XTYP_CONNECT && DdeCmpStringHandles(hsz2, service) == 0) {
        log_line("connect " + text(hsz1));
        return reinterpret_cast<HDDEDATA>(TRUE);
    }
    if (type == XTYP_REQUEST) return on_request(text(hsz1), hsz2, format);
    if (type != XTYP_EXECUTE) return nullptr;
    std::string bytes(DdeGetData(data, nullptr, 0, 0), '\0');
    DdeGetData(data, reinterpret_cast<BYTE*>(&bytes[0]), static_cast<DWORD>(bytes.size()), 0);
    log_line("execute " + text(hsz1) + " " + std::to_string(bytes.size()) + " " + bytes.c_str());
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

}  // namespace

int WINAPI WinMain(HINSTANCE program, HINSTANCE /*previous*/, LPSTR /*command_line*/, int /*show*/) {
    std::string start = "start";
    for (int i = 1; i < __argc; i++) start += std::string(" ") + __argv[i];
    log_line(start);
    const std::string name = environment("LK_PEER_SERVICE", "Netscape");
    if (DdeInitializeA(&instance, on_dde, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR) return 1;
    service = DdeCreateStringHandleA(instance, name.c_str(), CP_WINANSI);
    DdeNameService(instance, service, nullptr, DNS_REGISTER);
    // Found by its title; WM_CLOSE destroys it, and a thread timer ends one that a test left behind.
    const std::string title = environment("LK_PEER_TITLE", name.c_str());
    HWND window = CreateWindowA("Static", title.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr, program, nullptr);
    if (title != name) ShowWindow(window, SW_SHOWMINNOACTIVE);
    SetTimer(nullptr, 0, 30000, nullptr);
    MSG message;
    while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0 &&
           (message.hwnd || message.message != WM_TIMER)) {
        DispatchMessageA(&message);
    }
    DdeUninitialize(instance);
    log_line("stop");
    return 0;
}
