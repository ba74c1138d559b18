// A screen reader's view of the running Windows program, from another process, through
// Active Accessibility. Usage: a11y_client PHRASE_FILE. The program must be showing its window,
// with a phrase file of the one line "Una &sola cazzata/nper il lettore". Prints PASS/FAIL
// lines and a count; exit status 0 when all pass. Ends by pressing the close mark.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

int passes = 0;
int failures = 0;

std::string utf8(const std::wstring &text)
{
    std::string out;
    for (wchar_t c : text)
        out += c == L'\n' ? std::string("\\n") : std::string(1, c < 128 ? char(c) : '?');
    return out;
}

bool check(bool ok, const std::string &what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    (ok ? passes : failures)++;
    return ok;
}

// What each control must be, written from the window's design: client coordinates, and a
// point where it is the topmost control.
struct Expected
{
    const wchar_t *name;
    long role;
    const wchar_t *action;
    RECT place; // left, top, right, bottom
    POINT probe;
};
const wchar_t FirstPhrase[] = L"Una sola cazzata\nper il lettore";
const Expected Controls[] = {
    {L"Homepage", ROLE_SYSTEM_LINK, L"Press", {32, 32, 153, 100}, {90, 60}},
    {L"Fumetto", ROLE_SYSTEM_PUSHBUTTON, L"Press", {160, 32, 495, 171}, {170, 40}},
    {FirstPhrase, ROLE_SYSTEM_PUSHBUTTON, L"Press", {184, 48, 475, 137}, {300, 60}},
    {L"Chiudi", ROLE_SYSTEM_PUSHBUTTON, L"Press", {536, 5, 546, 15}, {541, 10}},
    {L"Foto del cazzaro", ROLE_SYSTEM_PUSHBUTTON, L"Press", {48, 120, 248, 304}, {60, 200}}, // 200 x 300, cut
    {L"Logo: Lo Ciarlatronix !", ROLE_SYSTEM_GRAPHIC, L"", {200, 144, 500, 274}, {480, 250}},
    {L"Credits", ROLE_SYSTEM_PUSHBUTTON, L"Press", {368, 256, 425, 281}, {380, 258}},
    {L"Riconoscimenti", ROLE_SYSTEM_TEXT, L"", {296, 264, 497, 277}, {300, 270}},
};
constexpr long Count = long(sizeof Controls / sizeof Controls[0]);

VARIANT child(long id)
{
    VARIANT v{};
    v.vt = VT_I4, v.lVal = id;
    return v;
}

using Getter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR *);
std::wstring read(IAccessible *object, Getter getter, long id)
{
    BSTR value = nullptr;
    std::wstring out = SUCCEEDED((object->*getter)(child(id), &value)) && value ? value : L"";
    SysFreeString(value);
    return out;
}

long idOf(IAccessible *object, const std::wstring &name)
{
    for (long id = 1; id <= Count; ++id)
        if (read(object, &IAccessible::get_accName, id) == name)
            return id;
    return -1;
}

HWND window = nullptr;
long phraseId = -1;
int nameChanges = 0;

void CALLBACK onEvent(HWINEVENTHOOK, DWORD, HWND source, LONG object, LONG id, DWORD, DWORD)
{
    if (source == window && object == OBJID_CLIENT && id == phraseId)
        ++nameChanges;
}

