#include "tests/support/fake_msgbox.h"

namespace {

std::vector<fake::Box>& boxLog()
{
    static std::vector<fake::Box> log;
    return log;
}

std::deque<int>& answers()
{
    static std::deque<int> queue;
    return queue;
}

plat::HWND focusWindow = nullptr;
void (*boxObserver)(const fake::Box&) = nullptr;

}  // namespace

namespace fake {

const std::vector<Box>& boxes() { return boxLog(); }

void resetBoxes()
{
    boxLog().clear();
    answers().clear();
    focusWindow = nullptr;
}

void answerNext(int button) { answers().push_back(button); }

void setFocusWindow(plat::HWND w) { focusWindow = w; }

void setBoxObserver(void (*observer)(const Box& box)) { boxObserver = observer; }

}  // namespace fake

namespace plat {

int MessageBox(HWND owner, const char* text, const char* caption, uint32_t style)
{
    boxLog().push_back(fake::Box{owner, text ? text : "", caption ? caption : "", style});
    if (boxObserver)
        boxObserver(boxLog().back());
    if (!answers().empty()) {
        const int answer = answers().front();
        answers().pop_front();
        return answer;
    }
    return (style & 0x0F) == MB_YESNO ? IDYES : IDOK;
}

HWND GetFocus() { return focusWindow; }

}  // namespace plat
