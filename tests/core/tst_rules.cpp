// The rules that know no toolkit: picture headers, hit testing, pointers and tooltip areas by
// stacking order, clicks, the phrase's fit, centring, the ticker, a label read out, reports and
// text conversion.
#include "Check.h"
#include "Fakes.h"

#include "app/PictureHeader.h"
#include "common/ErrorTrap.h"
#include "common/Text.h"
#include "phrases/Failure.h"
#include "ui/Accessible.h"
#include "ui/ClickTracker.h"
#include "ui/FocusRing.h"
#include "ui/Layout.h"
#include "ui/PhraseFit.h"

#include <algorithm>
#include <tuple>

using layout::Control;
using layout::Pointer;

TEST_CASE("picture headers: the size each format the loaders take declares, refused above 128 MiB of pixels")
{
    using picture::Format;
    const auto le = [](std::uint32_t v, int n, bool bigEndian = false) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += char(v >> 8 * (bigEndian ? n - 1 - i : i));
        return s;
    };
    const std::string jfif = "\xFF\xD8\xFF\xE0" + le(16, 2, true) + std::string(14, 'j'), nul(6, '\0'), dib = le(40, 4);
    const std::string png = "\x89PNG\r\n\x1A\n" + le(13, 4, true) + "IHDR", ico = le(0, 2) + le(1, 2) + le(1, 2) + "\x10\x10";
    // Name, bytes, format, the size as declared ("0 x 0" for none), refused.
    const std::tuple<const char *, std::string, Format, std::string, bool> rows[] = {
        {"JPEG", jfif + "\xFF\xC0" + le(17, 2, true) + "\x08" + le(20000, 2, true) + le(3000, 2, true), Format::Jpeg, "3000 x 20000", true},
        {"JPEG, fill bytes", "\xFF\xD8\xFF\xC4" + le(4, 2, true) + "xx\xFF\xFF\xC2" + le(17, 2, true) + "\x08" + le(4097, 2, true) + le(8192, 2, true), Format::Jpeg, "8192 x 4097", true},
        {"JPEG, frame cut short", jfif + "\xFF\xC0" + le(17, 2, true) + "\x08" + le(20000, 2, true), Format::Jpeg, "0 x 0", false},
        {"JPEG, SOF15 after DAC and JPG", "\xFF\xD8\xFF\xCC" + le(4, 2, true) + "xx\xFF\xC8" + le(4, 2, true) + "yy\xFF\xCF" + le(11, 2, true) + "\x08" + le(5000, 2, true) + le(7000, 2, true) + "\x01", Format::Jpeg, "7000 x 5000", true},
        {"JPEG, scan first", "\xFF\xD8\xFF\xDA" + le(2, 2, true) + "\xFF\xC0" + le(17, 2, true) + "\x08" + le(9999, 4, true), Format::Jpeg, "0 x 0", false},
        {"GIF", "GIF89a" + le(60000, 2) + le(600, 2) + nul.substr(3), Format::Gif, "60000 x 600", true},
        {"GIF, image", "GIF87a" + le(7000, 2) + le(10, 2) + "\x80" + nul.substr(4) + "cccccc\x21\xF9\x04" "abcd" + nul.substr(5) + ","
             + le(1234, 2) + le(4321, 2) + le(10, 2) + le(8000, 2) + nul.substr(5), Format::Gif, "7000 x 8000", true},
        {"GIF, cut short", "GIF89a" + le(9000, 2), Format::Gif, "0 x 0", false},
        {"PNG, at the bound", png + le(4096, 4, true) + le(8192, 4, true), Format::Png, "4096 x 8192", false},
        {"BMP, top-down", "BM" + nul + nul + dib + le(4096, 4) + le(-8192, 4), Format::Bmp, "4096 x 8192", false},
        {"BMP, a pixel over", "BM" + nul + nul + dib + le(8283, 4) + le(4051, 4), Format::Bmp, "8283 x 4051", true},
        {"BMP, core header", "BM" + nul + nul + le(12, 4) + le(40000, 2) + le(1000, 2), Format::Bmp, "40000 x 1000", true},
        {"ICO", ico + nul + le(0, 4) + le(22, 4) + dib + le(30000, 4) + le(60000, 4), Format::Icon, "30000 x 30000", true},
        {"ICO, directory", ico + nul + le(0, 4) + le(22, 4), Format::Icon, "16 x 16", false},
        {"ICO, 0 is 256", le(0, 2) + le(1, 2) + le(2, 2) + le(0x3000, 2) + nul + le(0, 4) + le(999, 4) + le(0xC820, 2) + nul + le(0, 4) + le(999, 4), Format::Icon, "256 x 200", false},
        {"CUR, PNG", le(0, 2) + le(2, 2) + le(1, 2) + "  " + nul + le(0, 4) + le(22, 4) + png + le(8192, 4, true) + le(4097, 4, true), Format::Icon, "8192 x 4097", true},
        {"WMF", le(0x9AC6CDD7, 4) + le(0, 2) + le(-20000, 2) + le(1000, 2) + le(20000, 2) + le(30000, 2) + le(576, 2), Format::Wmf, "6667 x 4833", false},
        {"EMF, the frame", le(1, 4) + le(88, 4) + le(5, 4) + le(5, 4) + le(5, 4) + le(5, 4) + le(100, 4) + le(-200, 4) + le(254100, 4) + le(127000, 4) + " EMF", Format::Emf, "9600 x 4808", true},
        {"garbage", "GIF8 not really", Format::Unknown, "0 x 0", false},
    };
    for (const auto &[name, bytes, format, size, refused] : rows) {
        // Every shorter file too, each in a buffer of its own size: no read past the end.
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            picture::readHeader(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut).data(), cut);
        const auto header = picture::readHeader(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
        CHECK_EQ(header.format, format, name);
        CHECK_EQ(std::to_string(header.width) + " x " + std::to_string(header.height), size, name);
        CHECK_EQ(failureOf([&] { picture::checkSize(header.width, header.height); }),
                 refused ? "Picture too large: " + size + " pixels" : "", name);
    }
}

