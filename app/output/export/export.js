'use strict';
// Fills a timetable workbook template from the export data file and saves the workbook.
// Usage: node export.js <data file> <template> <target workbook>
//
// The data file is one line of GBK text: [[{...},{...}]], one object per class or teacher with
// "school_name", the group's "class_name" or "teacher_name", and per placed lesson
// "course_name"+L+D and "teacher_name"+L+D (or "class_name"+L+D), L the lesson, D the day.
// A class or teacher template gets one sheet per object; the whole-school template one row per
// object. The workbook is written to a temporary file beside the target and renamed at the end,
// so a failed run never leaves a partial target behind.

// Every failure ends the run with exit code 1 and one line "export.js: " + its reason on the
// error output, which the program shows to the user; a module that cannot be loaded too.
function report(err) {
  console.error('export.js: ' + (err && err.message ? err.message : String(err)));
  process.exit(1);
}
process.on('uncaughtException', report);

const fs = require('fs');
const path = require('path');
const ExcelJS = require('exceljs');
const { DAYS, FONT, grid, total, lessonLabel } = require('./layout');

const SLOT_KEY = /^(course_name|teacher_name|class_name)(\d+)(\d)$/;

function fail(message) {
  const err = new Error(message);
  err.userMessage = true;
  throw err;
}

// A strict JSON reader that keeps every member of an object in file order, repeated keys
// included (two lessons in one slot give the same key twice). Objects come back as
// { members: [[key, value], ...], values: {key: first value} }.
function parseJson(text) {
  let pos = 0;
  const bad = (what) => fail('the data file is not valid JSON: ' + what + ' at character ' + pos);
  const space = () => {
    while (pos < text.length && ' \t\r\n'.includes(text[pos])) pos++;
  };
  const expect = (ch) => {
    space();
    if (text[pos] !== ch) bad('"' + ch + '" expected');
    pos++;
  };
  function string() {
    space();
    if (text[pos] !== '"') bad('a text expected');
    const start = pos;
    pos++;
    while (pos < text.length && text[pos] !== '"') {
      if (text[pos] === '\\') pos++;
      else if (text.charCodeAt(pos) < 0x20) bad('a control character in a text');
      pos++;
    }
    if (pos >= text.length) bad('an unterminated text');
    pos++;
    return JSON.parse(text.slice(start, pos));
  }
  // The items of a list or the members of an object up to its closing bracket, each read by
  // item(); pos is past the opening bracket.
  function items(close, item) {
    const read = [];
    space();
    if (text[pos] === close) {
      pos++;
      return read;
    }
    for (;;) {
      read.push(item());
      space();
      if (text[pos] === ',') pos++;
      else break;
    }
    expect(close);
    return read;
  }
  function value() {
    space();
    const ch = text[pos];
    if (ch === '"') return string();
    if (ch === '[') {
      pos++;
      return items(']', value);
    }
    if (ch === '{') {
      pos++;
      const members = items('}', () => {
        const key = string();
        expect(':');
        return [key, value()];
      });
      const values = {};
      for (const [k, v] of members) if (!Object.prototype.hasOwnProperty.call(values, k)) values[k] = v;
      return { members, values };
    }
    const m = /^(-?\d+(\.\d+)?([eE][+-]?\d+)?|true|false|null)/.exec(text.slice(pos));
    if (!m) bad('a value expected');
    pos += m[0].length;
    return JSON.parse(m[0]);
  }
  const result = value();
  space();
  if (pos !== text.length) bad('text after the end');
  return result;
}

function readGroups(dataFile) {
  const bytes = fs.readFileSync(dataFile);
  let text;
  try {
    text = new TextDecoder('gbk').decode(bytes);
  } catch (e) {
    fail('this Node.js cannot decode GBK text: ' + e.message);
  }
  text = text.trim();
  if (text === '') return [];
  const data = parseJson(text);
  if (!Array.isArray(data)) fail('the data file does not hold a list');
  const groups = data.length > 0 && Array.isArray(data[0]) ? data.flat() : data;
  return groups.filter((g) => g && Array.isArray(g.members));
}

