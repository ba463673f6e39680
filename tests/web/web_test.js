'use strict';
// The browser build in headless Chromium: stills against vavarizo-render, the question, the
// clock against real time, Escape, a missing module and a dropped BMP.
// Usage: node web_test.js SITE_DIR VAVARIZO_RENDER
const { execFileSync } = require('child_process');
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

// Pixel work happens in a blank page of its own: it decodes PNGs and counts there.
async function lab(browser) {
  const page = await browser.newPage();
  await page.evaluate(() => {
    window.pixels = async (png) => {
      const image = new Image();
      image.src = 'data:image/png;base64,' + png;
      await image.decode();
      const c = new OffscreenCanvas(800, 600).getContext('2d');
      c.drawImage(image, 0, 0);
      return c.getImageData(0, 0, 800, 600).data;
    };
    // Share of pixels for which test(p, i) holds; p is the first image, q the second.
    window.share = async (a, b, test) => {
      const [p, q] = [await pixels(a), b && (await pixels(b))];
      const f = new Function('p', 'q', 'i', 'return ' + test);
      let n = 0;
      for (let i = 0; i < p.length; i += 4) if (f(p, q, i)) n++;
      return n / (800 * 600);
    };
  });
  return (a, b, test) => page.evaluate((a, b, t) => share(a, b, t), a.toString('base64'), b && b.toString('base64'), test);
}

const far = 'Math.max(Math.abs(p[i]-q[i]), Math.abs(p[i+1]-q[i+1]), Math.abs(p[i+2]-q[i+2])) > 16';
const sky = 'p[i] < 16 && p[i+1] < 16 && p[i+2] > 240';
const redGround = 'i >= 4 * 800 * 540 && p[i] > 200 && p[i+1] < 40 && p[i+2] < 40';  // the bottom 60 rows

const shot = (page) => page.screenshot({ clip: { x: 0, y: 0, width: 800, height: 600 } });

async function stills(browser, base, share) {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vavarizo-web-'));
  const page = await browser.newPage();
  // The start, the big frame, the ground scrolling, the lamp, the cow, its knock-away, the
  // loop, the last frame and the held end.
  for (const at of [2000, 4500, 20000, 36100, 43000, 45500, 47500, 61500, 70000]) {
    const want = path.join(scratch, `${at}.png`);
    execFileSync(render, ['--at', String(at), '--out', want, '--assets', site]);
    await page.goto(`${base}/?at=${at}`);
    await page.waitForFunction(() => window.vavarizo && window.vavarizo.webFrames >= 1);
    const off = await share(await shot(page), fs.readFileSync(want), far);
    check(off <= 0.01, `?at=${at} matches vavarizo-render (${(off * 100).toFixed(2)}% differ)`);
  }
  await page.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}

async function show(browser, base, share) {
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
  const blue = await share(await shot(page), null, sky);
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

async function ownFiles(browser, base, share) {
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
  const ground = await share(await shot(page), null, redGround);
  check(ground > 0.09, `the dropped grass.bmp replaces the ground (${(ground * 1000).toFixed(0)}% of it red)`);
  await page.close();
}

(async () => {
  const server = await serve(site);
  const base = `http://127.0.0.1:${server.address().port}`;
  const { browser, close } = await launch();
  try {
    const share = await lab(browser);
    await stills(browser, base, share);
    await show(browser, base, share);
    await ownFiles(browser, base, share);
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
