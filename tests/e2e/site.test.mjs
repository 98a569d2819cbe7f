// The generated site in a real browser: the bundled example album is turned into two galleries
// with albumora-batch (the second from a folder whose name holds umlauts and blanks, made with the
// program's default download setting and photo-page template), Index writes the table of
// contents, a small web server serves the target folder, and headless chromium walks from the
// table of contents through overview and photo pages and back. Every link of the site is followed
// (downloads through PHP's own server), and the quality gate runs axe-core and html-validate on
// each kind of page and measures how far the photo page moves while its big picture arrives.
//
//   ALBUMORA_PROGRAM_DIR     program folder (albumora-batch, Index, templates, graphics)
//   ALBUMORA_SCREENSHOT_DIR  where the screenshots go (default: beside the program folder)
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs/promises';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

import { chromium } from 'playwright-core';

import { judge, numberStartTags, sourceLines, validateHtml } from './quality.mjs';

const sourceDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const programDir = path.resolve(process.env.ALBUMORA_PROGRAM_DIR || path.join(sourceDir, 'build/albumora'));
const screenshotDir = path.resolve(
  process.env.ALBUMORA_SCREENSHOT_DIR || path.join(programDir, '..', 'e2e-screenshots'));
const chromiumPath = process.env.ALBUMORA_CHROMIUM || '/usr/bin/chromium';

const SPRING = 'Frühling am Meer';
// Windows-1252 beyond Latin-1 (the en dash is byte 0x96) and an ampersand, as typed by a user.
const SPRING_HEADING = 'Frühling am Meer – Möwen & Co.';
const SIGNS = 'Sonderzeichen';
const SIGN_PHOTOS = [['Strand.jpg', 'Bild #3.jpg'], ['Berge.JPG', '100% Sonne.jpg'],
                     ['Wald.jpg', 'Fisch & Chips.jpg'], ['Blumen.jpg', '1+1.jpg']];
const PHONE = { width: 390, height: 844 };
const DESKTOP = { width: 1280, height: 800 };
const require = createRequire(import.meta.url);
const axeSource = await fs.readFile(require.resolve('axe-core/axe.min.js'), 'utf8');

let work;
let server;
let baseUrl;
let browser;
let site;
let php;
// The big pictures are held back until the test lets them go (see the layout-shift test).
let holdBigPictures = null;

// Paths are UTF-8 in links; queries are in the page's own code page, Windows-1252.
function readable(url) {
  try {
    return decodeURIComponent(url);
  } catch {
    return url;
  }
}

function queryValue(search, key) {
  const raw = new RegExp(`[?&]${key}=([^&]*)`).exec(search)?.[1] ?? '';
  const bytes = Buffer.from(raw.replace(/%([0-9A-Fa-f]{2})/g, (_, hex) =>
    String.fromCharCode(parseInt(hex, 16))), 'latin1');
  return new TextDecoder('windows-1252').decode(bytes);
}

function run(program, cwd) {
  try {
    return execFileSync(path.join(programDir, program), [], { cwd, encoding: 'utf8', stdio: 'pipe' });
  } catch (error) {
    throw new Error(`${program} failed (${error.status}):\n${error.stdout}\n${error.stderr}`);
  }
}

// Settings lines are Windows-1252; latin1 keeps every byte as it is.
async function setSetting(file, key, value) {
  const text = (await fs.readFile(file)).toString('latin1');
  const line = new RegExp(`^${key} = .*$`, 'm');
  assert.match(text, line, `${key} in ${file}`);
  const cp1252 = value.replace(/–/g, '\u0096');
  await fs.writeFile(file, Buffer.from(text.replace(line, `${key} = ${cp1252}`), 'latin1'));
}

