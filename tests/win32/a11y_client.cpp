// A screen reader's view of the running Windows program, from another process, through
// Active Accessibility, and a keyboard user's keys. Usage: a11y_client PHRASE_FILE. Prints
// "listening" once its hook is set; the program is then started, with a phrase file of the one
// line "Una &sola cazzata/nper il lettore". Prints PASS/FAIL lines and a count; exit status 0
// when all pass. Ends by pressing the close mark.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

void same(const std::string &row, const std::wstring &what, const std::wstring &want, const std::wstring &got)
{
    check(want == got, row + " " + utf8(what) + ": " + (want == got ? "" : "expected '" + utf8(want) + "', got ") + "'"
                           + utf8(got) + "'");
}

// Every object a reader finds, from the window's design: the client area itself, then children 1
// to 8 in reading order. "-" for a property that is not there; the place in client coordinates,
// left,top to right,bottom; a point where the object is the topmost.
struct Row
{
    const wchar_t *name, *description;
    long role, state;
    const wchar_t *action, *value, *place;
    POINT probe;
};
const wchar_t FirstPhrase[] = L"Una sola cazzata\nper il lettore", Again[] = L"Clicca per una nuova cazzata";
const wchar_t Press[] = L"Press";
const long Button = ROLE_SYSTEM_PUSHBUTTON, Focusable = STATE_SYSTEM_FOCUSABLE;
const Row Rows[] = {
    {L"Ciarlatronix", L"-", ROLE_SYSTEM_CLIENT, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED, L"-", L"-",
     L"0,0 to 550,304", {10, 290}},
    {L"Homepage", L"Apre la homepage del programma nel browser", ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED | Focusable, Press, L"-",
     L"32,32 to 153,100", {90, 60}},
    {L"Fumetto", Again, Button, 0, Press, L"-", L"160,32 to 495,171", {170, 40}},
    {FirstPhrase, L"La cazzata del momento: clicca per averne una nuova", Button, Focusable | STATE_SYSTEM_FOCUSED, Press, FirstPhrase,
     L"184,48 to 475,137", {300, 60}},
    {L"Chiudi", L"Chiude il programma", Button, Focusable, Press, L"-", L"536,5 to 546,15", {541, 10}},
    {L"Foto del cazzaro", Again, Button, 0, Press, L"-", L"48,120 to 248,304", {60, 200}}, // 200 x 300, cut
    {L"Logo: Lo Ciarlatronix !", L"Decorazione", ROLE_SYSTEM_GRAPHIC, 0, L"-", L"-", L"200,144 to 500,274", {480, 250}},
    {L"Credits", L"Fa scorrere i riconoscimenti", Button, Focusable, Press, L"-", L"368,256 to 425,281", {380, 258}},
    {L"Riconoscimenti", L"La casella in cui scorrono i riconoscimenti", ROLE_SYSTEM_TEXT,
     STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE, L"-", L"Credits", L"296,264 to 497,277", {300, 270}},
};
constexpr long Count = long(sizeof Rows / sizeof Rows[0]) - 1;

VARIANT child(long id)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring number(const VARIANT &v, const wchar_t *format = L"%ld")
{
    wchar_t out[32];
    swprintf(out, 32, v.vt == VT_I4 ? format : L"vt %d", v.vt == VT_I4 ? v.lVal : long(v.vt));
    return out;
}

using Getter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR *);
std::wstring read(IAccessible *object, Getter getter, long id)
{
    BSTR value = nullptr;
    std::wstring out = SUCCEEDED((object->*getter)(child(id), &value)) && value ? value : L"-";
    SysFreeString(value);
    return out;
}

