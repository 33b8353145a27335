'use strict';
// Reads a workbook back for the export tests and prints its sheets as JSON:
// [{"name": sheet name, "cells": {"A1": text, ...}, "merges": ["A1:F1", ...]}, ...]
// Usage: node read_workbook.js <node_modules folder> <workbook>
const path = require('path');
const ExcelJS = require(path.join(process.argv[2], 'exceljs'));

const wb = new ExcelJS.Workbook();
wb.xlsx
  .readFile(process.argv[3])
  .then(() => {
    const sheets = wb.worksheets.map((ws) => {
      const cells = {};
      ws.eachRow((row) =>
        row.eachCell((cell) => {
          if (!cell.isMerged || cell.master === cell) cells[cell.address] = String(cell.value);
        }),
      );
      return { name: ws.name, cells, merges: ws.model.merges };
    });
    process.stdout.write(JSON.stringify(sheets));
  })
  .catch((err) => {
    console.error(err.message);
    process.exit(1);
  });
