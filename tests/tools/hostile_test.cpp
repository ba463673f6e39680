// Each row runs a tool through sh in a folder of its own (R the renderer, S and M the asset
// makers, G the gallery; for the renderer a/ holds small textures and the default module).
// Whatever happens, nothing is left behind that the row does not expect, and no temporary file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

// Shell to set up, shell to run (its status is the row's), part of what the run printed, and
// shell that must succeed afterwards.
struct Row {
    const char *what, *setup, *run;
    int status;
    const char *message, *check;
};

const Row renderRows[] = {
    {"help", "", "$R --help", 0, "usage: vavarizo-render --at MS", "true"},
    {"a repeated option", "", "$R --at 0 --at 1 --out x.png", 2, "--at given twice", "test ! -e x.png"},
    {"bad arguments", "",
     "for a in '' '--at 0' stray '--at 12ms --out x.png' \"--at '' --out x.png\" '--at 2147483648 --out x.png'"
     " '--at 0 --out x.png --size 0x10' '--at 0 --out x.png --size 64x48x2' '--at 0 --out x.png --audio a.wav'"
     " '--from 0 --to 100 --fps 0 --out-dir d' '--from 100 --to 100 --fps 30 --out-dir d'; do"
     " eval \"$R $a\" 2>e; [ $? = 2 ] && grep -q 'usage: vavarizo-render --at MS --out FILE.png' e || exit 1; done; exit 2",
     2, "", "rm e && test ! -e x.png -a ! -e d -a ! -e a.wav"},
    {"more music than a WAV holds", "", "$R --from 0 --to 2000000000 --fps 1 --out-dir d --audio m.wav", 2,
     "too long for one WAV", "test ! -e d"},
    {"music two billion ms in", "",
     "timeout 60 $R --from 2000000000 --to 2000001000 --fps 1 --out-dir d --audio late.wav --assets a --size 16x12", 0,
     "", "test -s d/frame-000000.png && test $(stat -c %s late.wav) = 176444"},
    {"no module", "rm a/morvask1.xm", "music", 1, "No such file", "test ! -e d -a ! -e m.wav"},
    {"an empty module", ": >a/morvask1.xm", "music", 1, "is empty", "test ! -e d"},
    {"a folder for a module", "rm a/morvask1.xm && mkdir a/morvask1.xm", "music", 1, "is a folder", "test ! -e d"},
    {"text for a module", "echo not music >a/morvask1.xm", "music", 1, "can be played", "test ! -e d"},
    {"a cut-off module", "head -c 100000 a/morvask1.xm >t && mv t a/morvask1.xm", "music", 1, "cut off",
     "test ! -e d"},
    {"a pipe for a module", "rm a/morvask1.xm && mkfifo a/morvask1.xm", "music", 1, "not a regular file",
     "test ! -e d"},
    {"a pipe for the music file", "mkfifo m.wav", "music", 1, "not a regular file", "test -p m.wav -a ! -e d"},
    {"an output folder in use", "mkdir d && echo mine >d/notes", "$R $SEQ --to 200 --out-dir d", 1, "not empty",
     "test $(ls d) = notes"},
    {"overwriting an earlier sequence", "mkdir d && echo mine >d/notes && echo old >d/frame-000009.png",
     "$R $SEQ --to 200 --out-dir d --overwrite", 0, "",
     "test \"$(ls d | tr '\\n' ' ')\" = 'frame-000000.png frame-000001.png notes '"},
    {"SIGINT during a sequence", "",
     "$R $SEQ --to 100000 --out-dir d & p=$!; await_frame; kill -INT $p; wait $p", 130, "stopped", "test ! -e d"},
    {"SIGTERM during a sequence with music", "",
     "$R $SEQ --to 100000 --out-dir d --audio m.wav & p=$!; await_frame; kill -TERM $p; wait $p",
     143, "stopped", "test ! -e d -a ! -e m.wav"},
    {"started in a deleted folder", "mkdir g", "cd g && rmdir ../g && $R --at 0 --out x.png --assets ../a", 1,
     "no longer exists", "true"},
#ifndef UNDER_SANITIZER
    {"a picture too large for the memory", "", "ulimit -v 1500000; $R --at 0 --out big.png --size 16384x16384", 1,
     "out of memory", "test ! -e big.png"},
#endif
    // The old music file must survive a disk that fills up while the frames are written.
    {"a full disk", "",
     "unshare -m true 2>/dev/null || exit 77; unshare -m sh -c 'mount -t tmpfs -o size=200k tmpfs m || exit 77;"
     " echo old >m/music.wav; $R --from 0 --to 3000 --fps 10 --assets a --size 320x240 --out-dir m/d"
     " --audio m/music.wav; rc=$?; [ \"$(ls -A m)\" = music.wav ] && [ \"$(cat m/music.wav)\" = old ] || rc=99; exit $rc'",
     1, "cannot write", "true"},
};