async function makeSite() {
  const album = path.join(work, 'album');
  await fs.cp(path.join(sourceDir, 'example'), album, { recursive: true });
  // The example's settings name the templates and graphics relative to its folder.
  await fs.cp(path.join(programDir, 'vorlagen'), path.join(album, 'vorlagen'), { recursive: true });
  for (const name of ['anfang.gif', 'ende.gif', 'zurück.gif', 'vor.gif', 'space.gif', 'leer.jpg',
                      'download.php']) {
    await fs.copyFile(path.join(programDir, name), path.join(album, name));
  }
  // A target folder is chosen with a folder dialog, so it exists before the first run.
  await fs.mkdir(path.join(album, 'site'), { recursive: true });
  run('albumora-batch', album);

  const photos = (await fs.readdir(path.join(album, 'Urlaub'))).sort();
  await fs.mkdir(path.join(album, SPRING));
  for (const name of photos.filter((n) => /dünen|strand|wald|blumen/i.test(n))) {
    await fs.copyFile(path.join(album, 'Urlaub', name), path.join(album, SPRING, name));
  }
  const settings = path.join(album, 'Einstellung.alb');
  await setSetting(settings, '#FotosAllgemein_Quellverzeichnis_String', `${SPRING}/`);
  await setSetting(settings, '#WebSeiteAllgemein_Ueberschrift_String', SPRING_HEADING);
  // As a new user has it: no originals, and the program's default photo-page template.
  await setSetting(settings, '#FotosAllgemein_OriginalDownload_CheckBox', '0');
  await setSetting(settings, '#WebSeiteAllgemein_Waehle_grosse_Vorlage_String', 'vorlagen/standard.gvl');
  run('albumora-batch', album);

  // Names whose characters mean something in a link: fragment, escape, query separator, blank.
  await fs.mkdir(path.join(album, SIGNS));
  for (const [source, name] of SIGN_PHOTOS) {
    await fs.copyFile(path.join(album, 'Urlaub', source), path.join(album, SIGNS, name));
  }
  await setSetting(settings, '#FotosAllgemein_Quellverzeichnis_String', `${SIGNS}/`);
  await setSetting(settings, '#FotosAllgemein_OriginalDownload_CheckBox', '1');
  await setSetting(settings, '#WebSeiteAllgemein_Waehle_grosse_Vorlage_String',
                   'vorlagen/standard_download.gvl');
  run('albumora-batch', album);
  run('Index', album);
  return path.join(album, 'site');
}

const contentTypes = {
  '.htm': 'text/html', // no charset: the pages declare their own, as on most servers
  '.css': 'text/css',
  '.jpg': 'image/jpeg',
  '.gif': 'image/gif',
  '.png': 'image/png',
};

function serve(root) {
  const httpServer = http.createServer(async (request, response) => {
    try {
      let relative = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
      if (relative.endsWith('/')) relative += 'index.htm';
      const file = path.join(root, relative);
      if (!file.startsWith(root + path.sep)) throw new Error('outside');
      const body = await fs.readFile(file);
      if (holdBigPictures && relative.includes('/gr/')) await holdBigPictures.promise;
      const type = contentTypes[path.extname(file).toLowerCase()] || 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type }).end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('nicht gefunden');
    }
  });
  return new Promise((resolve) => {
    httpServer.listen(0, '127.0.0.1', () => resolve(httpServer));
  });
}

// PHP's built-in server runs download.php; it starts listening before it says so on stderr.
function servePhp(root) {
  return new Promise((resolve, reject) => {
    const child = spawn('php', ['-S', '127.0.0.1:0', '-t', root], { stdio: ['ignore', 'pipe', 'pipe'] });
    let said = '';
    const onData = (chunk) => {
      said += chunk;
      const port = /Development Server \(http:\/\/127\.0\.0\.1:(\d+)\)/.exec(said);
      if (port) resolve({ child, url: `http://127.0.0.1:${port[1]}` });
    };
    child.stdout.on('data', onData);
    child.stderr.on('data', onData);
    child.on('error', reject);
    child.on('exit', (code) => reject(new Error(`php -S ended (${code}): ${said}`)));
  });
}

