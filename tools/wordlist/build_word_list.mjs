// Builds data/dicy.ini, the starter word list, from the phrase-book windows'
// tables and from CLDR's English and Balochi (bal-Latn) locale data, and
// writes the CLDR license notice beside it (CR LF, like Readme.txt).
//
//   node build_word_list.mjs PACKAGES_DIR REPO_ROOT [--verbose]
//
// PACKAGES_DIR holds the unpacked npm packages, one folder each, named as the
// packages (cldr-localenames-full/package/...). The output depends on nothing
// but these inputs: no clock, no locale, no host.
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [packagesDir, root, verbose] = process.argv.slice(2);
if (!packagesDir || !root) {
    console.error('usage: node build_word_list.mjs PACKAGES_DIR REPO_ROOT [--verbose]');
    process.exit(2);
}

// --- Windows-1252, as the program reads and writes the word list -----------

// 0x80-0x9F; the other bytes are the Unicode code points of the same number.
// The five undefined bytes are left out: no word needs them.
const HIGH = [0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,
    0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,
    0x017E, 0x0178];
const TO_BYTE = new Map();
for (let b = 0x20; b < 0x100; ++b) {
    const cp = b >= 0x80 && b < 0xA0 ? HIGH[b - 0x80] : b;
    if (cp && b !== 0x7F)
        TO_BYTE.set(cp, b);
}

// Bytes of a printable Windows-1252 text, or null when a character (a line
// break or another control character included) has no place in a line.
function encode(text) {
    const bytes = [];
    for (const ch of text) {
        const b = TO_BYTE.get(ch.codePointAt(0));
        if (b === undefined)
            return null;
        bytes.push(b);
    }
    return Buffer.from(bytes);
}

// The program's own upper-casing: a-z, the accented small letters and four
// specials; every other byte (0xDF, 0xB5 ...) stays.
function upper(bytes) {
    return Buffer.from(bytes.map((b) => {
        if ((b >= 0x61 && b <= 0x7A) || (b >= 0xE0 && b <= 0xFE && b !== 0xF7))
            return b - 0x20;
        return { 0x9A: 0x8A, 0x9C: 0x8C, 0x9E: 0x8E, 0xFF: 0x9F }[b] ?? b;
    }));
}

// --- the inputs ---------------------------------------------------------------

function json(pkg, locale, file) {
    const path = join(packagesDir, pkg, 'package', 'main', locale, `${file}.json`);
    return JSON.parse(readFileSync(path, 'utf8')).main[locale];
}

