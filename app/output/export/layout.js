'use strict';
// Where things stand in the workbook templates. Shared by the template maker and the export
// script, so the two always agree on the grid.

const DAY_NAMES = ['星期一', '星期二', '星期三', '星期四', '星期五'];
const DAYS = DAY_NAMES.length;

// Week grid of one class or one teacher: title in row 1, day names in row 2, one row per lesson
// from row 3 on, lesson labels in column A, days in columns B to F.
const grid = {
  sheetName: '课表',
  titleRow: 1,
  headerRow: 2,
  firstLessonRow: 3,
  labelCol: 1,
  firstDayCol: 2,
};

// Whole-school table: title in row 1, day names in row 2 (each over its lessons), lesson numbers
// in row 3, one row per class from row 4 on (row 4 of the template gives the style).
const total = {
  sheetName: '总课表',
  titleRow: 1,
  dayRow: 2,
  lessonRow: 3,
  firstClassRow: 4,
  labelCol: 1,
  firstSlotCol: 2,
};

// The face of the printed timetables (templates/make_templates.py): the installed Chinese font,
// so Latin text such as "A4" is drawn in the same face as the Chinese; a name that is not
// installed would put Latin text in some other fallback face.
const FONT = 'WenQuanYi Micro Hei';

function lessonLabel(lesson) {
  return '第' + lesson + '节';
}

module.exports = { DAY_NAMES, DAYS, FONT, grid, total, lessonLabel };
