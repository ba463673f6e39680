// Message boxes as HTML dialogs, awaited through ASYNCIFY so the caller waits as it does on the
// desktop, and the few things the program tells the page.
#include "platform/web/page.h"

#include <emscripten.h>

#include <cstring>

#include "platform/msgbox.h"

// Shows the dialog and resolves with the button pressed. Return answers the default button (OK
// or Yes), Escape the other one (No; OK when it is the only one). Texts are Windows-1252 bytes.
EM_ASYNC_JS(int, page_message_box, (const char* text, int textLength, const char* caption, int captionLength,
                                    int yesNo), {
    const decode = (p, n) => new TextDecoder("windows-1252").decode(HEAPU8.slice(p, p + n));
    const dialog = document.createElement("dialog");
    dialog.className = "box";
    const title = document.createElement("h1");
    title.textContent = decode(caption, captionLength);
    const body = document.createElement("p");
    body.textContent = decode(text, textLength);
    const row = document.createElement("div");
    dialog.append(title, body, row);
    const answers = yesNo ? [["Yes", 6], ["No", 7]] : [["OK", 1]];
    Module.webDialogOpen = true;
    const shown = performance.now();
    const answer = await new Promise((resolve) => {
        for (const answer of answers) {
            const button = document.createElement("button");
            button.textContent = answer[0];
            button.onclick = () => resolve(answer[1]);
            row.append(button);
        }
        dialog.addEventListener("keydown", (e) => {
            e.stopPropagation();
            if (e.key == "Enter") { e.preventDefault(); resolve(answers[0][1]); }
            if (e.key == "Escape") { e.preventDefault(); resolve(answers[answers.length - 1][1]); }
        });
        document.body.append(dialog);
        dialog.showModal();
        row.firstChild.focus();
    });
    dialog.close();
    dialog.remove();
    Module.webDialogOpen = false;
    // Time spent waiting for a person, kept apart so start-up can be measured without it.
    Module.webBoxMs = (Module.webBoxMs || 0) + performance.now() - shown;
    // The answer is the user's gesture: the one moment the browser lets sound start.
    if (Module.webGesture) Module.webGesture();
    return answer;
});

EM_JS(void, page_set_title, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, page_frame_shown, (), {
    if (Module.webFirstFrame === undefined) {
        Module.webFirstFrame = performance.now();
        if (Module.onFirstFrame) Module.onFirstFrame();
    }
    Module.webFrames = (Module.webFrames || 0) + 1;
    if (Module.onFrame) Module.onFrame();
});

EM_JS(int, page_still_ms, (), {
    const at = new URLSearchParams(location.search).get("at");
    if (at === null || !/^-?[0-9]+$/.test(at)) return -2147483648;
    return Math.max(-2147483647, Math.min(2147483647, parseInt(at, 10)));
});

EM_JS(void, page_show_ended, (), { if (Module.onShowEnded) Module.onShowEnded(); });

namespace plat {

int MessageBox(HWND, const char* text, const char* caption, uint32_t style)
{
    text = text ? text : "";
    caption = caption ? caption : "";
    const bool yesNo = (style & 0x0F) == MB_YESNO;
    return page_message_box(text, static_cast<int>(std::strlen(text)), caption,
                            static_cast<int>(std::strlen(caption)), yesNo ? 1 : 0);
}

}  // namespace plat

namespace page {

void SetTitle(const char* title)
{
    page_set_title(title);
}

void FrameShown()
{
    page_frame_shown();
}

bool StillRequested(int32_t* ms)
{
    const int32_t at = page_still_ms();
    if (at == INT32_MIN)
        return false;
    *ms = at;
    return true;
}

void ShowEnded()
{
    page_show_ended();
}

}  // namespace page
