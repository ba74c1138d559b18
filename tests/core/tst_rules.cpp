// The window's rules that know no toolkit: hit testing and pointers by stacking order,
// clicks, the phrase's fit, centring, the ticker, reports and text conversion.
#include "Check.h"

#include "common/ErrorReporter.h"
#include "common/ErrorTrap.h"
#include "common/Text.h"
#include "phrases/Failure.h"
#include "ui/ClickTracker.h"
#include "ui/Layout.h"
#include "ui/PhraseFit.h"
#include "ui/Ticker.h"

using layout::Control;
using layout::Pointer;

TEST_CASE("hit testing and pointers: the topmost control that takes the mouse")
{
    const layout::Size designed{100, 150};
    const layout::Size big{200, 300};
    struct Row
    {
        int x, y;
        layout::Size photo;
        Control control;
        Pointer pointer;
    };
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
        // a big photo over the logo and the balloon, under the phrase
        {200, 200, big, Control::imgCazzaro, Pointer::Icon}, {200, 150, big, Control::imgCazzaro, Pointer::Icon},
        {200, 130, big, Control::Label1, Pointer::Icon},
        // "Credits", under the box too; the box elsewhere: what lies beneath
        {368, 256, designed, Control::Label2, Pointer::Hand}, {424, 280, designed, Control::Label2, Pointer::Hand},
        {400, 270, designed, Control::Label2, Pointer::Hand}, {367, 270, designed, Control::Image1, Pointer::Arrow},
        {425, 270, designed, Control::Image1, Pointer::Arrow}, {300, 275, designed, Control::None, Pointer::Arrow},
    };
    for (const Row &row : rows) {
        const std::string where = std::to_string(row.x) + "," + std::to_string(row.y);
        CHECK_EQ(layout::hitTest({row.x, row.y}, row.photo), row.control, where);
        CHECK_EQ(layout::pointerAt({row.x, row.y}, row.photo), row.pointer, where);
    }
}

TEST_CASE("clicks: press and release on one control; a double click is one click")
{
    struct Step
    {
        bool press, doubleClick;
        Control on;
    };
    struct Row
    {
        const char *name;
        std::vector<Step> steps;
        int clicks;
    };
    const Step down{true, false, Control::Label1}, up{false, false, Control::Label1};
    const Step second{true, true, Control::Label1};
    const Row rows[] = {
        {"one click", {down, up}, 1},
        {"two clicks", {down, up, down, up}, 2},
        {"a double click", {down, up, second, up}, 1},
        {"released elsewhere", {down, {false, false, Control::Image1}}, 0},
        {"released on the bare window", {down, {false, false, Control::None}}, 0},
        {"pressed elsewhere", {{true, false, Control::Image1}, up}, 0},
        {"a release alone", {up}, 0},
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

TEST_CASE("the phrase's fit: its own size when it fits, else the largest half point that does")
{
    struct Row
    {
        float requested;
        float largestFitting; // the measurer's answer: fits at this size and below
        float drawn;
    };
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
    struct Row
    {
        layout::Rect screen;
        layout::Point expected;
    };
    const Row rows[] = {
        {{0, 0, 1024, 768}, {237, 232}},
        {{0, 0, 1025, 769}, {237, 232}},
        {{1920, 30, 1280, 1000}, {2285, 378}},
        {{0, 0, 549, 303}, {-1, -1}},
    };
    for (const Row &row : rows) {
        const layout::Point at = layout::centredTopLeft(row.screen, layout::WindowSize);
        CHECK_EQ(at.x, row.expected.x, std::to_string(row.screen.width));
        CHECK_EQ(at.y, row.expected.y, std::to_string(row.screen.height));
    }
}

TEST_CASE("the ticker turns by one character")
{
    const std::pair<std::u16string, std::u16string> rows[] = {
        {u"", u""}, {u"x", u"x"}, {u"ab", u"ba"}, {u"Lo C", u"o CL"},
    };
    for (const auto &[before, after] : rows)
        CHECK_EQ(ticker::rotateLeft(before), after, check::show(before));
}

// Each routine's own report is in the window's tests; here, descriptions that are no Failure.
TEST_CASE("a trapped step is reported in one form")
{
    struct Recorder : ErrorReporter
    {
        std::u16string last;
        void report(const std::u16string &message) override { last = message; }
    } recorder;
    ErrorTrap function(recorder, "Cambia", ErrorTrap::Kind::Function);
    CHECK(function.run([] {}) && recorder.last.empty());
    CHECK(!function.run([] { throw std::bad_alloc(); }));
    CHECK_EQ(recorder.last, u"Error \"Out of memory\" in Cambia() function", "out of memory");
    function.run([] { throw phrases::Failure("Accesso negato: caff\xC3\xA8"); });
    CHECK_EQ(recorder.last, u"Error \"Accesso negato: caff\u00E8\" in Cambia() function", "UTF-8 wording");
}

TEST_CASE("text conversion both ways")
{
    const std::pair<std::string, std::u16string> rows[] = {
        {"", u""},
        {"plain", u"plain"},
        {"caff\xC3\xA8 \xE2\x82\xAC", u"caff\u00E8 \u20AC"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const auto &[utf8, utf16] : rows) {
        CHECK_EQ(text::fromUtf8(utf8), utf16, utf8);
        CHECK_EQ(text::toUtf8(utf16), utf8, utf8);
    }
    CHECK_EQ(text::toUtf8(u"a\xD800z"), std::string("a\xEF\xBF\xBDz"), "a lone surrogate");
}
