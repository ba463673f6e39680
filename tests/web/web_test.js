'use strict';
// The browser build in headless Chromium: stills against vavarizo-render, the question, the
// clock against real time, Escape, a missing module and a dropped BMP. Args: SITE_DIR VAVARIZO_RENDER
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serve, launch, box, frames } = require('./harness');

const site = path.resolve(process.argv[2]);
const render = path.resolve(process.argv[3]);
const question = ['QECS (Quendrill Elite Config System)', 'Fullscreen?'];
let failures = 0;

function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}

// Pixels are counted by ImageMagick, as in the Wine scenarios: a fuzz of 6.3% is 16 of 255.
const fuzz = ['-fuzz', '6.3%'];
const differing = (png, file) =>
  Number(spawnSync('compare', ['-metric', 'AE', ...fuzz, 'png:-', file, 'null:'], { input: png }).stderr);
// The share of the pixels in REGION (WxH+X+Y) of a PNG that are COLOUR: those turn white, the rest black.
function share(png, colour, region = '800x600+0+0') {
  const mark = ['-fill', 'black', '+opaque', colour, '-fill', 'white', '-opaque', colour];
  const args = ['png:-', '-crop', region, ...fuzz, ...mark, '-format', '%[fx:mean]', 'info:'];
  return Number(execFileSync('convert', args, { input: png }));
}

// The canvas alone: in the show it sits below the page's heading, in a still at the top-left.
const shot = async (page) => (await page.$('#canvas')).screenshot();

async function stills(browser, base) {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vavarizo-web-'));
  const page = await browser.newPage();
  // The start, the big frame, the ground scrolling, the lamp, the cow in view, hit and flying
  // off (she is on screen from 44.45 to 45.15 s only), the loop, the last frame and the held end.
  for (const at of [2000, 4500, 20000, 36100, 44950, 45100, 47500, 61500, 70000]) {
    const want = path.join(scratch, `${at}.png`);
    execFileSync(render, ['--at', String(at), '--out', want, '--assets', site]);
    await page.goto(`${base}/?at=${at}`);
    await page.waitForFunction(() => window.vavarizo && window.vavarizo.webFrames >= 1);
    const off = differing(await shot(page), want);
    check(off <= 4800, `?at=${at} matches vavarizo-render (${off} of 480000 pixels differ)`);
  }
  await page.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}

async function show(browser, base) {
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (m) => m.type() == 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(`${base}/`);
  check(JSON.stringify(await box(page)) == JSON.stringify(question), 'the question, with its caption');
  check((await page.$$eval('dialog.box button', (b) => b.map((x) => x.textContent))).join() == 'Yes,No',
        'the question offers Yes and No');
  await page.keyboard.press('Escape');
  await frames(page, 30);
  check(!(await page.evaluate(() => document.fullscreenElement)), 'Escape answers No: the show stays in the page');
  const blue = share(await shot(page), 'blue');
  check(blue > 0.3 && blue < 0.99, `the canvas shows the show (${(blue * 100).toFixed(0)}% sky)`);
  const clock = () => page.evaluate(() => [window.vavarizo._web_clock_ms(), performance.now()]);
  const [c0, t0] = await clock();
  await new Promise((r) => setTimeout(r, 3000));
  const [c1, t1] = await clock();
  check(Math.abs((c1 - c0) - (t1 - t0)) <= 50, `the clock follows real time (${c1 - c0} ms in ${Math.round(t1 - t0)} ms)`);
  await page.keyboard.press('Escape');
  await page.waitForSelector('#stage.ended', { timeout: 20000 });
  check(await page.evaluate(() => !window.vavarizo.webAudio), 'Escape ends the show and its sound');
  check(errors.length == 0, `no console errors ${errors.join(' | ')}`);
  await page.close();
}

async function ownFiles(browser, base) {
  const page = await browser.newPage();
  await page.goto(`${base}/nomod/`);
  check(JSON.stringify(await box(page)) == '["FmodFel! QZ :)","morvaskfel!"]', 'a missing module gives its box');
  await page.keyboard.press('Enter');
  check(JSON.stringify(await box(page)) == JSON.stringify(question), 'Return answers it, then comes the question');
  await page.keyboard.press('Escape');
  await frames(page, 10);
  // A red grass.bmp (24 bits, bottom-up) under another case, and a file the show does not know.
  const red = execFileSync('convert', ['-size', '1024x128', 'xc:red', '-type', 'TrueColor', 'BMP3:-']);
  await page.evaluate((grass) => {
    const files = new DataTransfer();
    files.items.add(new File([Uint8Array.from(atob(grass), (c) => c.charCodeAt(0))], 'GRASS.bmp'));
    files.items.add(new File(['x'], 'notes.txt'));
    document.dispatchEvent(new DragEvent('drop', { dataTransfer: files, cancelable: true }));
  }, red.toString('base64'));
  check(JSON.stringify(await box(page)) == '["FmodFel! QZ :)","morvaskfel!"]', 'a drop restarts the show');
  check((await page.$eval('#notice', (n) => n.textContent)).includes('notes.txt'), 'an unknown name is ignored with a notice');
  await page.keyboard.press('Enter');
  await box(page);
  await page.keyboard.press('Escape');
  await frames(page, 10);
  const ground = share(await shot(page), 'red', '800x60+0+540');  // the canvas's bottom 60 rows
  check(ground > 0.9, `the dropped grass.bmp replaces the ground (${(ground * 100).toFixed(0)}% of it red)`);
  await page.close();
}

(async () => {
  const server = await serve(site);
  const base = `http://127.0.0.1:${server.address().port}`;
  const { browser, close } = await launch();
  try {
    await stills(browser, base);
    await show(browser, base);
    await ownFiles(browser, base);
  } finally {
    await close();
    server.close();
  }
  console.log(failures ? `${failures} web checks failed` : 'all web checks passed');
  process.exit(failures ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