HWND window = nullptr;
IAccessible *client = nullptr;
// The focus moves and name changes heard from the window, a name change with what its object
// said when it came (a focus move's may be gone by then, as the phrase changes).
std::wstring heard;
std::wstring said(long event, long id, const std::wstring &name = L"", const std::wstring &value = L"")
{
    return number(child(event), L"event %lx") + L" object -4" + number(child(id), L" child %ld")
           + (event == EVENT_OBJECT_NAMECHANGE ? L": " + name + L" / " + value : L"") + L"; ";
}

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND source, LONG object, LONG id, DWORD, DWORD)
{
    wchar_t kind[32] = L"";
    GetClassNameW(source, kind, 32);
    // The system tells of the window itself getting the focus back: the program's own event,
    // for the child, follows it.
    if (std::wstring(kind) != L"frmCiarlatronix" || (event != EVENT_OBJECT_FOCUS && event != EVENT_OBJECT_NAMECHANGE)
        || (event == EVENT_OBJECT_FOCUS && id == CHILDID_SELF))
        return;
    // Its place first: a reader's calls let later events in before this one is written out.
    const std::size_t at = heard.size();
    heard += L"; ";
    IAccessible *told = nullptr;
    VARIANT which;
    std::wstring text = L"no object; ";
    if (SUCCEEDED(AccessibleObjectFromEvent(source, object, id, &told, &which))) {
        text = object == OBJID_CLIENT ? said(long(event), id, read(told, &IAccessible::get_accName, which.lVal),
                                             read(told, &IAccessible::get_accValue, which.lVal))
                                      : number(child(object), L"object %ld; ");
        told->Release();
    }
    heard.insert(at, text, 0, text.size() - 2);
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

HWND messageBox() { return FindWindowW(L"#32770", L"Ciarlatronix"); }
bool heardAll(const std::wstring &want)
{
    return waitFor(10000, [&] { return std::count(heard.begin(), heard.end(), L';') >= std::count(want.begin(), want.end(), L';'); });
}

// Keys as a user types them, through the system's input: t Tab, T Shift+Tab, space, e Enter,
// = Space held until it repeats; ~ waits for the credits to turn twice.
void type(const char *keys)
{
    for (; *keys; ++keys) {
        std::vector<INPUT> input;
        const auto key = [&](WORD code, DWORD flags) { input.push_back({INPUT_KEYBOARD, {}}); input.back().ki = {code, 0, flags, 0, 0}; };
        const WORD code = *keys == 't' || *keys == 'T' ? VK_TAB : *keys == 'e' ? VK_RETURN : VK_SPACE;
        const auto turned = [] {
            const std::wstring was = read(client, &IAccessible::get_accValue, 8);
            return waitFor(5000, [&] { return read(client, &IAccessible::get_accValue, 8) != was; });
        };
        if (*keys == '~') {
            check(turned() && turned(), "the credits turn");
            continue;
        }
        if (*keys == 'T')
            key(VK_SHIFT, 0);
        key(code, 0);
        if (*keys == '=')
            key(code, 0);
        key(code, KEYEVENTF_KEYUP);
        if (*keys == 'T')
            key(VK_SHIFT, KEYEVENTF_KEYUP);
        SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
    }
}
HANDLE answered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
bool heldUp = false;

// A press run inside the reader's call holds the reader until the box it shows goes: that box
// is then sent away from here, late, so that the run goes on to say so.
DWORD WINAPI guard(void *)
{
    if (WaitForSingleObject(answered, 20000) == WAIT_OBJECT_0)
        return 0;
    heldUp = true;
    for (int i = 0; i < 100 && !PostMessageW(messageBox(), WM_COMMAND, IDOK, 0); ++i)
        Sleep(100);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Listening before the program starts: its first focus move is heard too.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, onEvent, 0, 0,
                                         WINEVENT_OUTOFCONTEXT);
    std::printf("listening\n");
    std::fflush(stdout);
    waitFor(20000, [] { return (window = FindWindowW(L"frmCiarlatronix", nullptr)) && IsWindowVisible(window); });
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
    const std::wstring first = said(EVENT_OBJECT_NAMECHANGE, 3, FirstPhrase, FirstPhrase) + said(EVENT_OBJECT_FOCUS, 3);
    heardAll(first);
    same("at start-up", L"events", first, heard);

    long count = 0;
    client->get_accChildCount(&count);
    same("the client area", L"child count", std::to_wstring(Count), std::to_wstring(count));
    for (long id = 0; id <= Count; ++id) {
        const Row &r = Rows[id];
        VARIANT role, state, hit;
        long x = 0, y = 0, w = 0, h = 0;
        client->get_accRole(child(id), &role);
        client->get_accState(child(id), &state);
        client->accLocation(&x, &y, &w, &h, child(id));
        client->accHitTest(origin.x + r.probe.x, origin.y + r.probe.y, &hit);
        wchar_t place[64];
        swprintf(place, 64, L"%ld,%ld to %ld,%ld", x - origin.x, y - origin.y, x - origin.x + w, y - origin.y + h);
        const std::wstring properties[][3] = {
            {L"name", r.name, read(client, &IAccessible::get_accName, id)},
            {L"description", r.description, read(client, &IAccessible::get_accDescription, id)},
            {L"role", number(child(r.role)), number(role)},
            {L"state", number(child(r.state), L"%#lx"), number(state, L"%#lx")},
            {L"default action", r.action, read(client, &IAccessible::get_accDefaultAction, id)},
            {L"value", r.value, read(client, &IAccessible::get_accValue, id)}, {L"place", r.place, place},
            {L"hit test", number(child(id)), number(hit)}};
        for (const auto &p : properties)
            same("child " + std::to_string(id) + " '" + utf8(r.name) + "'", p[0], p[1], p[2]);
    }
    VARIANT hit, next;
    client->accHitTest(origin.x - 1, origin.y, &hit);
    check(hit.vt == VT_EMPTY, "a point beside the window is not in it");
    long walked = 0;
    HRESULT step = client->accNavigate(NAVDIR_FIRSTCHILD, child(CHILDID_SELF), &next);
    while (step == S_OK && next.vt == VT_I4 && next.lVal == walked + 1)
        step = client->accNavigate(NAVDIR_NEXT, child(++walked), &next);
    check(walked == Count && step == S_FALSE, "first child, then next, walks " + std::to_string(walked) + " children");

    const auto rewrite = [&](bool keep) {
        DeleteFileW(argv[1]);
        HANDLE file = keep ? CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr) : nullptr;
        DWORD written = 0;
        WriteFile(file, "Seconda && ultima\r\n", 19, &written, nullptr);
        CloseHandle(file);
    };
    const std::wstring Second = L"Seconda & ultima";
    // Round the ring both ways, each move told with the focused child; Space held down gives one
    // new phrase; the credits turn unheard; Enter on the link opens the page, once (the session counts).
    rewrite(true);
    const struct { const char *keys; long focus; std::wstring before; } Walk[] = {
        {"t", 7}, {"t", 1}, {"t", 4}, {"t", 3}, {"T", 4}, {"T", 1}, {"T", 7}, {"T", 3},
        {"=t", 7, said(EVENT_OBJECT_NAMECHANGE, 3, Second, Second)}, {" ~t", 1}, {"et", 4}};
    for (const auto &step : Walk) {
        heard.clear();
        type(step.keys);
        const std::wstring want = step.before + said(EVENT_OBJECT_FOCUS, step.focus);
        heardAll(want);
        VARIANT focus, state;
        client->get_accFocus(&focus);
        std::wstring focused = number(focus) + L" ,";
        for (long id = 1; id <= Count; ++id)
            focused += SUCCEEDED(client->get_accState(child(id), &state)) && state.lVal & STATE_SYSTEM_FOCUSED ? number(child(id)) : L"";
        same(std::string("keys '") + step.keys + "'", L"events", want, heard);
        same(std::string("keys '") + step.keys + "'", L"focus, focused", number(child(step.focus)) + L" ," + number(child(step.focus)), focused);
    }

    // Each press shows a line read afresh from the file: a new one, the same again, and none
    // once the file is gone, after the box that says so; the focus follows it to the phrase, and
    // comes back there when the box goes. The reader's call returns at once.
    const struct { long pressed; std::wstring phrase; bool focusMoves; } Presses[] = {
        {5, Second, true}, {3, Second, false}, {2, L"", true}};
    for (const auto &press : Presses) {
        const std::string row = "press on child " + std::to_string(press.pressed);
        rewrite(!press.phrase.empty());
        heard.clear();
        HANDLE guarding = CreateThread(nullptr, 0, guard, nullptr, 0, nullptr);
        const HRESULT done = client->accDoDefaultAction(child(press.pressed));
        SetEvent(answered);
        WaitForSingleObject(guarding, INFINITE);
        CloseHandle(guarding);
        check(done == S_OK && !heldUp, row + " returns at once: " + std::to_string(done));
        if (press.phrase.empty()) {
            HWND box = nullptr;
            wchar_t said[200] = L"";
            check(heldUp || waitFor(10000, [&] { return box = messageBox(); }), row + " shows a message box");
            GetDlgItemTextW(box, 0xFFFF, said, 200);
            const wchar_t *tail = wcsrchr(said, L'"'); // the system's own words in between
            same(row, L"box text", L"Error \"...\" in EstraiRiga() function",
                 std::wstring(said).substr(0, 7) + L"..." + (tail ? tail : L""));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            check(waitFor(10000, [&] { return !IsWindow(box); }), row + ": the box goes when answered");
        }
        const std::wstring want = (press.focusMoves ? said(EVENT_OBJECT_FOCUS, 3) : L"")
                                  + said(EVENT_OBJECT_NAMECHANGE, 3, press.phrase, press.phrase);
        heardAll(want);
        same(row, L"events", want, heard);
    }
    check(client->accDoDefaultAction(child(6)) == DISP_E_MEMBERNOTFOUND, "the logo cannot be pressed");
    type("Te");
    check(waitFor(5000, [] { return !IsWindow(window); }), "Enter on Chiudi closes the window");
    UnhookWinEvent(hook);
    client->Release();
    std::printf("%d passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