before(async () => {
  work = await fs.mkdtemp(path.join(os.tmpdir(), 'albumora-e2e-'));
  site = await makeSite();
  server = await serve(site);
  php = await servePhp(site);
  baseUrl = `http://127.0.0.1:${server.address().port}`;
  // A fresh profile of its own (--user-data-dir), so nothing of an earlier run is cached.
  browser = await chromium.launchPersistentContext(path.join(work, 'chromium-profile'), {
    executablePath: chromiumPath,
    headless: true,
    viewport: DESKTOP,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  await fs.mkdir(screenshotDir, { recursive: true });
});

after(async () => {
  await browser?.close();
  php?.child.kill();
  await new Promise((resolve) => (server ? server.close(resolve) : resolve()));
  if (work) await fs.rm(work, { recursive: true, force: true });
});

async function newPage() {
  const page = await browser.newPage();
  await page.setViewportSize(DESKTOP);
  const failures = [];
  page.on('response', (response) => {
    if (response.status() >= 400 && !response.url().endsWith('/favicon.ico')) {
      failures.push(`${response.status()} ${readable(response.url())}`);
    }
  });
  page.on('requestfailed', (request) => failures.push(`failed ${request.url()}`));
  page.on('pageerror', (error) => failures.push(`script error ${error.message}`));
  return { page, failures };
}

// Every image of the page has arrived with a size; lazy ones are scrolled into view first.
async function expectImagesLoaded(page) {
  await page.$$eval('img', (images) => Promise.all(images.map((image) => {
    image.scrollIntoView();
    if (image.complete) return null;
    return new Promise((resolve) => {
      image.addEventListener('load', resolve, { once: true });
      image.addEventListener('error', resolve, { once: true });
    });
  })));
  await page.evaluate(() => window.scrollTo(0, 0));
  const images = await page.$$eval('img', (all) => all.map((image) => ({
    src: image.getAttribute('src'), width: image.naturalWidth, complete: image.complete,
  })));
  assert.ok(images.length > 0, `no images on ${page.url()}`);
  const broken = images.filter((image) => !image.complete || image.width === 0);
  assert.deepEqual(broken, [], `images not loaded on ${decodeURIComponent(page.url())}`);
  return images;
}

// Text decoded with the wrong code page shows as "Ã¼" or as replacement characters.
async function expectCleanText(page) {
  const text = await page.evaluate(() => `${document.title}\n${document.body.innerText}`);
  assert.doesNotMatch(text, /[\uFFFD\u0080-\u009F]|Ã|Â/, `mis-decoded text on ${page.url()}`);
  return text;
}

async function screenshot(page, name) {
  for (const [size, label] of [[PHONE, 'telefon'], [DESKTOP, 'desktop']]) {
    await page.setViewportSize(size);
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: path.join(screenshotDir, `${name}-${label}.png`) });
  }
  await page.setViewportSize(DESKTOP);
}

async function follow(page, locator, expectedPath) {
  await Promise.all([page.waitForURL((url) => decodeURIComponent(url.pathname) === expectedPath),
                     locator.click()]);
  await expectCleanText(page);
}

// The text navigation of a photo page is written again at its foot; the last one is taken.
function photoLink(page, name) {
  return page.getByRole('link', { name: new RegExp(`^${name}`) }).last();
}

test('the table of contents lists both galleries under both of its names', async () => {
  const { page, failures } = await newPage();
  await page.goto(`${baseUrl}/Index.htm`);
  assert.equal(await page.title(), 'Inhaltsverzeichnis');
  const text = await expectCleanText(page);
  assert.match(text, /frühling am meer\s+4 Fotos/);
  assert.match(text, /urlaub\s+8 Fotos/);
  assert.ok(text.indexOf('frühling am meer') < text.indexOf('urlaub'), 'sorted by name');
  await expectImagesLoaded(page);
  await screenshot(page, 'inhaltsverzeichnis');

  const upper = await (await page.request.get(`${baseUrl}/Index.htm`)).body();
  const lower = await (await page.request.get(`${baseUrl}/index.htm`)).body();
  assert.ok(upper.length > 0 && upper.equals(lower), 'Index.htm and index.htm are the same page');
  assert.deepEqual(failures, []);
  await page.close();
});

