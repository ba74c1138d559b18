#include "MainWindow.h"

#include "Artwork.h"
#include "Photo.h"
#include "WinStartup.h"
#include "WinText.h"
#include "app/frmCiarlatronix.h"
#include "phrases/Failure.h"
#include "ui/PhraseFit.h"

#include <cmath>

#include <commctrl.h>
#include <windowsx.h>

#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

namespace {

using layout::Control;

constexpr wchar_t ClassName[] = L"frmCiarlatronix";
constexpr UINT_PTR Timer1 = 1;
constexpr UINT_PTR CreditsId = 1;
// A press through a screen reader, run once the reader's call is answered: the click may
// show a message box or close the window. WPARAM: the control.
constexpr UINT PressMessage = WM_APP + 1;
// Lines centred and wrapped from the top, ampersands marking access keys; a word wider than
// the label is broken rather than lost past its edge.
constexpr UINT PhraseFormat = DT_CENTER | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL;

RECT toRect(layout::Rect r)
{
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// The window's own keys alone: with Ctrl held they belong to someone else.
focus::Key keyOf(WPARAM virtualKey)
{
    if (GetKeyState(VK_CONTROL) < 0)
        return focus::Key::Other;
    switch (virtualKey) {
    case VK_TAB: return GetKeyState(VK_SHIFT) < 0 ? focus::Key::BackTab : focus::Key::Tab;
    case VK_SPACE: return focus::Key::Space;
    case VK_RETURN: return focus::Key::Enter;
    }
    return focus::Key::Other;
}

// The window's own DPI; on systems before Windows 10 1607, the system's.
int dpiOf(HWND window)
{
    using ForWindow = UINT(WINAPI *)(HWND);
    static const auto forWindow = reinterpret_cast<ForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (const UINT dpi = forWindow ? forWindow(window) : 0)
        return int(dpi);
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, Environment environment)
    : instance_(instance), environment_(std::move(environment)), phrase_(wintext::wide(layout::PhrasePlaceholder)), phrasePoints_(layout::BaseFontPoints),
      tipText_(wintext::wide(layout::PhraseTooltip))
{
    icon_ = artwork::icon(instance_, GetSystemMetrics(SM_CXICON));
    smallIcon_ = artwork::icon(instance_, GetSystemMetrics(SM_CXSMICON));

    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof dialogFont_, &dialogFont_);
}

MainWindow::~MainWindow()
{
    form_.reset();
    if (window_)
        DestroyWindow(window_);
    applyDpi(0);
    if (photo_)
        DeleteObject(photo_);
    DestroyIcon(icon_);
    DestroyIcon(smallIcon_);
}

bool MainWindow::open()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // CS_DBLCLKS: the second press of a double click arrives as such, and counts as no click.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = smallIcon_;
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass))
        return false;

    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_APPWINDOW;
    window_ = CreateWindowExW(exStyle, ClassName, L"", style, 0, 0, layout::WindowSize.width,
                              layout::WindowSize.height, nullptr, nullptr, instance_, this);
    if (!window_)
        return false;
    // Sized for the DPI of the monitor it was made on, and centred in that monitor's work area.
    applyDpi(dpiOf(window_));
    RECT frame = onScreen({0, 0, layout::WindowSize.width, layout::WindowSize.height});
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const layout::Size outer{frame.right - frame.left, frame.bottom - frame.top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    const layout::Point corner =
        layout::centredTopLeft({work.left, work.top, work.right - work.left, work.bottom - work.top}, outer);
    SetWindowPos(window_, nullptr, corner.x, corner.y, outer.width, outer.height, SWP_NOZORDER | SWP_NOACTIVATE);
    reporter_.setWindow(window_);
    createCreditsBox(true, wintext::wide(layout::CreditsPlaceholder));
    createTooltip();
    accessible_ = std::make_unique<WindowAccessible>(WindowAccessible::Window{
        window_, [this] { return wintext::utf16(phrase_); }, [this] { return creditsText(); },
        [this] { return photoSize(); }, [this] { return dpi_; },
        [this](Control control) { PostMessageW(window_, PressMessage, WPARAM(control), 0); },
        [this] { return hasFocus() ? keyboard_.focused() : Control::None; }});

    Environment environment = environment_;
    environment.reporter = &reporter_;
    environment.services = &services_;
    environment.applicationFolder = winstartup::applicationFolder;
    form_ = std::make_unique<frmCiarlatronix>(*this, std::move(environment));
    form_->Form_Load();
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    return true;
}

int MainWindow::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? int(message.wParam) : 1;
}

