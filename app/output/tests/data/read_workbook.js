'use strict';
// Reads a workbook back for the export tests and prints its sheets as JSON:
// [{"name": sheet name, "cells": {"A1": text, ...}, "merges": ["A1:F1", ...],
//   "printTitlesRow": "2:3", "heights": {"4": points, ...}, "widths": {"2": characters, ...},
//   "fontSizes": {"A1": points, ...}, "fontNames": {"A1": face, ...}}, ...]
// Usage: node read_workbook.js <node_modules folder> <workbook>
const path = require('path');
const ExcelJS = require(path.join(process.argv[2], 'exceljs'));

const wb = new ExcelJS.Workbook();
wb.xlsx
  .readFile(process.argv[3])
  .then(() => {
    const sheets = wb.worksheets.map((ws) => {
      const cells = {};
      const heights = {};
      const widths = {};
      const fontSizes = {};
      const fontNames = {};
      ws.eachRow((row, r) => {
        if (row.height) heights[r] = row.height;
        row.eachCell((cell) => {
          if (!cell.isMerged || cell.master === cell) cells[cell.address] = String(cell.value);
          fontSizes[cell.address] = (cell.font && cell.font.size) || 11;
          fontNames[cell.address] = (cell.font && cell.font.name) || '';
        });
      });
      for (let c = 1; c <= ws.columnCount; c++) widths[c] = ws.getColumn(c).width || 9;
      return {
        name: ws.name,
        cells,
        merges: ws.model.merges,
        printTitlesRow: ws.pageSetup.printTitlesRow || '',
        heights,
        widths,
        fontSizes,
        fontNames,
      };
    });
    process.stdout.write(JSON.stringify(sheets));
  })
  .catch((err) => {
    console.error(err.message);
    process.exit(1);
  });