// Courses and partners (teachers or classes) per slot, in file order.
function slotsOf(group) {
  const slots = new Map();
  for (const [key, value] of group.members) {
    const m = SLOT_KEY.exec(key);
    if (!m) continue;
    const lesson = Number(m[2]);
    const day = Number(m[3]);
    const id = lesson + ',' + day;
    if (!slots.has(id)) slots.set(id, { lesson, day, courses: [], partners: [] });
    const slot = slots.get(id);
    const list = m[1] === 'course_name' ? slot.courses : slot.partners;
    const text = value === null || value === undefined ? '' : String(value);
    if (text !== '' && !list.includes(text)) list.push(text);
  }
  return [...slots.values()];
}

// "course\npartner"; a slot that holds several lessons lists them all.
function cellText(slot) {
  return [slot.courses.join('/'), slot.partners.join('、')].filter((t) => t !== '').join('\n');
}

function groupName(group) {
  if (typeof group.values.class_name === 'string') return group.values.class_name;
  if (typeof group.values.teacher_name === 'string') return group.values.teacher_name;
  return '';
}

function fillPlaceholders(text, group) {
  return text.replace(/\{(\w+)\}/g, (whole, key) =>
    Object.prototype.hasOwnProperty.call(group.values, key) ? String(group.values[key]) : '');
}

// Excel's rules: 1 to 31 characters, none of : \ / ? * [ ], no apostrophe at either end,
// unique without regard to case, and "History" is reserved.
function makeSheetNamer() {
  const used = new Set();
  return function sheetName(wanted) {
    let base = String(wanted).replace(/[:\\/?*\[\]\u0000-\u001f]/g, '_');
    base = base.replace(/^'+|'+$/g, '').trim();
    if (base === '' || base.toLowerCase() === 'history') base = base === '' ? 'Sheet' : base + '_';
    const cut = (s, max) => {
      let out = '';
      for (const ch of s) {
        if (out.length + ch.length > max) break;
        out += ch;
      }
      return out;
    };
    let name = cut(base, 31);
    for (let n = 2; used.has(name.toLowerCase()); n++) {
      const suffix = '(' + n + ')';
      name = cut(base, 31 - suffix.length) + suffix;
    }
    used.add(name.toLowerCase());
    return name;
  };
}

// Row heights. Spreadsheet programs do not heighten a row for what a filled-in cell holds, and
// clip what does not fit; so the script sizes the rows itself, from the widths of the text:
// wide (Chinese) characters take the whole font size, the printable ASCII characters of the
// templates' face their measured widths, any other character (or any character of another face)
// the whole size too, so no estimate falls short; bold a twentieth more. The column widths stay
// those of the template: text wraps within them, so the sheet keeps its width and the size its
// text prints at.
const CELL_PADDING = 6; // points lost to a cell's margins and borders, left and right together
const LINE_HEIGHT = 1.35; // a line's height as a share of the font size
const ROW_PADDING = 4; // points above and below the lines together
const DEFAULT_ROW_HEIGHT = 15;

// The smallest size, in points, that a sheet fitted to its page may print its text at.
const PAPER_FLOOR = 6.5;
// Paper sizes by the workbook's paper size number, in points: width and height upright.
const PAPERS = { 8: [841.89, 1190.55], 9: [595.28, 841.89] };

// The advance widths of the characters from " " (0x20) to "~" (0x7E) of the face the templates
// name, in thousandths of the font size.
const ASCII_WIDTHS = [
  259, 269, 401, 645, 550, 825, 702, 226, 300, 300, 550, 550, 250, 321, 268, 373, // space to /
  550, 550, 550, 550, 550, 550, 550, 550, 550, 550, 268, 268, 550, 550, 550, 425, // 0 to ?
  866, 607, 621, 603, 684, 527, 491, 689, 701, 338, 270, 579, 491, 870, 729, 742, // @ to O
  576, 741, 589, 519, 519, 698, 567, 883, 546, 526, 539, 303, 373, 303, 532, 411, // P to _
  577, 530, 585, 462, 585, 535, 329, 518, 588, 258, 258, 496, 258, 895, 588, 577, // ` to o
  585, 585, 398, 451, 338, 588, 479, 746, 500, 488, 440, 354, 550, 354, 550, //       p to ~
];

// Width of a character in thousandths of the font size.
function charWidth(ch, face) {
  const code = ch.codePointAt(0);
  if (face === FONT && code >= 0x20 && code <= 0x7e) return ASCII_WIDTHS[code - 0x20];
  return 1000;
}

function textWidth(text, font) {
  let width = 0;
  for (const ch of text) width += (charWidth(ch, font.name) * font.size) / 1000;
  return font.bold ? width * 1.05 : width;
}