TEST_CASE("hit testing and pointers: the topmost control that takes the mouse; and the topmost one seen")
{
    const layout::Size designed{100, 150};
    const layout::Size big{200, 300};
    struct Row { int x, y; layout::Size photo; Control control; Pointer pointer; Control shown = Control(-1); }; // shown: if not control
    const Row rows[] = {
        {0, 0, designed, Control::None, Pointer::Arrow},
        {32, 32, designed, Control::Image2, Pointer::Hand}, {152, 99, designed, Control::Image2, Pointer::Hand}, // link
        {153, 99, designed, Control::None, Pointer::Arrow},
        {536, 5, designed, Control::imgClose, Pointer::Hand}, {545, 14, designed, Control::imgClose, Pointer::Hand},
        {546, 14, designed, Control::None, Pointer::Arrow},
        {184, 48, designed, Control::Label1, Pointer::Icon}, {474, 136, designed, Control::Label1, Pointer::Icon},
        {183, 48, designed, Control::imgFumetto, Pointer::Icon}, {474, 137, designed, Control::imgFumetto, Pointer::Icon},
        {160, 32, designed, Control::imgFumetto, Pointer::Icon}, {494, 170, designed, Control::imgFumetto, Pointer::Icon},
        {494, 171, designed, Control::Image1, Pointer::Arrow}, {495, 150, designed, Control::Image1, Pointer::Arrow},
        {48, 120, designed, Control::imgCazzaro, Pointer::Icon}, {147, 269, designed, Control::imgCazzaro, Pointer::Icon},
        {148, 200, designed, Control::None, Pointer::Arrow},
        {200, 200, big, Control::imgCazzaro, Pointer::Icon},         // a big photo over the logo,
        {200, 150, big, Control::imgCazzaro, Pointer::Icon},         // over the balloon,
        {200, 130, big, Control::Label1, Pointer::Icon},             // under the phrase
        {368, 256, designed, Control::Label2, Pointer::Hand},        // "Credits", under the box too
        {424, 280, designed, Control::Label2, Pointer::Hand},
        {400, 270, designed, Control::Label2, Pointer::Hand, Control::txtCrediti},
        {367, 270, designed, Control::Image1, Pointer::Arrow, Control::txtCrediti},       // the box elsewhere: what lies beneath
        {425, 270, designed, Control::Image1, Pointer::Arrow, Control::txtCrediti},
        {300, 275, designed, Control::None, Pointer::Arrow, Control::txtCrediti},
        {296, 264, designed, Control::Image1, Pointer::Arrow, Control::txtCrediti}, // the box's corners
        {496, 276, designed, Control::None, Pointer::Arrow, Control::txtCrediti},
        {497, 270, designed, Control::Image1, Pointer::Arrow},
        {300, 277, designed, Control::None, Pointer::Arrow},
    };
    for (const Row &row : rows) {
        const std::string where = std::to_string(row.x) + "," + std::to_string(row.y);
        CHECK_EQ(layout::hitTest({row.x, row.y}, row.photo), row.control, where);
        CHECK_EQ(layout::pointerAt({row.x, row.y}, row.photo), row.pointer, where);
        CHECK_EQ(layout::shownAt({row.x, row.y}, row.photo), row.shown == Control(-1) ? row.control : row.shown, where);
    }
}