// Serves the hook's messages until done() or the time is up.
template<typename Done>
bool waitFor(DWORD milliseconds, Done done)
{
    const DWORD until = GetTickCount() + milliseconds;
    while (!done()) {
        if (LONG(until - GetTickCount()) <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return true;
}

void writePhraseFile(const wchar_t *path, const char *line)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, line, DWORD(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    waitFor(20000, [] { return (window = FindWindowW(L"frmCiarlatronix", nullptr)) && IsWindowVisible(window); });
    IAccessible *client = nullptr;
    const HRESULT got = window ? AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_IAccessible,
                                                            reinterpret_cast<void **>(&client))
                               : E_HANDLE;
    if (!check(SUCCEEDED(got), "the window hands out its accessible object: " + std::to_string(got)))
        return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    check(pid != GetCurrentProcessId(), "the object comes from another process");
    POINT origin{0, 0};
    ClientToScreen(window, &origin);

    VARIANT role;
    long count = 0;
    client->get_accRole(child(CHILDID_SELF), &role);
    client->get_accChildCount(&count);
    check(read(client, &IAccessible::get_accName, CHILDID_SELF) == L"Ciarlatronix" && role.lVal == ROLE_SYSTEM_CLIENT
              && count == Count,
          "the client area is named Ciarlatronix and has " + std::to_string(count) + " children");

    for (const Expected &control : Controls) {
        const long id = idOf(client, control.name);
        if (!check(id > 0, "'" + utf8(control.name) + "' is there"))
            continue;
        long left = 0, top = 0, width = 0, height = 0;
        client->accLocation(&left, &top, &width, &height, child(id));
        client->get_accRole(child(id), &role);
        const std::wstring action = read(client, &IAccessible::get_accDefaultAction, id);
        std::printf("  child %ld: '%s' role %ld action '%s' at %ld,%ld %ldx%ld\n", id, utf8(control.name).c_str(),
                    role.lVal, utf8(action).c_str(), left, top, width, height);
        check(role.vt == VT_I4 && role.lVal == control.role && action == control.action,
              "'" + utf8(control.name) + "': its role and default action");
        const RECT &p = control.place;
        check(left == origin.x + p.left && top == origin.y + p.top && width == p.right - p.left && height == p.bottom - p.top,
              "'" + utf8(control.name) + "': its place on screen");
        VARIANT hit;
        client->accHitTest(origin.x + control.probe.x, origin.y + control.probe.y, &hit);
        check(hit.vt == VT_I4 && hit.lVal == id, "'" + utf8(control.name) + "': found at its point");
    }
    VARIANT hit, next;
    client->accHitTest(origin.x + 10, origin.y + 290, &hit);
    check(hit.vt == VT_I4 && hit.lVal == CHILDID_SELF, "the bare window is the client area itself");
    client->accHitTest(origin.x - 1, origin.y, &hit);
    check(hit.vt == VT_EMPTY, "a point beside the window is not in it");
    long walked = 0;
    HRESULT step = client->accNavigate(NAVDIR_FIRSTCHILD, child(CHILDID_SELF), &next);
    while (step == S_OK && next.vt == VT_I4 && next.lVal == walked + 1)
        step = client->accNavigate(NAVDIR_NEXT, child(++walked), &next);
    check(walked == Count && step == S_FALSE, "first child, then next, walks " + std::to_string(walked) + " children");

    const long photo = idOf(client, L"Foto del cazzaro");
    phraseId = idOf(client, FirstPhrase);
    check(read(client, &IAccessible::get_accValue, phraseId) == FirstPhrase, "the phrase is its value too");
    const long credits = idOf(client, L"Riconoscimenti");
    check(read(client, &IAccessible::get_accValue, credits) == L"Credits", "the credits box reads 'Credits'");

    // Each press shows a line read afresh from the file: a new one first, then the same again.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, onEvent, pid, 0,
                                         WINEVENT_OUTOFCONTEXT);
    check(hook != nullptr, "a WinEvent hook is set");
    writePhraseFile(argv[1], "Seconda && ultima\r\n");
    for (const long pressed : {photo, phraseId}) {
        const int before = nameChanges;
        const bool done = SUCCEEDED(client->accDoDefaultAction(child(pressed)));
        check(done && waitFor(5000, [&] { return nameChanges > before; }),
              "pressing child " + std::to_string(pressed) + " raises the phrase's name change");
        const std::wstring name = read(client, &IAccessible::get_accName, phraseId);
        check(name == L"Seconda & ultima", "the phrase now reads '" + utf8(name) + "'");
    }
    client->accDoDefaultAction(child(idOf(client, L"Credits")));
    check(waitFor(3000, [&] { return read(client, &IAccessible::get_accValue, credits) != L"Credits"; }),
          "pressing Credits starts the credits");
    check(client->accDoDefaultAction(child(idOf(client, L"Logo: Lo Ciarlatronix !"))) == DISP_E_MEMBERNOTFOUND,
          "the logo cannot be pressed");
    client->accDoDefaultAction(child(idOf(client, L"Homepage")));
    waitFor(1000, [] { return false; });
    client->accDoDefaultAction(child(idOf(client, L"Chiudi")));
    check(waitFor(5000, [] { return !IsWindow(window); }), "pressing Chiudi closes the window");
    UnhookWinEvent(hook);
    client->Release();
    std::printf("%d passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