// A column's width (in characters of the default font: 7 pixels each and 5 pixels of padding,
// at 96 pixels per inch) in points, the narrowest a spreadsheet program draws it.
function columnPoints(width) {
  return ((width * 7 + 5) * 3) / 4;
}

// Lines that one line of text takes in a column of the given width in points, wrapped as a
// spreadsheet program wraps: between wide characters and at blanks, and inside a word only when
// the word alone is wider than the column.
function wrappedLines(line, font, points) {
  const usable = points - CELL_PADDING;
  const pieces = line.match(/[\u1100-\u{10FFFF}]|[^ \u1100-\u{10FFFF}]+| +/gu) || [];
  let lines = 1;
  let used = 0;
  for (const piece of pieces) {
    const width = textWidth(piece, font);
    if (piece.startsWith(' ')) {
      used += width;
    } else if (used > 0 && used + width > usable) {
      lines++;
      used = 0;
    }
    if (used === 0 && width > usable) {
      for (const ch of piece) {
        const w = textWidth(ch, font);
        if (used > 0 && used + w > usable) {
          lines++;
          used = 0;
        }
        used += w;
      }
    } else if (!piece.startsWith(' ')) {
      used += width;
    }
  }
  return lines;
}

function fontOf(cell) {
  const font = cell.font || {};
  return { name: font.name, size: font.size || 11, bold: !!font.bold };
}

function textLines(cell) {
  return typeof cell.value === 'string' && cell.value !== '' ? cell.value.split('\n') : [];
}

// The height in points that the text of a cell needs when it wraps within a width of points.
function neededHeight(cell, points) {
  const font = fontOf(cell);
  let lines = 0;
  for (const line of textLines(cell)) lines += wrappedLines(line, font, points);
  return lines * font.size * LINE_HEIGHT + ROW_PADDING;
}

function raiseRow(row, needed) {
  if (!row.height || row.height < needed) row.height = Math.ceil(needed);
}

// Makes the row high enough for every cell from first to last column to show whole.
function heightenRow(ws, r, first, last) {
  const row = ws.getRow(r);
  let needed = 0;
  for (let c = first; c <= last; c++) {
    const points = columnPoints(ws.getColumn(c).width || 9);
    needed = Math.max(needed, neededHeight(row.getCell(c), points));
  }
  raiseRow(row, needed);
}

// A sheet's title fills the cells merged over its row from first to last column: it wraps within
// them (a long school name included), and the row grows to hold its lines.
function fitTitle(ws, r, first, last) {
  const title = ws.getCell(r, first);
  title.alignment = { ...title.alignment, wrapText: true };
  let points = 0;
  for (let c = first; c <= last; c++) points += columnPoints(ws.getColumn(c).width || 9);
  raiseRow(ws.getRow(r), neededHeight(title, points));
}

// A sheet fitted to one page tall shrinks as its rows grow. When that would print its smallest
// text (smallest points) under the floor, the sheet runs on to as many pages as it needs
// instead, each repeating the rows from the first to headingRow.
function keepPaperFloor(ws, smallest, headingRow) {
  const setup = ws.pageSetup;
  const paper = PAPERS[setup.paperSize];
  if (!setup.fitToPage || !setup.fitToHeight || !paper) return;
  const margins = setup.margins || {};
  const upright = setup.orientation === 'landscape' ? paper[0] : paper[1];
  const printable = upright - ((margins.top || 0) + (margins.bottom || 0)) * 72;
  let height = 0;
  for (let r = 1; r <= ws.rowCount; r++) height += ws.getRow(r).height || DEFAULT_ROW_HEIGHT;
  if ((smallest * printable) / height >= PAPER_FLOOR) return;
  setup.fitToHeight = 0;
  setup.printTitlesRow = '1:' + headingRow;
}

function countLessons(ws) {
  let lessons = 0;
  while (ws.getCell(grid.firstLessonRow + lessons, grid.labelCol).value === lessonLabel(lessons + 1)) {
    lessons++;
  }
  return lessons;
}

function copySheet(wb, template, name) {
  const ws = wb.addWorksheet(name);
  const model = structuredClone(template.model);
  model.mergeCells = model.merges;
  model.name = name;
  model.id = ws.id;
  ws.model = model;
  return ws;
}

