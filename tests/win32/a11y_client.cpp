// A screen reader's view of the running Windows program, from another process, through Active
// Accessibility, with a user's keys. Usage: a11y_client PHRASE_FILE [DPI]. Start the program once
// this says "PASS: listening", with a phrase file of the one line "Una &sola cazzata/nper il
// lettore". Prints PASS/FAIL lines and a count; exit status 0 when all pass. Ends by closing the window.
#include <windows.h>
#include <oleacc.h>

#include "../Places.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int passes = 0, failures = 0;

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
// to 8 in reading order. "-" for a property that is not there; the control whose place it has
// (none: the whole client area), and its size if not the designed one; a point where the object
// is the topmost.
struct Row
{
    const wchar_t *name, *description;
    long role, state;
    const wchar_t *action, *value;
    const char *control;
    POINT probe;
    SIZE size = {};
};
const wchar_t FirstPhrase[] = L"Una sola cazzata\nper il lettore", Again[] = L"Clicca per una nuova cazzata";
const wchar_t Press[] = L"Press";
const long Button = ROLE_SYSTEM_PUSHBUTTON, Focusable = STATE_SYSTEM_FOCUSABLE, Focused = STATE_SYSTEM_FOCUSED;
const Row Rows[] = {
    {L"Ciarlatronix", L"-", ROLE_SYSTEM_CLIENT, Focusable | Focused, L"-", L"-", nullptr, {10, 290}},
    {L"Homepage", L"Apre la homepage del programma nel browser", ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED | Focusable,
     Press, L"-", "Image2", {90, 60}},
    {L"Fumetto", Again, Button, 0, Press, L"-", "imgFumetto", {170, 40}},
    {FirstPhrase, L"La cazzata del momento: clicca per averne una nuova", Button, Focusable | Focused, Press,
     FirstPhrase, "Label1", {300, 60}},
    {L"Chiudi", L"Chiude il programma", Button, Focusable, Press, L"-", "imgClose", {541, 10}},
    {L"Foto del cazzaro", Again, Button, 0, Press, L"-", "imgCazzaro", {60, 200}, {200, 300}}, // cut by the window's edge
    {L"Logo: Lo Ciarlatronix !", L"Decorazione", ROLE_SYSTEM_GRAPHIC, 0, L"-", L"-", "Image1", {480, 250}},
    {L"Credits", L"Fa scorrere i riconoscimenti", Button, Focusable, Press, L"-", "Label2", {380, 258}},
    {L"Riconoscimenti", L"La casella in cui scorrono i riconoscimenti", ROLE_SYSTEM_TEXT,
     STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE, L"-", L"Credits", "txtCrediti", {300, 270}},
};
constexpr long Count = long(sizeof Rows / sizeof Rows[0]) - 1;

Place placeOf(const Row &row)
{
    Place place{"", 0, 0, WindowWidth, WindowHeight};
    for (const Place &p : Places)
        if (row.control && std::strcmp(p.control, row.control) == 0)
            place = p;
    if (row.size.cx)
        place.width = row.size.cx, place.height = row.size.cy;
    return place;
}

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
    std::wstring out = object && SUCCEEDED((object->*getter)(child(id), &value)) && value ? value : L"-";
    SysFreeString(value);
    return out;
}

HWND window = nullptr;
IAccessible *client = nullptr;
// Focus moves and name changes heard from the window; a name change with its object's name and value.
std::wstring heard;
std::wstring said(long event, long id, const std::wstring &text = L"", long object = OBJID_CLIENT)
{
    return number(child(event), L"event %lx") + number(child(object), L" object %ld") + number(child(id), L" child %ld")
           + (event == EVENT_OBJECT_NAMECHANGE ? L": " + text : L"") + L"; ";
}
std::wstring phraseChanged(const std::wstring &p) { return said(EVENT_OBJECT_NAMECHANGE, 3, p + L" / " + p); }

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND source, LONG object, LONG id, DWORD, DWORD)
{
    // The system's own, for the window itself getting the focus back, comes before the program's.
    if (source != FindWindowW(L"frmCiarlatronix", nullptr)
        || (event == EVENT_OBJECT_FOCUS ? id == CHILDID_SELF : event != EVENT_OBJECT_NAMECHANGE))
        return;
    // Its place first: a reader's calls let later events in before this one is written out.
    const std::size_t at = heard.size();
    heard += L"; ";
    IAccessible *told = nullptr;
    VARIANT which{};
    AccessibleObjectFromEvent(source, object, id, &told, &which);
    const std::wstring text = said(long(event), id, read(told, &IAccessible::get_accName, which.lVal) + L" / "
                                                        + read(told, &IAccessible::get_accValue, which.lVal), object);
    heard.insert(at, text, 0, text.size() - 2);
    if (told)
        told->Release();
}

// Serves the hook's messages until done() or the time is up.
template<typename Done>
bool waitFor(DWORD milliseconds, Done done)
{
    for (const DWORD until = GetTickCount() + milliseconds; !done();) {
        if (LONG(until - GetTickCount()) <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&message);
    }
    return true;
}