void MainWindow::applyDpi(int dpi)
{
    // 0: only lets go of everything, for the destructor.
    dpi_ = dpi;
    for (auto &entry : pictures_)
        DeleteObject(entry.second);
    pictures_.clear();
    for (auto &entry : fonts_)
        DeleteObject(entry.second);
    fonts_.clear();
    for (HCURSOR &pointer : pointers_) {
        if (pointer && pointer != LoadCursorW(nullptr, IDC_ARROW))
            DestroyCursor(pointer);
        pointer = nullptr;
    }
    if (dpi == 0)
        return showPhoto();
    const auto load = [&](const char *name, layout::Rect place) {
        const layout::Rect shown = layout::scaled(place, dpi);
        pictures_[name] = dpi == 96 ? artwork::picture(instance_, name)
                                    : artwork::pictureAt(instance_, name, {shown.width, shown.height});
    };
    for (const layout::ControlLayout &control : layout::Controls) {
        if (control.artwork)
            load(control.artwork, control.place);
    }
    load(artwork::BackdropName, {0, 0, layout::WindowSize.width, layout::WindowSize.height});
    showPhoto();
    for (layout::Pointer pointer : {layout::Pointer::Arrow, layout::Pointer::Hand, layout::Pointer::Icon})
        pointers_[int(pointer)] = artwork::pointer(instance_, pointer, dpi);
    creditsFont_ = font(layout::BaseFontPoints);
    drawnPoints_ = 0;
    if (credits_) {
        const RECT place = onScreen(layout::of(Control::txtCrediti).place);
        SetWindowPos(credits_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(credits_, WM_SETFONT, reinterpret_cast<WPARAM>(creditsFont_), TRUE);
    }
    placeTooltip();
}

void MainWindow::showPhoto()
{
    if (shownPhoto_)
        DeleteObject(shownPhoto_);
    shownPhoto_ = nullptr;
    // Smoothly scaled to the span its design pixels take on screen.
    if (photo_ && dpi_ > 0 && dpi_ != 96) {
        const layout::Rect face = layout::of(Control::imgCazzaro).place;
        const layout::Rect shown = layout::scaled({face.x, face.y, photoSize().width, photoSize().height}, dpi_);
        shownPhoto_ = artwork::resized(photo_, {shown.width, shown.height});
    }
}

RECT MainWindow::onScreen(layout::Rect design) const
{
    return toRect(layout::scaled(design, dpi_));
}

void MainWindow::createCreditsBox(bool centred, const std::wstring &text)
{
    if (credits_)
        DestroyWindow(credits_);
    // Disabled: it takes neither focus nor the mouse, so clicks on it reach the window,
    // which finds Label2 beneath the word "Credits".
    const RECT place = onScreen(layout::of(Control::txtCrediti).place);
    credits_ = CreateWindowExW(0, L"EDIT", text.c_str(),
                               WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_READONLY | ES_AUTOHSCROLL
                                   | (centred ? ES_CENTER : ES_LEFT),
                               place.left, place.top, place.right - place.left, place.bottom - place.top, window_,
                               reinterpret_cast<HMENU>(CreditsId), instance_, nullptr);
    if (!credits_)
        wintext::failWithLastError();
    SendMessageW(credits_, WM_SETFONT, reinterpret_cast<WPARAM>(creditsFont_), FALSE);
    SendMessageW(credits_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    creditsCentred_ = centred;
}

void MainWindow::createTooltip()
{
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               instance_, nullptr);
    placeTooltip();
}

void MainWindow::placeTooltip()
{
    if (!tooltip_)
        return;
    // One tool for each rectangle where a control wearing the tip lies on top, so the tip
    // follows the stacking at every point however fast the pointer moves.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    for (tool.uId = 0; tool.uId < tipTools_; ++tool.uId)
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tipTools_ = 0;
    tool.uFlags = TTF_SUBCLASS;
    tool.hinst = instance_;
    tool.lpszText = tipText_.data();
    for (const auto &area : layout::tooltipAreas(photoSize())) {
        tool.uId = tipTools_++;
        tool.rect = onScreen(area.second);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Until the routines exist the window only does what every window does.
    if (!self || !self->form_)
        return DefWindowProcW(window, message, wParam, lParam);
    // Every routine traps its own failures; nothing may unwind through the system's frames.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        // Drawn off screen first, so a new phrase never flickers over a bare balloon.
        HDC buffer = CreateCompatibleDC(dc);
        const layout::Size size = layout::scaled(layout::WindowSize, dpi_);
        HBITMAP canvas = CreateCompatibleBitmap(dc, size.width, size.height);
        const HGDIOBJ previous = SelectObject(buffer, canvas);
        paint(buffer);
        BitBlt(dc, 0, 0, size.width, size.height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, previous);
        DeleteObject(canvas);
        DeleteDC(buffer);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == credits_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT where;
            GetCursorPos(&where);
            ScreenToClient(window_, &where);
            SetCursor(pointers_[int(layout::pointerAt(layout::unscaled({where.x, where.y}, dpi_), photoSize()))]);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(window_);
        clicks_.press(controlAt(lParam), message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_LBUTTONUP: {
        const Control clicked = clicks_.release(controlAt(lParam));
        ReleaseCapture();
        if (clicked != Control::None)
            press(clicked);
        return 0;
    }
    case WM_GETDPISCALEDSIZE: {
        // Exactly the scaled window, which Windows then suggests with WM_DPICHANGED.
        auto *size = reinterpret_cast<SIZE *>(lParam);
        const layout::Size scaled = layout::scaled(layout::WindowSize, int(wParam));
        *size = {scaled.width, scaled.height};
        return TRUE;
    }
    case WM_DPICHANGED: {
        if (!lParam)
            break;
        const RECT suggested = *reinterpret_cast<const RECT *>(lParam);
        applyDpi(LOWORD(wParam));
        SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    }
    case PressMessage:
        press(Control(wParam));
        return 0;
    case WM_KEYDOWN: {
        const Control before = keyboard_.focused();
        // Bit 30: the key was down already, so this is a key held that repeats.
        const focus::Step step = keyboard_.key(keyOf(wParam), (lParam & (1 << 30)) != 0);
        if (!step.handled)
            break;
        follow(step, before);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The mark shows only while the window has the keyboard; a reader hears where the focus
        // is each time the window gets it back, at start-up and when a message box goes.
        if (keyboard_.markShown())
            invalidateMark(keyboard_.focused());
        if (message == WM_SETFOCUS && accessible_)
            accessible_->focusChanged(keyboard_.focused());
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = accessible_ ? accessible_->answer(wParam, lParam) : 0)
            return object;
        break;
    case WM_TIMER:
        if (wParam == Timer1) {
            form_->Timer1_Timer();
            return 0;
        }
        break;
    case WM_CLOSE: {
        bool cancel = false;
        form_->Form_Unload(cancel);
        if (!cancel)
            DestroyWindow(window_);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window_, Timer1);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        accessible_.reset();
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        credits_ = nullptr;
        tooltip_ = nullptr;
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::paint(HDC dc)
{
    RECT all = onScreen({0, 0, layout::WindowSize.width, layout::WindowSize.height});
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    HDC source = CreateCompatibleDC(dc);
    // Each picture is already at the window's DPI; x and y are design pixels.
    const auto blit = [&](HBITMAP bitmap, int x, int y) {
        if (!bitmap)
            return;
        const layout::Size size = artwork::sizeOf(bitmap);
        const HGDIOBJ previous = SelectObject(source, bitmap);
        BitBlt(dc, layout::scaled(x, dpi_), layout::scaled(y, dpi_), size.width, size.height, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
    };
    blit(pictures_[artwork::BackdropName], 0, 0);
    // From the bottom of the stack up, so each control lies over those below it.
    for (auto control = layout::Controls.rbegin(); control != layout::Controls.rend(); ++control) {
        if (control->id == Control::imgCazzaro && photo_)
            blit(shownPhoto_ ? shownPhoto_ : photo_, control->place.x, control->place.y);
        else if (control->kind == layout::Kind::Picture)
            blit(pictures_[control->artwork], control->place.x, control->place.y);
        else if (control->id == Control::Label1)
            drawPhrase(dc);
    }
    DeleteDC(source);
    if (keyboard_.markShown() && hasFocus()) {
        const RECT mark = onScreen(focus::markAround(keyboard_.focused()));
        DrawFocusRect(dc, &mark);
    }
}

void MainWindow::drawPhrase(HDC dc)
{
    RECT place = onScreen(layout::of(Control::Label1).place);
    const HGDIOBJ previous = SelectObject(dc, font(drawnPhrasePoints()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, phrase_.data(), int(phrase_.size()), &place, PhraseFormat);
    SelectObject(dc, previous);
}

float MainWindow::drawnPhrasePoints()
{
    if (drawnPoints_ > 0)
        return drawnPoints_;
    const layout::Rect place = layout::scaled(layout::of(Control::Label1).place, dpi_);
    HDC screen = GetDC(window_);
    HDC measure = CreateCompatibleDC(screen);
    ReleaseDC(window_, screen);
    drawnPoints_ = phrasefit::drawnSize(phrasePoints_, [&](float points) {
        const HGDIOBJ previous = SelectObject(measure, font(points));
        RECT needed{0, 0, place.width, 0};
        DrawTextW(measure, phrase_.data(), int(phrase_.size()), &needed, PhraseFormat | DT_CALCRECT);
        SelectObject(measure, previous);
        return needed.bottom <= place.height;
    });
    DeleteDC(measure);
    return drawnPoints_;
}

HFONT MainWindow::font(float points)
{
    const int halfPoints = int(std::lround(points * 2));
    HFONT &cached = fonts_[halfPoints];
    if (!cached) {
        LOGFONTW face = dialogFont_;
        face.lfHeight = -int(std::lround(halfPoints * dpi_ / 144.0));
        face.lfWidth = 0;
        cached = CreateFontIndirectW(&face);
    }
    return cached;
}

void MainWindow::invalidate(Control control)
{
    if (!window_)
        return;
    layout::Rect place = layout::of(control).place;
    if (control == Control::imgCazzaro)
        place = {place.x, place.y, photoSize().width, photoSize().height};
    const RECT area = onScreen(place);
    InvalidateRect(window_, &area, FALSE);
}

void MainWindow::invalidateMark(Control control)
{
    if (!window_)
        return;
    const RECT area = onScreen(focus::markAround(control));
    InvalidateRect(window_, &area, FALSE);
}

bool MainWindow::hasFocus() const
{
    return window_ && GetFocus() == window_;
}

// A click, a key's press and a reader's press all run here: the focus follows the control
// first, so that a reader speaks the phrase the click brings.
void MainWindow::press(Control control)
{
    const Control before = keyboard_.focused();
    focus::Step step = keyboard_.click(control);
    step.press = control;
    follow(step, before);
}

void MainWindow::follow(const focus::Step &step, Control before)
{
    if (keyboard_.markShown() && (step.focusMoved || step.markChanged)) {
        invalidateMark(before);
        invalidateMark(keyboard_.focused());
    }
    if (step.focusMoved && hasFocus() && accessible_)
        accessible_->focusChanged(keyboard_.focused());
    if (step.press != Control::None)
        form_->click(step.press);
}

layout::Size MainWindow::photoSize() const
{
    if (photo_)
        return artwork::sizeOf(photo_);
    const layout::Rect face = layout::of(Control::imgCazzaro).place;
    return {face.width, face.height};
}

Control MainWindow::controlAt(LPARAM position) const
{
    return layout::hitTest(layout::unscaled({GET_X_LPARAM(position), GET_Y_LPARAM(position)}, dpi_), photoSize());
}

void MainWindow::restartTimer()
{
    // An enabled timer with interval 0 is armed but never ticks.
    if (timerEnabled_ && timerInterval_ > 0) {
        if (!SetTimer(window_, Timer1, UINT(timerInterval_), nullptr))
            wintext::failWithLastError();
    } else {
        KillTimer(window_, Timer1);
    }
}

void MainWindow::setPhraseFontSize(float points)
{
    if (!(points > 0 && points <= 2048))
        throw phrases::Failure("Invalid property value");
    phrasePoints_ = points;
    drawnPoints_ = 0;
    invalidate(Control::Label1);
}

void MainWindow::setPhraseText(const std::u16string &text)
{
    phrase_ = wintext::wide(text);
    drawnPoints_ = 0;
    // The balloon and whatever else lies under the label are drawn again with it.
    invalidate(Control::imgFumetto);
    if (accessible_)
        accessible_->nameChanged(Control::Label1);
}

std::u16string MainWindow::creditsText() const
{
    std::wstring text(std::size_t(GetWindowTextLengthW(credits_)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(credits_, text.data(), int(text.size()))));
    return wintext::utf16(text);
}

void MainWindow::setCreditsText(const std::u16string &text)
{
    if (!SetWindowTextW(credits_, wintext::wide(text).c_str()))
        wintext::failWithLastError();
}

void MainWindow::alignCreditsLeft()
{
    // An edit control keeps the alignment it was made with; a new one takes its place.
    if (!creditsCentred_)
        return;
    std::wstring text(std::size_t(GetWindowTextLengthW(credits_)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(credits_, text.data(), int(text.size()))));
    createCreditsBox(false, text);
}

void MainWindow::setTimerEnabled(bool enabled)
{
    timerEnabled_ = enabled;
    restartTimer();
}

void MainWindow::setTimerInterval(int milliseconds)
{
    if (milliseconds < 0)
        throw phrases::Failure("Invalid property value");
    timerInterval_ = milliseconds;
    restartTimer();
}

void MainWindow::setPhoto(const std::vector<unsigned char> &file)
{
    HBITMAP decoded = photo::decode(file);
    invalidate(Control::imgCazzaro);
    if (photo_)
        DeleteObject(photo_);
    photo_ = decoded;
    showPhoto();
    invalidate(Control::imgCazzaro);
    placeTooltip();
}

std::uintptr_t MainWindow::nativeHandle() const
{
    return reinterpret_cast<std::uintptr_t>(window_);
}

void MainWindow::unload()
{
    // Through WM_CLOSE, as any other close, once the click that asked for it is over.
    PostMessageW(window_, WM_CLOSE, 0, 0);
}
