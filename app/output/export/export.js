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

const fs = require('fs');
const path = require('path');
const ExcelJS = require('exceljs');
const { DAYS, grid, total, lessonLabel } = require('./layout');

const SLOT_KEY = /^(course_name|teacher_name|class_name)(\d+)(\d)$/;

function fail(message) {
  const err = new Error(message);
  err.userMessage = true;
  throw err;
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
  let data;
  try {
    data = JSON.parse(text);
  } catch (e) {
    fail('the data file is not valid JSON: ' + e.message);
  }
  if (!Array.isArray(data)) fail('the data file does not hold a list');
  const groups = data.length > 0 && Array.isArray(data[0]) ? data.flat() : data;
  return groups.filter((g) => g && typeof g === 'object' && !Array.isArray(g));
}

// Course and partner (teacher or class) per slot, keyed "L,D".
function slotsOf(group) {
  const slots = new Map();
  for (const [key, value] of Object.entries(group)) {
    const m = SLOT_KEY.exec(key);
    if (!m) continue;
    const lesson = Number(m[2]);
    const day = Number(m[3]);
    const id = lesson + ',' + day;
    if (!slots.has(id)) slots.set(id, { lesson, day, course: '', partner: '' });
    const slot = slots.get(id);
    if (m[1] === 'course_name') slot.course = String(value);
    else slot.partner = String(value);
  }
  return [...slots.values()];
}

function cellText(slot) {
  if (slot.partner === '') return slot.course;
  if (slot.course === '') return slot.partner;
  return slot.course + '\n' + slot.partner;
}

function groupName(group) {
  if (typeof group.class_name === 'string') return group.class_name;
  if (typeof group.teacher_name === 'string') return group.teacher_name;
  return '';
}

function fillPlaceholders(text, group) {
  return text.replace(/\{(\w+)\}/g, (whole, key) =>
    Object.prototype.hasOwnProperty.call(group, key) ? String(group[key]) : '');
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
    for (const slot of slotsOf(group)) {
      // A lesson outside the template's grid is left out; the rest is still written.
      if (slot.lesson < 1 || slot.lesson > lessons || slot.day < 1 || slot.day > DAYS) continue;
      ws.getCell(grid.firstLessonRow + slot.lesson - 1, grid.firstDayCol + slot.day - 1).value =
        cellText(slot);
    }
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
    } catch (ignored) {
      // nothing was written
    }
    throw e;
  }
}

main(process.argv.slice(2)).catch((err) => {
  console.error('export.js: ' + (err && err.message ? err.message : String(err)));
  process.exit(1);
});