test('from the table of contents through a gallery and back', async () => {
  const { page, failures } = await newPage();
  await page.goto(`${baseUrl}/Index.htm`);

  await follow(page, page.getByRole('link', { name: /urlaub/ }), '/fotos/urlaub/fotos_1.htm');
  assert.equal(await page.locator('h1').innerText(), 'Urlaub an der Küste');
  const thumbnails = await expectImagesLoaded(page);
  assert.equal(thumbnails.filter((image) => image.src.startsWith('kl/k_')).length, 6);
  await screenshot(page, 'uebersicht');

  await follow(page, page.locator('a[href="bild_1.htm"]').first(), '/fotos/urlaub/bild_1.htm');
  const big = await expectImagesLoaded(page);
  assert.ok(big.some((image) => image.src.startsWith('gr/g_') && image.width >= 440));
  await screenshot(page, 'foto');

  // First, previous, next and last, wrapping around at both ends.
  await follow(page, photoLink(page, 'Vorwärts'), '/fotos/urlaub/bild_2.htm');
  await follow(page, photoLink(page, 'Letztes Foto'), '/fotos/urlaub/bild_8.htm');
  await follow(page, photoLink(page, 'Vorwärts'), '/fotos/urlaub/bild_1.htm');
  await follow(page, photoLink(page, 'Rückwärts'), '/fotos/urlaub/bild_8.htm');
  await follow(page, photoLink(page, 'Rückwärts'), '/fotos/urlaub/bild_7.htm');
  await follow(page, photoLink(page, 'Erstes Foto'), '/fotos/urlaub/bild_1.htm');
  await follow(page, photoLink(page, 'Vorwärts'), '/fotos/urlaub/bild_2.htm');
  await follow(page, photoLink(page, 'Vorwärts'), '/fotos/urlaub/bild_3.htm');
  assert.ok((await expectImagesLoaded(page)).some((image) => image.src === 'gr/g_dünen.jpg'),
            'the photo with an umlaut in its name');
  await follow(page, photoLink(page, 'Letztes Foto'), '/fotos/urlaub/bild_8.htm');
  await expectImagesLoaded(page);

  // Photo 8 is on the second overview page, which ends with an empty cell.
  await follow(page, page.getByRole('link', { name: 'Zurück zu den Miniaturen' }),
               '/fotos/urlaub/fotos_2.htm');
  const second = await expectImagesLoaded(page);
  assert.ok(second.some((image) => image.src === 'kl/leer.jpg'), 'empty cell on the last page');

  await follow(page, page.getByRole('link', { name: /Zurück zum Inhalt/ }), '/index.htm');
  assert.equal(await page.title(), 'Inhaltsverzeichnis');
  await expectImagesLoaded(page);
  assert.deepEqual(failures, []);
  await page.close();
});

test('a gallery whose folder name holds umlauts and blanks', async () => {
  const { page, failures } = await newPage();
  await page.goto(`${baseUrl}/Index.htm`);
  await follow(page, page.getByRole('link', { name: /frühling am meer/ }),
               '/fotos/frühling am meer/fotos_1.htm');
  assert.equal(await page.locator('h1').innerText(), SPRING_HEADING);
  await expectImagesLoaded(page);

  await follow(page, page.locator('a[href="bild_2.htm"]').first(), '/fotos/frühling am meer/bild_2.htm');
  assert.ok((await expectImagesLoaded(page)).some((image) => image.src === 'gr/g_dünen.jpg'));
  await follow(page, page.getByRole('link', { name: 'Zurück zu den Miniaturen' }),
               '/fotos/frühling am meer/fotos_1.htm');
  await follow(page, page.getByRole('link', { name: /Zurück zum Inhalt/ }), '/index.htm');
  assert.deepEqual(failures, []);
  await page.close();
});

