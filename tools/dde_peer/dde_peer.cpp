// Plays the browser "Netscape" as a DDE server for the tests. Configured
// through the environment, which a started program inherits:
//   LK_PEER_LOG          log of what it receives (none when unset): "start" and its
//                        arguments, "connect TOPIC", "request TOPIC ITEM",
//                        "execute TOPIC BYTES TEXT" (TEXT up to its zero)
//   LK_PEER_VERSION      reply to "WWW_Version": a 32-bit number (0x... allowed)
//   LK_PEER_WINDOW_INFO  reply text to the other requests (none when unset)
// It opens a hidden window titled "Netscape" once it serves; WM_CLOSE ends it.
#include <windows.h>

#include <ddeml.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/handles.h"

namespace {

std::string environment(const char* name) {
    char value[1024] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
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
    }
    // Texts go with their terminating zero; the version's reader takes its four bytes.
    return DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(&reply[0]), static_cast<DWORD>(reply.size() + 1), 0,
                               item, format, 0);
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
    if (DdeInitializeA(&instance, on_dde, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR) return 1;
    service = DdeCreateStringHandleA(instance, "Netscape", CP_WINANSI);
    DdeNameService(instance, service, nullptr, DNS_REGISTER);
    // Found by its title; WM_CLOSE destroys it, and a thread timer ends one that a test left behind.
    HWND window = CreateWindowA("Static", "Netscape", 0, 0, 0, 0, 0, nullptr, nullptr, program, nullptr);
    SetTimer(nullptr, 0, 30000, nullptr);
    MSG message;
    while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0 &&
           (message.hwnd || message.message != WM_TIMER)) {
        DispatchMessageA(&message);
    }
    close_handle<DdeInstancePolicy>(&instance);
    return 0;
}