// The phrase-book windows' tables, read from their sources so that the list
// can never disagree with what the windows show.
function phraseBook() {
    const rows = [];
    for (const [file, count] of [['numbers_window.cpp', 11], ['days_window.cpp', 7], ['technology_window.cpp', 5]]) {
        const source = readFileSync(join(root, 'windows', file), 'utf8');
        const found = [...source.matchAll(/\{"([^"]*)", "([^"]*)", (?:"[^"]*"|nullptr)\}/g)];
        if (found.length !== count)
            throw new Error(`${file}: expected ${count} phrase-book rows, found ${found.length}`);
        rows.push(...found.map((m) => ({ english: m[1], balochi: m[2] })));
    }
    return rows;
}

// Each category: the Balochi and the English name of every code, read from
// the same place in both locales.
function pairs(pkg, file, pick) {
    const bal = pick(json(pkg, 'bal-Latn', file));
    const en = pick(json(pkg, 'en', file));
    return Object.keys(bal).map((code) => ({ code, balochi: bal[code], english: en[code] }));
}
const names = (pkg, file, ...path) => pairs(pkg, file, (locale) => path.reduce((node, key) => node[key], locale));
const gregorian = (part) => (locale) => locale.dates.calendars.gregorian[part].format.wide;
const DATE_FIELDS = ['year', 'month', 'week', 'day', 'hour', 'minute', 'second'];
const RELATIVE_DAYS = { yesterday: 'relative-type--1', today: 'relative-type-0', tomorrow: 'relative-type-1' };

const CATEGORIES = [
    ['territories', () => names('cldr-localenames-full', 'territories', 'localeDisplayNames', 'territories')],
    ['languages', () => names('cldr-localenames-full', 'languages', 'localeDisplayNames', 'languages')],
    ['scripts', () => names('cldr-localenames-full', 'scripts', 'localeDisplayNames', 'scripts')],
    ['days of the week', () => pairs('cldr-dates-full', 'ca-gregorian', gregorian('days'))],
    ['months', () => pairs('cldr-dates-full', 'ca-gregorian', gregorian('months'))],
    ['date fields', () => pairs('cldr-dates-full', 'dateFields', (locale) => {
        const fields = locale.dates.fields;
        const picked = Object.fromEntries(DATE_FIELDS.map((f) => [f, fields[f].displayName]));
        for (const [word, key] of Object.entries(RELATIVE_DAYS))
            picked[word] = fields.day[key];
        return picked;
    })],
    ['currencies', () => pairs('cldr-numbers-full', 'currencies', (locale) => Object.fromEntries(
        Object.entries(locale.numbers.currencies).map(([code, c]) => [code, c.displayName])))],
];

// --- what is left out, and why --------------------------------------------------

const REASONS = {
    alternate: 'a variant or alternate form (code marked -alt-)',
    noName: 'no English or no Balochi name for the code',
    notAWord: 'Balochi side a code or abbreviation, alone or beside the name (equal to the code, '
        + 'a word of 2-5 capitals the English lacks, digits, no letters)',
    malformed: 'Balochi side garbled (brackets inside brackets)',
    badEnglish: 'English side not findable again (=, leading [, outer spaces, control or non-Windows-1252 character)',
    badBalochi: 'Balochi side not Windows-1252, or holding a control character or outer spaces',
    duplicate: 'English word already in the list (letter case ignored)',
};

function whyLeftOut({ code, english, balochi }) {
    if (code.includes('-alt-'))
        return 'alternate';
    if (typeof english !== 'string' || english === '' || typeof balochi !== 'string' || balochi === '')
        return 'noName';
    // A capitalised code alone or beside the name ("TRKM", "Swáhéli (CD)"),
    // unless the English name holds it too ("CFA Franc").
    const capitals = balochi.match(/(?<!\p{L})\p{Lu}{2,5}(?!\p{L})/gu) ?? [];
    if (balochi === code || /\d/.test(balochi) || !/\p{L}/u.test(balochi)
        || capitals.some((word) => !english.split(/[^\p{L}]+/u).includes(word)))
        return 'notAWord';
    if (/\([^)]*\(/.test(balochi))
        return 'malformed';
    if (english.includes('=') || english.trimStart().startsWith('[') || english.trim() !== english
        || encode(english) === null)
        return 'badEnglish';
    if (balochi.trim() !== balochi || encode(balochi) === null)
        return 'badBalochi';
    return null;
}

// --- the list -------------------------------------------------------------------

const lines = [Buffer.from('[lexon]')];
const taken = new Set();
const add = (english, balochi) => {
    const key = upper(english).toString('latin1');
    if (taken.has(key))
        return false;
    taken.add(key);
    lines.push(Buffer.concat([english, Buffer.from('='), upper(balochi)]));
    return true;
};

const book = phraseBook();
for (const { english, balochi } of book) {
    if (!add(encode(english), encode(balochi)))
        throw new Error(`phrase book: ${english} twice`);
}

const report = [`phrase book: ${book.length}`];
const leftOut = Object.fromEntries(Object.keys(REASONS).map((r) => [r, 0]));
const leaveOut = (reason, category, { code, english, balochi }) => {
    ++leftOut[reason];
    if (verbose === '--verbose')
        console.error(`left out (${reason}): ${category} ${code ?? ''} ${JSON.stringify(english)} ${JSON.stringify(balochi)}`);
};
for (const [category, read] of CATEGORIES) {
    const kept = [];
    for (const pair of read()) {
        const reason = whyLeftOut(pair);
        if (reason)
            leaveOut(reason, category, pair);
        else
            kept.push({ english: encode(pair.english), balochi: encode(pair.balochi) });
    }
    kept.sort((a, b) => Buffer.compare(a.english, b.english) || Buffer.compare(a.balochi, b.balochi));
    let count = 0;
    for (const { english, balochi } of kept) {
        if (add(english, balochi))
            ++count;
        else
            leaveOut('duplicate', category, { english: english.toString('latin1'), balochi: balochi.toString('latin1') });
    }
    report.push(`${category}: ${count}`);
}

if (lines.length > 32767)
    throw new Error(`${lines.length} lines: more than a lookup reads`);
const unpacked = join(packagesDir, 'cldr-localenames-full', 'package');
const license = readFileSync(join(unpacked, 'LICENSE'), 'utf8');
const { version } = JSON.parse(readFileSync(join(unpacked, 'package.json'), 'utf8'));
const fromCldr = lines.length - 1 - book.length;
writeFileSync(join(root, 'data', 'LICENSE-CLDR.txt'),
    (`The first ${book.length} entries of dicy.ini are the words of Parlanta's phrase books. The ${fromCldr}\n`
    + 'entries after them (names of countries and regions, languages, scripts, months, date words\n'
    + `and currencies) come from the Unicode Common Locale Data Repository (CLDR) ${version},\n`
    + `locales en and bal-Latn, and are used under this license:\n\n${license}`).replace(/\r?\n/g, '\r\n'));

writeFileSync(join(root, 'data', 'dicy.ini'), Buffer.concat(lines.flatMap((line) => [line, Buffer.from('\r\n')])));

console.log(`wrote data/dicy.ini: ${lines.length - 1} entries`);
for (const line of report)
    console.log(`  ${line}`);
console.log('left out:');
for (const [reason, count] of Object.entries(leftOut))
    console.log(`  ${count} ${REASONS[reason]}`);
