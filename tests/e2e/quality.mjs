// What the quality gate of the browser test knows about a page: which of its lines the program
// writes itself, and which findings of axe-core and html-validate those lines are known to carry.
// A finding is tied to the source line of the element it names; it passes only when that line is
// program-written and the rule and line are listed below. Anything else, on a template line or a
// new finding on a program line, fails the gate.
import { HtmlValidate } from 'html-validate';

// Program-written lines, each with the rules known to fire on it. Lines are matched as a whole,
// after the photo numbers and file names that vary from page to page.
export const KNOWN_PROGRAM_LINES = [
  // The graphic navigation of a photo page: arrows without alt, in links whose only content they
  // are. The style sheet names the links for the browser's accessibility tree (CSS alternative
  // text), which neither tool reads.
  { line: /^<a( titel="Erstes Foto")? href="bild_\d+\.htm"><img border="0" src="(anfang|zurück|vor|ende)\.gif" width="20" height="20"><\/a>$/,
    axe: ['link-name', 'image-alt'], validator: ['no-deprecated-attr', 'wcag/h30', 'wcag/h37'] },
  { line: /^<img border="0" src="space\.gif" width="20" height="20">$/,
    axe: ['image-alt'], validator: ['no-deprecated-attr', 'wcag/h37'] },
  // That navigation stands in the head block: <center> opens the body outside <main>, and its
  // rule comes where only head content may.
  { line: /^<center>$/, axe: ['region'], validator: ['deprecated', 'element-permitted-content'] },
  { line: /^<\/center><hr>$/, axe: [], validator: ['element-permitted-content'] },
  // The text navigation and the footer: <center> and <font>, outside the template's landmarks.
  { line: /^(<br><hr>)?<center><b>$/, axe: ['region'], validator: ['deprecated', 'element-permitted-content'] },
  { line: /^<center><font size="2" face="Verdana"><font color="#FF0000">Sie sehen Fotos Nr\.<\/font>$/,
    axe: ['region'], validator: ['deprecated'] },
  { line: /^\[<a href="fotos_\d+\.htm">(<font color="#FF0000">)?\d+-\d+(<\/font>)?<\/a>\]$/,
    axe: [], validator: ['deprecated'] },
  // "Zurück zum Inhalt" is never closed, and its arrows of "--" and "<" stop the validator's
  // tokenizer (browsers read the line as text and re-open the link, which the style sheet hides).
  { line: /^<a href="\.\.\/\.\.\/index\.htm"> -->Zurück zum Inhalt<-- <\/center><\/font><hr>$/,
    axe: [], validator: ['parser-error'] },
  { line: /^<a href="https:\/\/albumora\.example"><font size="1" color="#808080">$/,
    axe: ['region'], validator: ['deprecated', 'element-permitted-content'] },
  { line: /^<center>Erstellt mit .* - Download von .*<\/center><\/font><\/a>$/,
    axe: [], validator: ['deprecated'] },
];

// Template lines with a finding kept on purpose: the program writes its pages in Windows-1252,
// and the page has to say so, while the HTML standard asks for UTF-8 in new documents.
export const ACCEPTED_TEMPLATE_LINES = [
  { line: /^(<head>)?<meta charset="windows-1252">(<meta name="viewport" content="[^"]*">)?$/,
    axe: [], validator: ['attribute-allowed-values'] },
];

export function findKnown(line) {
  return [...KNOWN_PROGRAM_LINES, ...ACCEPTED_TEMPLATE_LINES].find((known) => known.line.test(line));
}

// Every start tag gets the number of the line it starts on, so that a finding on an element can
// be traced back to its line (elements the parser makes up inherit the attribute when they are
// clones of a written one, as the re-opened links are).
export function numberStartTags(html) {
  return html.split(/\r\n|\n|\r/).map((line, index) =>
    line.replace(/<([a-zA-Z][a-zA-Z0-9]*)(?=[\s>/])/g, `<$1 data-zeile="${index + 1}"`),
  ).join('\r\n');
}

export function sourceLines(html) {
  return html.split(/\r\n|\n|\r/);
}

// Sorts findings { tool, rule, line (1-based), message } into known ones and failures.
export function judge(findings, lines) {
  const known = [];
  const failures = [];
  for (const finding of findings) {
    const text = finding.line ? lines[finding.line - 1] ?? '' : '';
    const entry = findKnown(text);
    const rules = entry ? entry[finding.tool] : [];
    const record = `${finding.tool} ${finding.rule} at line ${finding.line}: ${text.trim()}` +
                   (finding.message ? ` (${finding.message})` : '');
    (rules.includes(finding.rule) ? known : failures).push(record);
  }
  return { known, failures };
}

// html-validate's recommended rules, less those about writing style. Inline styles stay allowed:
// the templates pass per-page values (column count, the big picture's proportions) that way.
const validator = new HtmlValidate({
  extends: ['html-validate:recommended'],
  rules: {
    // Style preferences of the validator, not faults of a page.
    'attribute-boolean-style': 'off',
    'attribute-empty-style': 'off',
    'no-inline-style': 'off',
    'void-style': 'off',
    'no-trailing-whitespace': 'off',
    'doctype-style': 'off',
    // A lone "&" followed by a blank is no character reference; HTML allows it as it is.
    'no-raw-characters': ['error', { relaxed: true }],
  },
});

export async function validateHtml(html) {
  const report = await validator.validateString(html);
  const findings = [];
  for (const result of report.results) {
    for (const message of result.messages) {
      if (message.severity < 2) continue;
      findings.push({ tool: 'validator', rule: message.ruleId, line: message.line,
                      message: message.message });
    }
  }
  return findings;
}
