#pragma once
// The demo's process as a whole: what it needs settled before anything opens a file, a display
// or a sound device.
namespace plat {

// Opens /dev/null onto whichever of descriptors 0-2 are closed, so that no display or audio
// connection can take one of them and have program output written into it. Then lets SIGINT and
// SIGTERM end the program promptly in every state: while the show's loop runs they end it through
// its quit message (exit code 130 or 143), anywhere else, message boxes included, at once with
// that code. A signal the program was started with ignored stays ignored.
void StartProcess();

}  // namespace plat