TEST_CASE("tooltip areas: where the hit test finds a control that wears the tip, and nowhere else")
{
    for (const layout::Size photo : {layout::Size{100, 150}, layout::Size{460, 250}, layout::Size{0, 0}}) {
        const auto areas = layout::tooltipAreas(photo);
        int wrong = 0;
        for (int x = -1; x <= layout::WindowSize.width; ++x)
            for (int y = -1; y <= layout::WindowSize.height; ++y) {
                const bool inArea = std::any_of(areas.begin(), areas.end(), [&](auto &a) { return a.second.contains({x, y}); });
                const Control hit = layout::hitTest({x, y}, photo);
                wrong += inArea != (hit != Control::None && layout::of(hit).tooltip);
            }
        CHECK_EQ(wrong, 0, std::to_string(photo.width) + " x " + std::to_string(photo.height));
    }
    CHECK_EQ(layout::tooltipAreas({100, 150}).size(), std::size_t{3}, "one area each as designed");
}

TEST_CASE("clicks: press and release on one control; a double click is one click")
{
    struct Step { bool press, doubleClick; Control on; };
    struct Row { const char *name; std::vector<Step> steps; int clicks; };
    const Step down{true, false, Control::Label1}, up{false, false, Control::Label1};
    const Step second{true, true, Control::Label1};
    const Row rows[] = {
        {"one click", {down, up}, 1}, {"two clicks", {down, up, down, up}, 2},
        {"a double click", {down, up, second, up}, 1}, {"released elsewhere", {down, {false, false, Control::Image1}}, 0},
        {"released on the bare window", {down, {false, false, Control::None}}, 0},
        {"pressed elsewhere", {{true, false, Control::Image1}, up}, 0}, {"a release alone", {up}, 0},
    };
    for (const Row &row : rows) {
        ClickTracker tracker;
        int clicks = 0;
        for (const Step &step : row.steps) {
            if (step.press)
                tracker.press(step.on, step.doubleClick);
            else if (tracker.release(step.on) == Control::Label1)
                ++clicks;
        }
        CHECK_EQ(clicks, row.clicks, row.name);
    }
}

