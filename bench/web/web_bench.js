'use strict';
// The browser build's goals: page weight as a server sends it (gzip), time to the first frame,
// and the frame rate with its 99th-percentile frame time in headless Chromium.
// Usage: node web_bench.js SITE_DIR [SECONDS]   (make bench-web)
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { serve, launch, box, frames } = require('../../tests/web/harness');

const site = path.resolve(process.argv[2]);
const seconds = Number(process.argv[3] || 10);

function weight() {
  let raw = 0;
  let packed = 0;
  for (const name of fs.readdirSync(site)) {
    const bytes = fs.readFileSync(path.join(site, name));
    raw += bytes.length;
    packed += zlib.gzipSync(bytes, { level: 9 }).length;
  }
  return [raw, packed];
}

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

(async () => {
  const [raw, packed] = weight();
  console.log(`page weight: ${(packed / 1e6).toFixed(2)} MB gzip -9 (${(raw / 1e6).toFixed(2)} MB as files)`);
  const server = await serve(site);
  const base = `http://127.0.0.1:${server.address().port}`;
  const { browser, close } = await launch();
  try {
    // First frame, counted from the start of navigation; the time the question waited for its
    // answer is taken off, as a person's reading time is not the page's.
    const stills = [];
    const shows = [];
    for (let i = 0; i < 5; i++) {
      const page = await browser.newPage();
      await page.goto(`${base}/?at=20000`);
      await page.waitForFunction(() => window.vavarizo && window.vavarizo.webFirstFrame);
      stills.push(await page.evaluate(() => window.vavarizo.webFirstFrame));
      await page.goto(`${base}/`);
      await box(page);
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => window.vavarizo.webFirstFrame);
      shows.push(await page.evaluate(() => window.vavarizo.webFirstFrame - window.vavarizo.webBoxMs));
      await page.close();
    }
    console.log(`first frame: still ${median(stills).toFixed(0)} ms, show ${median(shows).toFixed(0)} ms ` +
                `(median of 5, from navigation start)`);

    const page = await browser.newPage();
    await page.goto(`${base}/`);
    await box(page);
    await page.keyboard.press('Escape');
    await frames(page, 30);
    const times = await page.evaluate((ms) => new Promise((resolve) => {
      const t = [];
      window.vavarizo.onFrame = () => t.push(performance.now());
      setTimeout(() => resolve(t), ms);
    }), seconds * 1000);
    const gaps = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
    const fps = (times.length - 1) / ((times[times.length - 1] - times[0]) / 1000);
    const p99 = gaps[Math.min(gaps.length - 1, Math.floor(gaps.length * 0.99))];
    console.log(`frames: ${fps.toFixed(1)} per second over ${seconds} s, frame time p99 ${p99.toFixed(1)} ms`);
  } finally {
    await close();
    server.close();
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
