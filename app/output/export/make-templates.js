'use strict';
// Makes the six workbook templates of the timetable export: class, teacher and whole-school,
// each for 6 and 7 lessons a day. Usage: node make-templates.js <output folder>
// The title cells hold {school_name}, {class_name} or {teacher_name}; the export script puts the
// values of each timetable in their place.

const path = require('path');
const ExcelJS = require('exceljs');
const { DAY_NAMES, DAYS, FONT, grid, total, lessonLabel } = require('./layout');

const thin = { style: 'thin', color: { argb: 'FF000000' } };
const BORDER = { top: thin, left: thin, bottom: thin, right: thin };
const CENTER = { horizontal: 'center', vertical: 'middle', wrapText: true };
const HEADER_FILL = { type: 'pattern', pattern: 'solid', fgColor: { argb: 'FFD9E1F2' } };

function styleCell(cell, { bold = false, size = 11, fill = null } = {}) {
  cell.font = { name: FONT, size, bold };
  cell.alignment = CENTER;
  cell.border = BORDER;
  if (fill) cell.fill = fill;
}

function newWorkbook() {
  const wb = new ExcelJS.Workbook();
  wb.creator = 'Tarnwick395';
  wb.created = new Date(0);
  wb.modified = new Date(0);
  return wb;
}

// Margins in inches, narrow as on a printed timetable: what the sheet loses to them it would
// otherwise lose in the size of its text when it is fitted to the page.
const MARGINS = { left: 0.4, right: 0.4, top: 0.5, bottom: 0.5, header: 0.2, footer: 0.2 };

function pageSetup(ws) {
  ws.pageSetup = {
    orientation: 'landscape',
    paperSize: 9, // A4
    fitToPage: true,
    fitToWidth: 1,
    fitToHeight: 1,
    horizontalCentered: true,
    margins: { ...MARGINS },
  };
}

// Week grid of one class (cells: course and teacher) or one teacher (cells: course and class).
function makeGridTemplate(lessons, titleText) {
  const wb = newWorkbook();
  const ws = wb.addWorksheet(grid.sheetName);
  const lastCol = grid.firstDayCol + DAYS - 1;

  ws.mergeCells(grid.titleRow, grid.labelCol, grid.titleRow, lastCol);
  const title = ws.getCell(grid.titleRow, grid.labelCol);
  title.value = titleText;
  title.font = { name: FONT, size: 18, bold: true };
  title.alignment = { horizontal: 'center', vertical: 'middle' };
  ws.getRow(grid.titleRow).height = 36;

  styleCell(ws.getCell(grid.headerRow, grid.labelCol), { bold: true, fill: HEADER_FILL });
  ws.getCell(grid.headerRow, grid.labelCol).value = '节次';
  DAY_NAMES.forEach((name, i) => {
    const cell = ws.getCell(grid.headerRow, grid.firstDayCol + i);
    cell.value = name;
    styleCell(cell, { bold: true, fill: HEADER_FILL });
  });
  ws.getRow(grid.headerRow).height = 24;

  for (let lesson = 1; lesson <= lessons; lesson++) {
    const row = grid.firstLessonRow + lesson - 1;
    const label = ws.getCell(row, grid.labelCol);
    label.value = lessonLabel(lesson);
    styleCell(label, { bold: true, fill: HEADER_FILL });
    for (let d = 0; d < DAYS; d++) styleCell(ws.getCell(row, grid.firstDayCol + d));
    ws.getRow(row).height = 42;
  }

  ws.getColumn(grid.labelCol).width = 10;
  for (let d = 0; d < DAYS; d++) ws.getColumn(grid.firstDayCol + d).width = 18;
  pageSetup(ws);
  return wb;
}

// Width of a lesson column of the whole-school table. Fitted to one A3 page wide, the sheet
// prints its 9 pt cells at 6.5 pt or more even where a spreadsheet program draws a width unit
// as wide as 7 pt (the digit of the face it takes for the workbook's default font when that is
// not installed): 10 + 35 x 6 or 10 + 30 x 7 units, 1,540 pt, on the 1,133 pt of A3 landscape
// inside the margins. Cell text wraps within these widths and the rows grow to hold it.
function slotWidth(lessons) {
  return lessons > 6 ? 6 : 7;
}

// One row per class; per day one column per lesson.
function makeTotalTemplate(lessons) {
  const wb = newWorkbook();
  const ws = wb.addWorksheet(total.sheetName);
  const lastCol = total.firstSlotCol + DAYS * lessons - 1;

  ws.mergeCells(total.titleRow, total.labelCol, total.titleRow, lastCol);
  const title = ws.getCell(total.titleRow, total.labelCol);
  title.value = '{school_name}全校总课表';
  title.font = { name: FONT, size: 18, bold: true };
  title.alignment = { horizontal: 'center', vertical: 'middle' };
  ws.getRow(total.titleRow).height = 36;

  ws.mergeCells(total.dayRow, total.labelCol, total.lessonRow, total.labelCol);
  const corner = ws.getCell(total.dayRow, total.labelCol);
  corner.value = '班级';
  styleCell(corner, { bold: true, fill: HEADER_FILL });
  styleCell(ws.getCell(total.lessonRow, total.labelCol), { bold: true, fill: HEADER_FILL });

  DAY_NAMES.forEach((name, d) => {
    const first = total.firstSlotCol + d * lessons;
    ws.mergeCells(total.dayRow, first, total.dayRow, first + lessons - 1);
    const dayCell = ws.getCell(total.dayRow, first);
    dayCell.value = name;
    for (let l = 1; l <= lessons; l++) {
      styleCell(ws.getCell(total.dayRow, first + l - 1), { bold: true, fill: HEADER_FILL });
      const lessonCell = ws.getCell(total.lessonRow, first + l - 1);
      lessonCell.value = l;
      styleCell(lessonCell, { bold: true, fill: HEADER_FILL });
      ws.getColumn(first + l - 1).width = slotWidth(lessons);
    }
  });

  // The style row: the export script copies it for every class.
  styleCell(ws.getCell(total.firstClassRow, total.labelCol), { bold: true });
  for (let c = total.firstSlotCol; c <= lastCol; c++) {
    styleCell(ws.getCell(total.firstClassRow, c), { size: 9 });
  }
  ws.getRow(total.firstClassRow).height = 30;
  ws.getColumn(total.labelCol).width = 10;
  ws.views = [{ state: 'frozen', xSplit: 1, ySplit: total.lessonRow }];
  pageSetup(ws);
  ws.pageSetup.paperSize = 8; // A3: one column per lesson of the week
  ws.pageSetup.fitToHeight = 0;
  // A school of many classes runs to several pages: each repeats the day and lesson headings.
  ws.pageSetup.printTitlesRow = total.dayRow + ':' + total.lessonRow;
  return wb;
}

async function main() {
  const outDir = process.argv[2];
  if (!outDir) {
    console.error('usage: node make-templates.js <output folder>');
    process.exit(2);
  }
  for (const lessons of [6, 7]) {
    const made = [
      ['export_class_kb', makeGridTemplate(lessons, '{school_name}{class_name}课程表')],
      ['export_teacher_kb', makeGridTemplate(lessons, '{school_name}{teacher_name}老师课程表')],
      ['export_all_kb', makeTotalTemplate(lessons)],
    ];
    for (const [base, wb] of made) {
      await wb.xlsx.writeFile(path.join(outDir, base + lessons + '.xlsx'));
    }
  }
}

main().catch((err) => {
  console.error(err && err.stack ? err.stack : String(err));
  process.exit(1);
});
