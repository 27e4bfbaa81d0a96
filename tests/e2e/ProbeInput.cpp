#include "ProbeInput.h"

#include <cctype>
#include <map>
#include <vector>

namespace mappa::probe {
namespace {

void Send(std::vector<INPUT> inputs)
{
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(150);
}

INPUT Key(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

bool PressChord(const std::string& chord)
{
    static const std::map<std::string, WORD> kKeys = {
        {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},    {"tab", VK_TAB},     {"return", VK_RETURN},
        {"escape", VK_ESCAPE}, {"space", VK_SPACE}, {"up", VK_UP},      {"down", VK_DOWN},   {"left", VK_LEFT},
        {"right", VK_RIGHT},  {"home", VK_HOME},   {"end", VK_END},     {"back", VK_BACK},   {"f4", VK_F4}};
    std::vector<WORD> keys;
    size_t start = 0;
    while (start <= chord.size()) {
        const size_t plus = chord.find('+', start);
        const std::string name = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (const auto found = kKeys.find(name); found != kKeys.end()) keys.push_back(found->second);
        else if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
            keys.push_back(WORD(std::toupper(static_cast<unsigned char>(name[0]))));
        else return false;
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(Key(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(Key(*key, true));
    Send(inputs);
    return true;
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        Send({down, up});
    }
}

// Every event carries the place, so that none lands where the pointer was before.
INPUT MouseAt(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = LONG((screen.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void MoveTo(POINT screen)
{
    for (int i = 0; i < 20; ++i) {
        INPUT move = MouseAt(screen, 0);
        SendInput(1, &move, sizeof move);
        Sleep(100);
        POINT now{};
        if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) break;
    }
}

void ClickAt(POINT screen, int clicks)
{
    MoveTo(screen);
    Sleep(200);
    for (int i = 0; i < clicks; ++i) {
        INPUT click[2] = {MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP)};
        SendInput(2, click, sizeof(INPUT));
        Sleep(30);
    }
    Sleep(300);
}

}  // namespace mappa::probe