// Every link, picture and style sheet of every page reachable from the table of contents answers;
// downloads go through PHP and hand out the original byte for byte.
test('every link of the site leads somewhere', async () => {
  const { page, failures } = await newPage();
  const pending = [`${baseUrl}/Index.htm`];
  const seen = new Set(pending);
  const external = new Set();
  let downloads = 0;
  while (pending.length > 0) {
    const url = pending.shift();
    await page.goto(url);
    const targets = await page.$$eval('a[href], img[src], link[href]', (all) => all.map((element) => ({
      tag: element.localName, raw: element.getAttribute('href') ?? element.getAttribute('src'),
      url: element.href || element.src,
    })));
    for (const target of targets) {
      if (target.tag === 'a' && target.raw === '') continue;  // an empty cell's hidden link
      const address = new URL(target.url);
      address.hash = '';
      if (address.origin !== baseUrl) {
        external.add(address.href);
        continue;
      }
      if (seen.has(address.href)) continue;
      seen.add(address.href);
      const where = `${readable(address.href)} (on ${readable(url)})`;
      if (address.pathname.endsWith('/download.php')) {
        const answer = await page.request.get(php.url + address.pathname + address.search);
        assert.equal(answer.status(), 200, where);
        const gallery = path.join(site, decodeURIComponent(path.posix.dirname(address.pathname)));
        const name = queryValue(address.search, 'file');
        assert.ok((await answer.body()).equals(await fs.readFile(path.join(gallery, 'original', name))),
                  `${where} hands out the original`);
        ++downloads;
      } else if (/\.htm$/.test(address.pathname)) {
        pending.push(address.href);
      } else {
        assert.equal((await page.request.get(address.href)).status(), 200, where);
      }
    }
  }
  assert.deepEqual([...external], ['https://albumora.example/']);
  assert.equal(downloads, 8 + 4, 'one download per photo of the galleries that offer them');
  // Table of contents (twice), 2 + 1 + 1 overview pages, 8 + 4 + 4 photo pages.
  assert.equal([...seen].filter((url) => url.endsWith('.htm')).length, 22);
  const signs = [...seen].map((url) => queryValue(new URL(url).search, 'file')).filter(Boolean);
  for (const [, name] of SIGN_PHOTOS) assert.ok(signs.includes(name.toLowerCase()), name);
  assert.deepEqual(failures, []);
  await page.close();
});

const GATE_PAGES = [
  ['table of contents', '/Index.htm'],
  ['full overview page', '/fotos/urlaub/fotos_1.htm'],
  ['partly empty overview page', '/fotos/urlaub/fotos_2.htm'],
  ['landscape photo page with download', '/fotos/urlaub/bild_1.htm'],
  ['portrait photo page', `/fotos/${SPRING.toLowerCase()}/bild_1.htm`],
];
const GATE_VIEWS = [
  ['390 px light', PHONE, 'light'], ['390 px dark', PHONE, 'dark'],
  ['1280 px light', DESKTOP, 'light'], ['1280 px dark', DESKTOP, 'dark'],
];

async function pageSource(relative) {
  return (await fs.readFile(path.join(site, relative))).toString('latin1');
}

// axe-core on the page as served, with every start tag numbered by its line (see quality.mjs).
async function axeFindings(page, relative, size, scheme) {
  await page.route('**/*.htm', async (route) => {
    const response = await route.fetch();
    const body = Buffer.from(numberStartTags((await response.body()).toString('latin1')), 'latin1');
    await route.fulfill({ response, body });
  });
  await page.setViewportSize(size);
  await page.emulateMedia({ colorScheme: scheme });
  await page.goto(baseUrl + encodeURI(relative));
  await expectImagesLoaded(page);
  await page.addScriptTag({ content: axeSource });
  const violations = await page.evaluate(async () => {
    const result = await window.axe.run(document, {
      runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'] },
    });
    return result.violations.flatMap((violation) => violation.nodes.map((node) => {
      const element = document.querySelector(node.target[0]);
      const line = element?.closest('[data-zeile]')?.dataset.zeile;
      return { tool: 'axe', rule: violation.id, line: line ? Number(line) : 0,
               message: node.failureSummary?.split('\n')[1]?.trim() };
    }));
  });
  await page.unroute('**/*.htm');
  return violations;
}

test('the quality gate: axe-core and html-validate find nothing new', async () => {
  const { page, failures } = await newPage();
  const found = [];
  const known = new Set();
  for (const [label, relative] of GATE_PAGES) {
    const lines = sourceLines(new TextDecoder('windows-1252').decode(
      Buffer.from(await pageSource(relative), 'latin1')));
    const verdicts = [judge(await validateHtml(lines.join('\n')), lines)];
    for (const [view, size, scheme] of GATE_VIEWS) {
      verdicts.push(judge(await axeFindings(page, relative, size, scheme), lines));
      for (const record of verdicts.at(-1).failures) found.push(`${label}, ${view}: ${record}`);
    }
    for (const record of verdicts[0].failures) found.push(`${label}: ${record}`);
    for (const verdict of verdicts) verdict.known.forEach((record) => known.add(record));
  }
  if (process.env.ALBUMORA_E2E_VERBOSE) console.log([...known, ...found].join('\n'));
  assert.deepEqual(found, [], 'findings on template lines, or new ones on program lines');
  assert.ok(known.size > 0, 'the program-written navigation is known to carry findings');
  assert.deepEqual(failures, []);
  await page.close();
});

