'use strict';
// Serves the site on 127.0.0.1 and drives it in Debian's headless Chromium. Under /nomod/ the
// same site lacks its module, as a folder without morvask1.xm would.
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve(site) {
  const server = http.createServer((req, res) => {
    let name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const noModule = name.startsWith('/nomod/');
    if (noModule) name = name.slice('/nomod'.length);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(site, path.normalize(name));
    if (!file.startsWith(site) || (noModule && name == '/morvask1.xm') || !fs.existsSync(file)) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vavarizo-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    defaultViewport: { width: 800, height: 600, deviceScaleFactor: 1 },
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--hide-scrollbars',
           '--disable-background-networking', '--no-first-run', '--disable-component-update', '--disable-sync'],
  });
  return { browser, close: async () => {
    await browser.close();  // returns once Chromium has exited, done with its profile
    fs.rmSync(profile, { recursive: true, force: true });
  } };
}

// The page's first box: its caption and text.
async function box(page) {
  await page.waitForSelector('dialog.box[open]');
  return page.$eval('dialog.box', (d) => [d.querySelector('h1').textContent, d.querySelector('p').textContent]);
}

// Waits until the show has drawn `count` more frames than it had.
async function frames(page, count) {
  const from = await page.evaluate(() => window.vavarizo.webFrames || 0);
  await page.waitForFunction((n) => (window.vavarizo.webFrames || 0) >= n, { timeout: 20000 }, from + count);
}

module.exports = { serve, launch, box, frames };
