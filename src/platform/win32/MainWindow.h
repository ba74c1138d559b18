#pragma once

#include "MessageBoxReporter.h"
#include "WinServices.h"
#include "WindowAccessible.h"
#include "app/Environment.h"
#include "app/WindowControls.h"
#include "ui/ClickTracker.h"
#include "ui/FocusRing.h"
#include "ui/Layout.h"

#include <map>
#include <memory>
#include <string>

#include <windows.h>

class frmCiarlatronix;

// The program's window: a frameless popup that draws its pictures and the phrase itself,
// finds the clicked control by the layout's stacking, and holds the one real child control,
// the credits box, plus the system's tooltip.
class MainWindow : public WindowControls
{
public:
    // environment: the user's folder and the files named on the command line; the window
    // gives the rest.
    MainWindow(HINSTANCE instance, Environment environment);
    ~MainWindow() override;
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    // Creates the window hidden, runs the start-up sequence and shows it; false when the
    // system would not create it.
    bool open();
    // Serves events until the window is gone; the exit code.
    int run();

    void setPhraseFontSize(float points) override;
    void setPhraseText(const std::u16string &text) override;
    std::u16string creditsText() const override;
    void setCreditsText(const std::u16string &text) override;
    void alignCreditsLeft() override;
    void setTimerEnabled(bool enabled) override;
    void setTimerInterval(int milliseconds) override;
    void setPhoto(const std::vector<unsigned char> &file) override;
    std::uintptr_t nativeHandle() const override;
    void unload() override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Loads what depends on the DPI: the pictures, the photo as shown, the pointers, the fonts;
    // and puts the credits box and the tooltip's areas in their places.
    void applyDpi(int dpi);
    void showPhoto();
    // A place in design pixels on the window at its DPI.
    RECT onScreen(layout::Rect design) const;
    void createCreditsBox(bool centred, const std::wstring &text);
    void createTooltip();
    void placeTooltip();
    void paint(HDC dc);
    void drawPhrase(HDC dc);
    float drawnPhrasePoints();
    HFONT font(float points);
    void restartTimer();
    layout::Size photoSize() const;
    layout::Control controlAt(LPARAM position) const;
    void invalidate(layout::Control control);
    void press(layout::Control control);
    void follow(const focus::Step &step, layout::Control before);
    bool hasFocus() const;
    void invalidateMark(layout::Control control);

    HINSTANCE instance_;
    Environment environment_;
    HWND window_ = nullptr;
    HWND credits_ = nullptr;
    HWND tooltip_ = nullptr;
    std::map<std::string, HBITMAP> pictures_;
    HBITMAP photo_ = nullptr;       // at its own size, which is its size in design pixels
    HBITMAP shownPhoto_ = nullptr;  // at the window's DPI, above 96
    HCURSOR pointers_[3] = {};
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    LOGFONTW dialogFont_{};
    int dpi_ = 96;
    std::map<int, HFONT> fonts_; // by half points
    HFONT creditsFont_ = nullptr;

    std::wstring phrase_;
    float phrasePoints_;
    float drawnPoints_ = 0; // 0: not measured yet
    bool creditsCentred_ = true;
    bool timerEnabled_ = true;
    int timerInterval_ = 0;
    UINT_PTR tipTools_ = 0;
    std::wstring tipText_;
    ClickTracker clicks_;
    focus::Keyboard keyboard_;

    MessageBoxReporter reporter_;
    WinServices services_;
    std::unique_ptr<frmCiarlatronix> form_;
    std::unique_ptr<WindowAccessible> accessible_;
};