HWND messageBox() { return FindWindowW(L"#32770", L"Ciarlatronix"); }
// Waits for the events wanted, then compares them, accFocus and the focused state of child focus.
void hear(const std::string &row, const std::wstring &want, long focus)
{
    const auto count = [](const std::wstring &events) { return std::count(events.begin(), events.end(), L';'); };
    waitFor(10000, [&] { return count(heard) >= count(want); });
    VARIANT got{}, state{};
    client->get_accFocus(&got);
    client->get_accState(child(focus), &state);
    const std::wstring seen = number(got) + (state.lVal & Focused ? L" focused" : L"");
    same(row, L"events, accFocus", want + (focus ? std::to_wstring(focus) + L" focused" : L"vt 0"), heard + seen);
    heard.clear();
}
// Keys as a user types them, through the system's input: t Tab, T Shift+Tab, space, e Enter,
// = Space held until it repeats.
void type(const char *keys)
{
    for (; *keys; ++keys) {
        const BYTE code = *keys == 't' || *keys == 'T' ? VK_TAB : *keys == 'e' ? VK_RETURN : VK_SPACE;
        const BYTE shift = *keys == 'T' ? VK_SHIFT : 0, again = *keys == '=' ? code : 0;
        const BYTE steps[][2] = {{shift, 0}, {code, 0}, {again, 0}, {code, KEYEVENTF_KEYUP}, {shift, KEYEVENTF_KEYUP}};
        for (const auto &step : steps)
            if (step[0])
                keybd_event(step[0], 0, step[1], 0);
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
    if (argc < 2)
        return 2;
    // At another DPI than 96 (the second argument) places and probes are the design's scaled edge by edge, halves up.
    const long dpi = argc > 2 ? _wtol(argv[2]) : 96;
    const auto s = [dpi](long v) { return (2 * v * dpi + 96) / 192; };
    // Aware of each monitor's DPI as readers are: Wine 10 scales places for a program that is not.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Listening before the program starts: its first focus move is heard too.
    check(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, onEvent, 0, 0, WINEVENT_OUTOFCONTEXT),
          "listening");
    waitFor(20000, [] { return (window = FindWindowW(L"frmCiarlatronix", nullptr)) && IsWindowVisible(window); });
    const HRESULT got = window ? AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_IAccessible,
                                                            reinterpret_cast<void **>(&client))
                               : E_HANDLE;
    if (!check(SUCCEEDED(got), "the window hands out its accessible object: " + std::to_string(got)))
        return 1;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);

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
        client->accHitTest(origin.x + s(r.probe.x), origin.y + s(r.probe.y), &hit);
        wchar_t place[64], expected[64];
        swprintf(place, 64, L"%ld,%ld to %ld,%ld", x - origin.x, y - origin.y, x - origin.x + w, y - origin.y + h);
        const Place designed = placeOf(r);
        swprintf(expected, 64, L"%ld,%ld to %ld,%ld", s(designed.x), s(designed.y),
                 s(std::min(designed.x + designed.width, WindowWidth)), s(std::min(designed.y + designed.height, WindowHeight)));
        const std::wstring properties[][3] = {
            {L"name", r.name, read(client, &IAccessible::get_accName, id)},
            {L"description", r.description, read(client, &IAccessible::get_accDescription, id)},
            {L"role", number(child(r.role)), number(role)},
            {L"state", number(child(r.state), L"%#lx"), number(state, L"%#lx")},
            {L"default action", r.action, read(client, &IAccessible::get_accDefaultAction, id)},
            {L"value", r.value, read(client, &IAccessible::get_accValue, id)}, {L"place", expected, place},
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

    // Heard after each row's keys: at start-up, the phrase and the focus on it; round the ring both ways;
    // Space held down, one phrase anew; Space on Credits, never heard turning; Enter on the link opens it.
    const struct { const char *keys; long focus; int phraseAnew; } Walk[] = {
        {"", 3, 1}, {"t", 7, 0}, {"t", 1, 0}, {"t", 4, 0}, {"t", 3, 0}, {"T", 4, 0}, {"T", 1, 0}, {"T", 7, 0},
        {"T", 3, 0}, {"=t", 7, 1}, {" t", 1, 0}, {"et", 4, 0}};
    for (const auto &step : Walk) {
        type(step.keys);
        hear(std::string("keys '") + step.keys + "'",
             (step.phraseAnew ? phraseChanged(FirstPhrase) : L"") + said(EVENT_OBJECT_FOCUS, step.focus), step.focus);
    }

    // Each press shows a line read afresh from the file: a new one, the same again, and none
    // once the file is gone, after the box that says so; the focus follows it to the phrase, is
    // nowhere in the window while the box is up, and comes back. The reader's call returns at once.
    const struct { long pressed; std::wstring phrase; bool focusMoves; } Presses[] = {
        {5, L"Seconda & ultima", true}, {3, L"Seconda & ultima", false}, {2, L"", true}};
    FILE *phrases = _wfopen(argv[1], L"wb");
    std::fputs("Seconda && ultima\r\n", phrases);
    std::fclose(phrases);
    for (const auto &press : Presses) {
        const std::string row = "press on child " + std::to_string(press.pressed);
        if (press.phrase.empty())
            DeleteFileW(argv[1]);
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
            hear(row + " under the box", L"", CHILDID_SELF);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            check(waitFor(10000, [&] { return !IsWindow(box); }), row + ": the box goes when answered");
        }
        hear(row, (press.focusMoves ? said(EVENT_OBJECT_FOCUS, 3) : L"") + phraseChanged(press.phrase), 3);
    }
    check(read(client, &IAccessible::get_accValue, Count) != L"Credits", "Space on Credits started the credits");
    check(client->accDoDefaultAction(child(6)) == DISP_E_MEMBERNOTFOUND, "the logo cannot be pressed");
    type("Te"); // Enter on the close mark: the session sees the program end
    client->Release();
    std::printf("%d passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