TEST_CASE("the keyboard: Tab order, presses, clicks that move the focus, and the mark only after a key")
{
    using focus::Key;
    // Each step as "focused*" (the star: mark shown), then ">pressed" when it presses, "-" when
    // the key is not the window's.
    const auto name = [](Control c) { return std::string(layout::of(c).name); };
    struct Event { bool isKey; Key key; bool repeat; Control clicked; };
    const auto k = [](Key key, bool repeat = false) { return Event{true, key, repeat, Control::None}; };
    const auto c = [](Control clicked) { return Event{false, Key::Other, false, clicked}; };
    const std::tuple<const char *, std::vector<Event>, std::string> rows[] = {
        {"round the ring", {k(Key::Tab), k(Key::Tab), k(Key::Tab), k(Key::Tab)}, "Label2* Image2* imgClose* Label1*"},
        {"backwards", {k(Key::BackTab), k(Key::BackTab), k(Key::BackTab), k(Key::BackTab)}, "imgClose* Image2* Label2* Label1*"},
        {"presses", {k(Key::Space), k(Key::Tab), k(Key::Enter), k(Key::BackTab), k(Key::Enter)}, "Label1*>Label1 Label2* Label2*>Label2 Label1* Label1*>Label1"},
        {"held keys", {k(Key::Space), k(Key::Space, true), k(Key::Enter, true), k(Key::Tab, true)}, "Label1*>Label1 Label1* Label1* Label2*"},
        {"other keys", {k(Key::Other), k(Key::Other, true), k(Key::Tab), k(Key::Other)}, "Label1- Label1- Label2* Label2*-"},
        {"clicks move it, unmarked", {c(Control::imgClose), c(Control::Label2), c(Control::Image2), c(Control::imgCazzaro)}, "imgClose Label2 Image2 Label1"},
        {"the photo and the balloon stand for the phrase", {k(Key::Tab), c(Control::imgFumetto), k(Key::Tab), c(Control::imgCazzaro)}, "Label2* Label1* Label2* Label1*"},
        {"clicks where it stays", {k(Key::Tab), c(Control::Image1), c(Control::txtCrediti), c(Control::None), c(Control::Timer1)}, "Label2* Label2* Label2* Label2* Label2*"},
    };
    for (const auto &[rowName, events, expected] : rows) {
        focus::Keyboard keyboard;
        CHECK_EQ(name(keyboard.focused()) + (keyboard.markShown() ? "*" : ""), std::string("Label1"), "at start");
        std::string trace;
        for (const Event &event : events) {
            const Control before = keyboard.focused();
            const bool markBefore = keyboard.markShown();
            const focus::Step step = event.isKey ? keyboard.key(event.key, event.repeat) : keyboard.click(event.clicked);
            trace += (trace.empty() ? "" : " ") + name(keyboard.focused()) + (keyboard.markShown() ? "*" : "");
            if (step.press != Control::None)
                trace += ">" + name(step.press);
            if (event.isKey && !step.handled)
                trace += "-";
            CHECK_EQ(step.focusMoved, keyboard.focused() != before, rowName);
            CHECK_EQ(step.markChanged, keyboard.markShown() != markBefore, rowName);
        }
        CHECK_EQ(trace, expected, rowName);
    }
    // Only the controls that take a click take the focus; the mark lies just outside each.
    for (const layout::ControlLayout &entry : layout::Controls) {
        const bool inRing = std::string("Label1 Label2 Image2 imgClose").find(entry.name) != std::string::npos;
        CHECK_EQ(focus::takesFocus(entry.id), inRing, entry.name);
    }
    CHECK(focus::markAround(Control::imgClose) == (layout::Rect{535, 4, 12, 12}));
    CHECK(focus::markAround(Control::Label1) == (layout::Rect{183, 47, 293, 91}));
}

TEST_CASE("the phrase's fit: its own size when it fits, else the largest half point that does")
{
    struct Row { float requested, largestFitting, drawn; }; // largestFitting: fits at this size and below
    const Row rows[] = {
        {14, 20, 14}, {14, 14, 14}, {14, 13.9f, 13.5f}, {10, 9.5f, 9.5f},
        {10, 7.2f, 7}, {8, 6.4f, 6}, {8, 2, 6}, {16, 0, 6}, {6, 0, 6},
    };
    for (const Row &row : rows) {
        std::vector<float> asked;
        const float drawn = phrasefit::drawnSize(row.requested, [&](float points) {
            asked.push_back(points);
            return points <= row.largestFitting;
        });
        const std::string name = std::to_string(row.requested) + " fitting " + std::to_string(row.largestFitting);
        CHECK_EQ(drawn, row.drawn, name);
        for (float points : asked)
            CHECK(points <= row.requested && points >= phrasefit::SmallestPoints);
    }
}

TEST_CASE("centring rounds halves down, also on a screen smaller than the window")
{
    const std::pair<layout::Rect, layout::Point> rows[] = {{{0, 0, 1024, 768}, {237, 232}}, {{0, 0, 1025, 769}, {237, 232}},
                                                           {{1920, 30, 1280, 1000}, {2285, 378}}, {{0, 0, 549, 303}, {-1, -1}}};
    for (const auto &[screen, expected] : rows) {
        const layout::Point at = layout::centredTopLeft(screen, layout::WindowSize);
        CHECK_EQ(at.x, expected.x, std::to_string(screen.width));
        CHECK_EQ(at.y, expected.y, std::to_string(screen.height));
    }
}