const Row makerRows[] = {
    {"two runs, one into nested folders", "",
     "$S x/y && $M x/y && $S z && $M z >/dev/null && diff -r x/y z && test $(ls z | wc -l) = 8 && test -z \"$(find z -empty)\"",
     0, "", "true"},
    {"a file where a folder must go", "echo x >f", "$S f/out; s=$?; $M f/out && exit 9; exit $s", 1, "", "true"},
    // Every piece a 320 x 240 picture with some shading (more than 8 colours), the same every run.
    {"the gallery's pieces", "",
     "$G --out-dir g && $G --out-dir h && diff -r g h && test $(ls g | wc -l) = 14 && for f in g/*; do"
     " set -- $(convert \"$f\" -format '%w %h %k' info:); [ \"$1x$2\" = 320x240 ] && [ \"$3\" -gt 8 ] || exit 1; done",
     0, "", "true"},
    {"help", "", "$S --help && $M -h && $G --help", 0, "usage: ", "test -z \"$(ls)\""},
    {"no folder", "", "$S", 2, "usage: ", "true"},
    {"two folders", "", "$M x y", 2, "usage: ", "test -z \"$(ls)\""},
    {"an option for a folder", "", "$S -x", 2, "usage: ", "test -z \"$(ls)\""},
    {"a repeated option", "", "$G --out-dir x --out-dir y", 2, "--out-dir given twice", "test -z \"$(ls)\""},
    {"a full disk for the pictures", "",
     "unshare -m true 2>/dev/null || exit 77; mkdir m; unshare -m sh -c 'mount -t tmpfs -o size=600k tmpfs m || exit 77;"
     " echo old >m/liten.bmp; $S m; rc=$?; [ \"$(cat m/liten.bmp)\" = old ] || rc=99; exit $rc'",
     1, "cannot write m/morvask.bmp: No space left on device", "true"},
    {"a full disk for the module", "",
     "unshare -m true 2>/dev/null || exit 77; mkdir m; unshare -m sh -c 'mount -t tmpfs -o size=100k tmpfs m || exit 77;"
     " echo old >m/morvask1.xm; $M m; rc=$?; [ \"$(ls -A m)\" = morvask1.xm ] && [ \"$(cat m/morvask1.xm)\" = old ]"
     " || rc=99; exit $rc'",
     1, "cannot write m/morvask1.xm: No space left on device", "true"},
};

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// For the signal rows: waits until the sequence has written a few frames. For the module rows:
// a short sequence with its music.
const std::string functions =
    "await_frame() { for i in $(seq 500); do [ -e d/frame-000002.png ] && break; sleep 0.02; done; }; "
    "music() { timeout 20 $R $SEQ --to 200 --out-dir d --audio m.wav; }; ";

int shell(const std::string& script, const std::string& dir, const std::string& output)
{
    return testutil::run("cd " + quoted(dir) + " && R=" + quoted(RENDER_TOOL) + " S=" + quoted(SPRITES_TOOL) +
                         " M=" + quoted(MUSIC_TOOL) + " G=" + quoted(GALLERY_TOOL) +
                         " SEQ='--from 0 --fps 10 --assets a --size 16x12' sh -c " + quoted(functions + script) +
                         " >" + quoted(output) + " 2>&1 </dev/null");
}

template <size_t N>
void runRows(const testutil::ScratchDir& scratch, const Row (&rows)[N], const std::string& prepare)
{
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string dir = scratch.file("row" + std::to_string(index++));
        const std::string output = dir + ".txt";
        std::filesystem::create_directory(dir);
        ASSERT_EQ(shell(prepare + (*row.setup ? row.setup : "true"), dir, output), 0) << "cannot set up";
        const int status = shell(row.run, dir, output);
        if (status == 77) {
            std::printf("%s: skipped, no tmpfs can be mounted here\n", row.what);
            continue;
        }
        const auto bytes = testutil::readFile(output);
        const std::string printed(bytes.begin(), bytes.end());
        EXPECT_EQ(status, row.status) << printed;
        EXPECT_NE(printed.find(row.message), std::string::npos) << printed;
        EXPECT_EQ(shell(row.check, dir, output), 0) << row.check;
        EXPECT_EQ(shell("test -z \"$(find . -name '*.tmp')\"", dir, output), 0) << "a temporary was left";
    }
}

TEST(Hostile, RendererNeverHangsCrashesOrLeavesAnythingBehind)
{
    testutil::ScratchDir scratch;
    const std::string assets = scratch.file("assets");
    ASSERT_EQ(testutil::run(quoted(MUSIC_TOOL) + " " + quoted(assets)), 0);
    for (const char* name : {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp", "lampa.bmp", "kossa.bmp", "hal.bmp"})
        scratch.bmp("assets/" + std::string(name), 2, 2, std::vector<unsigned char>(12, 200));
    runRows(scratch, renderRows, "mkdir m && cp -r " + quoted(assets) + " a && ");
}

TEST(Hostile, MakersAndGalleryDrawAnswerHelpRefuseBadArgumentsAndSurviveAFullDisk)
{
    testutil::ScratchDir scratch;
    runRows(scratch, makerRows, "");
}

}  // namespace