// The big picture is held back by the server until the page has painted without it; the page
// must not move when it arrives (cumulative layout shift, as the browser reports it).
test('the photo page keeps its place while the big picture arrives', async (t) => {
  const pages = [['landscape', '/fotos/urlaub/bild_1.htm'],
                 ['portrait', `/fotos/${SPRING.toLowerCase()}/bild_1.htm`]];
  for (const [label, relative] of pages) {
    for (const size of [PHONE, DESKTOP]) {
      const { page, failures } = await newPage();
      await page.setViewportSize(size);
      await page.addInitScript(() => {
        window.layoutShift = 0;
        new PerformanceObserver((list) => {
          for (const entry of list.getEntries()) {
            if (!entry.hadRecentInput) window.layoutShift += entry.value;
          }
        }).observe({ type: 'layout-shift', buffered: true });
      });
      let release;
      holdBigPictures = { promise: new Promise((resolve) => { release = resolve; }) };
      try {
        await page.goto(baseUrl + encodeURI(relative), { waitUntil: 'domcontentloaded' });
        // Two frames: the page has been laid out and painted without its big picture.
        await page.evaluate(() => new Promise((resolve) =>
          requestAnimationFrame(() => requestAnimationFrame(resolve))));
        assert.equal(await page.$eval('.gross img', (image) => image.complete), false,
                     'the big picture was held back');
      } finally {
        release();
        holdBigPictures = null;
      }
      await expectImagesLoaded(page);
      const shift = await page.evaluate(() => new Promise((resolve) =>
        requestAnimationFrame(() => requestAnimationFrame(() => resolve(window.layoutShift)))));
      t.diagnostic(`${label} at ${size.width} px: layout shift ${shift.toFixed(4)}`);
      assert.ok(shift <= 0.02, `${label} at ${size.width} px: layout shift ${shift.toFixed(3)}`);
      assert.deepEqual(failures, []);
      await page.close();
    }
  }
});

// With the keyboard: every stop is a link that goes somewhere, its focus ring is drawn whole, and
// the graphic arrows are named (by the style sheet) in the browser's accessibility tree.
test('every keyboard stop is a named link with a visible focus ring', async () => {
  const { page, failures } = await newPage();
  for (const relative of ['/fotos/urlaub/fotos_2.htm', '/fotos/urlaub/bild_1.htm']) {
    await page.goto(baseUrl + relative);
    const links = await page.$$eval('a[href]', (all) => all.filter((a) => a.checkVisibility({ visibilityProperty: true })).length);
    for (let stop = 0; stop < links; ++stop) {
      await page.keyboard.press('Tab');
      const focused = await page.evaluate(() => {
        const element = document.activeElement;
        const style = getComputedStyle(element);
        let clipped = null;
        for (let up = element.parentElement; up && up !== document.body; up = up.parentElement) {
          if (getComputedStyle(up).overflow !== 'visible') clipped = up.localName + '.' + up.className;
        }
        return { tag: element.localName, href: element.getAttribute('href'), html: element.outerHTML.slice(0, 80),
                 outline: `${style.outlineStyle} ${parseFloat(style.outlineWidth)}`, clipped };
      });
      const where = `${relative}, stop ${stop + 1}: ${focused.html}`;
      assert.equal(focused.tag, 'a', where);
      assert.ok(focused.href, `${where} leads nowhere`);
      assert.equal(focused.outline, 'solid 3', where);
      assert.equal(focused.clipped, null, `${where} is clipped`);
    }
  }
  for (const name of ['Erstes Foto', 'Voriges Foto', 'Nächstes Foto']) {
    assert.equal(await page.getByRole('link', { name, exact: true }).count(), 1, name);
  }
  assert.deepEqual(failures, []);
  await page.close();
});
