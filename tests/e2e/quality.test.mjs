// The quality gate's own bookkeeping, without a browser: line numbering, the verdicts, and that
// the known findings can only ever excuse a line the program writes, never a template line.
import assert from 'node:assert/strict';
import fs from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { KNOWN_PROGRAM_LINES, judge, numberStartTags, validateHtml } from './quality.mjs';

const templates = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../resources/vorlagen');

test('start tags carry the number of the line they start on', () => {
  const cases = [
    ['<p>a</p>\r\n<img src="x"\r\n alt="y">', '<p data-zeile="1">a</p>\r\n<img data-zeile="2" src="x"\r\n alt="y">'],
    ['<!-- x -->\n</div><br>', '<!-- x -->\r\n</div><br data-zeile="2">'],
    ['a < b\r<a href="">', 'a < b\r\n<a data-zeile="2" href="">'],
  ];
  for (const [html, numbered] of cases) assert.equal(numberStartTags(html), numbered);
});

test('a finding passes only on a known program line under a rule listed for it', () => {
  const lines = ['<a href="bild_3.htm"><img border="0" src="vor.gif" width="20" height="20"></a>',
                 '<img src="gr/g_x.jpg"', '</center><hr>'];
  const { known, failures } = judge([
    { tool: 'axe', rule: 'link-name', line: 1 },                  // known
    { tool: 'axe', rule: 'color-contrast', line: 1 },             // new rule on a known line
    { tool: 'validator', rule: 'link-name', line: 1 },            // the rule of the other tool
    { tool: 'axe', rule: 'link-name', line: 2 },                  // a template line
    { tool: 'validator', rule: 'element-permitted-content', line: 3 },
    { tool: 'axe', rule: 'region', line: 0 },                     // an element with no line
  ], lines);
  assert.equal(known.length, 2);
  assert.deepEqual(failures.map((f) => f.split(':')[0]),
                   ['axe color-contrast at line 1', 'validator link-name at line 1',
                    'axe link-name at line 2', 'axe region at line 0']);
});

test('no known program line matches a line of the default templates', async () => {
  for (const name of await fs.readdir(templates)) {
    if (!/\.(_vl|gvl)$/.test(name)) continue;
    const text = new TextDecoder('windows-1252').decode(await fs.readFile(path.join(templates, name)));
    for (const line of text.split(/\r\n/)) {
      const hit = KNOWN_PROGRAM_LINES.find((known) => known.line.test(line));
      assert.equal(hit, undefined, `${name}: ${line}`);
    }
  }
});

test('the validator reports what it should and accepts what HTML allows', async () => {
  const page = (body) => `<!DOCTYPE html>\n<html lang="de">\n<head><title>t</title></head>\n` +
                         `<body>\n${body}\n</body>\n</html>\n`;
  const rules = async (body) => (await validateHtml(page(body))).map((f) => `${f.rule}@${f.line}`);
  assert.deepEqual(await rules('<h1>Möwen & Co.</h1>'), []);
  assert.deepEqual(await rules('<main><a href="x.htm"><img src="x.jpg" alt=""></a></main>'),
                   ['wcag/h30@5']);
  assert.ok((await rules('<main><div><span></div></main>')).includes('close-order@5'));
});
