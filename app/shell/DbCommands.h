// Commands that work on the whole timetable database at once. Each runs in one transaction:
// it either completes or leaves the database as it was. Status 0 means done, -1 failed.
#pragma once

#include <QString>

// Clears the whole timetable (fixed lessons included) and resets every plan row's progress.
short DeleteAllLessons();

// Removes lessons, plan rows and limits that point to master data which no longer exists, and
// recounts every plan row's BuildCount from its placed lessons.
short MaintainData();

// Moves every class up one grade: grades 6 and 9 leave the school with their plans and lessons,
// grades 1-5, 7 and 8 move up with theirs, and each former grade-one class leaves an empty
// successor under its old code and names. Preschool (grade 0) stays. Refused (-1, nothing
// changed) when a class code does not start with a digit.
short UpgradeSchoolYear();

// A class name moved up one grade: its leading numeral "一".."五", "七", "八" becomes the next one;
// any other name comes back unchanged.
QString NextGradeName(const QString& name);