function fillGridWorkbook(wb, groups) {
  const template = wb.getWorksheet(grid.sheetName);
  if (!template) fail('the template has no sheet "' + grid.sheetName + '"');
  const lessons = countLessons(template);
  if (lessons === 0) fail('the template has no lesson rows');
  const sheetName = makeSheetNamer();
  for (const group of groups) {
    const ws = copySheet(wb, template, sheetName(groupName(group)));
    const title = ws.getCell(grid.titleRow, grid.labelCol);
    if (typeof title.value === 'string') title.value = fillPlaceholders(title.value, group);
    fitTitle(ws, grid.titleRow, grid.labelCol, grid.firstDayCol + DAYS - 1);
    for (const slot of slotsOf(group)) {
      // A lesson outside the template's grid is left out; the rest is still written.
      if (slot.lesson < 1 || slot.lesson > lessons || slot.day < 1 || slot.day > DAYS) continue;
      ws.getCell(grid.firstLessonRow + slot.lesson - 1, grid.firstDayCol + slot.day - 1).value =
        cellText(slot);
    }
    let smallest = Infinity;
    for (let lesson = 1; lesson <= lessons; lesson++) {
      const r = grid.firstLessonRow + lesson - 1;
      heightenRow(ws, r, grid.labelCol, grid.firstDayCol + DAYS - 1);
      for (let c = grid.labelCol; c < grid.firstDayCol + DAYS; c++) {
        smallest = Math.min(smallest, fontOf(ws.getRow(r).getCell(c)).size);
      }
    }
    keepPaperFloor(ws, smallest, grid.headerRow);
  }
  wb.removeWorksheet(template.id);
}

function fillTotalWorkbook(ws, groups) {
  let lessons = 0;
  while (ws.getCell(total.lessonRow, total.firstSlotCol + lessons).value === lessons + 1) lessons++;
  if (lessons === 0) fail('the template has no lesson columns');
  const lastCol = total.firstSlotCol + DAYS * lessons - 1;

  const title = ws.getCell(total.titleRow, total.labelCol);
  if (typeof title.value === 'string') title.value = fillPlaceholders(title.value, groups[0]);
  fitTitle(ws, total.titleRow, total.labelCol, lastCol);

  const styleRow = ws.getRow(total.firstClassRow);
  const styles = [];
  for (let c = total.labelCol; c <= lastCol; c++) styles[c] = structuredClone(styleRow.getCell(c).style);
  const height = styleRow.height;

  groups.forEach((group, i) => {
    const row = ws.getRow(total.firstClassRow + i);
    row.height = height;
    for (let c = total.labelCol; c <= lastCol; c++) row.getCell(c).style = structuredClone(styles[c]);
    row.getCell(total.labelCol).value = groupName(group);
    for (const slot of slotsOf(group)) {
      if (slot.lesson < 1 || slot.lesson > lessons || slot.day < 1 || slot.day > DAYS) continue;
      row.getCell(total.firstSlotCol + (slot.day - 1) * lessons + slot.lesson - 1).value =
        cellText(slot);
    }
  });
  groups.forEach((group, i) => heightenRow(ws, total.firstClassRow + i, total.labelCol, lastCol));
}

async function main(argv) {
  if (argv.length !== 3) fail('usage: node export.js <data file> <template> <target workbook>');
  const [dataFile, templateFile, target] = argv;
  const groups = readGroups(dataFile);
  if (groups.length === 0) fail('the data file holds no timetable');

  const wb = new ExcelJS.Workbook();
  await wb.xlsx.readFile(templateFile);
  const totalSheet = wb.getWorksheet(total.sheetName);
  if (totalSheet) fillTotalWorkbook(totalSheet, groups);
  else fillGridWorkbook(wb, groups);
  wb.modified = new Date();

  const temp = path.join(path.dirname(target), '.' + path.basename(target) + '.' + process.pid + '.tmp');
  try {
    await wb.xlsx.writeFile(temp);
    fs.renameSync(temp, target);
  } catch (e) {
    try {
      fs.unlinkSync(temp);
    } catch (left) {
      // ENOENT: nothing was written. Otherwise the partial file stays, and the report says so.
      if (left.code !== 'ENOENT' && e instanceof Error) {
        e.message += '; the partial file ' + temp + ' stays: ' + left.message;
      }
    }
    throw e;
  }
}

main(process.argv.slice(2)).catch(report);