TEST_CASE("scaling to a DPI: each edge on its own, halves up; and a screen pixel back to the design pixel that holds it")
{
    // A place in the design, which is also its place at 96 DPI, then at 120, 144 and 192 DPI.
    const int dpis[] = {96, 120, 144, 192};
    const layout::Rect rows[][4] = {
        {{0, 0, 550, 304}, {0, 0, 688, 380}, {0, 0, 825, 456}, {0, 0, 1100, 608}},
        {{536, 5, 10, 10}, {670, 6, 13, 13}, {804, 8, 15, 15}, {1072, 10, 20, 20}},
        {{184, 48, 291, 89}, {230, 60, 364, 111}, {276, 72, 437, 134}, {368, 96, 582, 178}},
        {{296, 264, 201, 13}, {370, 330, 251, 16}, {444, 396, 302, 20}, {592, 528, 402, 26}},
        {{1, 1, 2, 1}, {1, 1, 3, 2}, {2, 2, 3, 1}, {2, 2, 4, 2}},
        {{-3, -1, 2, 1}, {-4, -1, 3, 1}, {-4, -1, 3, 1}, {-6, -2, 4, 2}},
    };
    for (const auto &row : rows)
        for (int i : {0, 1, 2, 3})
            CHECK(layout::scaled(row[0], dpis[i]) == row[i]);
    CHECK(layout::scaled(layout::WindowSize, 120) == (layout::Size{688, 380}));
    const int back[][3] = {{96, 7, 7}, {120, 2, 1}, {120, 3, 2}, {120, -1, -1}, {144, 1, 0}, {144, 2, 1},
                           {144, 4, 2}, {144, 5, 3}, {192, 1, 0}, {192, 1099, 549}, {192, -1, -1}};
    for (const auto &row : back)
        CHECK_EQ(layout::unscaled({row[1], row[1]}, row[0]).x, row[2], std::to_string(row[0]) + " " + std::to_string(row[1]));
    // Every screen pixel of every design pixel's span goes back to it, at the edges too.
    for (int dpi : {96, 120, 144, 168, 192, 240})
        for (int d = -4; d < 600; ++d)
            for (int q = layout::scaled(d, dpi); q < layout::scaled(d + 1, dpi); ++q)
                CHECK_EQ(layout::unscaled({q, q}, dpi).y, d, std::to_string(dpi) + " " + std::to_string(q));
}

TEST_CASE("a label's text as read out: the ampersand rule, each line break as LF")
{
    const std::pair<std::u16string, std::u16string> rows[] = {
        {u"", u""}, {u"&Una &&cazzata", u"Una &cazzata"},
        {u"&&&x&", u"&x"}, // a lone ampersand at the end shows nothing
        {u"a\r\nb\rc\nd", u"a\nb\nc\nd"}, {u"\r\n\r\n\r", u"\n\n\n"},
        {u"&\r\nx", u"\r\nx"}, // a marked line end is no break, as drawn
    };
    for (const auto &[label, spoken] : rows)
        CHECK_EQ(text::toUtf8(accessible::spokenText(label)), text::toUtf8(spoken), text::toUtf8(label));
}

// Each routine's own report is in the window's tests; here, descriptions that are no Failure.
TEST_CASE("a trapped step is reported in one form")
{
    RecordingReporter recorder;
    ErrorTrap function(recorder, "Cambia", ErrorTrap::Kind::Function);
    CHECK(function.run([] {}) && recorder.messages.empty());
    CHECK(!function.run([] { throw std::bad_alloc(); }));
    function.run([] { throw phrases::Failure("Accesso negato: caff\xC3\xA8"); });
    const std::vector<std::u16string> reports = {u"Error \"Out of memory\" in Cambia() function",
                                                 u"Error \"Accesso negato: caff\u00E8\" in Cambia() function"};
    CHECK_EQ(recorder.messages, reports, "out of memory, then UTF-8 wording");
}

TEST_CASE("text conversion both ways")
{
    const std::pair<std::string, std::u16string> rows[] = {
        {"", u""}, {"plain", u"plain"}, {"caff\xC3\xA8 \xE2\x82\xAC", u"caff\u00E8 \u20AC"}, {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const auto &[utf8, utf16] : rows) {
        CHECK_EQ(text::fromUtf8(utf8), utf16, utf8);
        CHECK_EQ(text::toUtf8(utf16), utf8, utf8);
    }
    CHECK_EQ(text::toUtf8(u"a\xD800z"), std::string("a\xEF\xBF\xBDz"), "a lone surrogate");
}
